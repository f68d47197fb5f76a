#include "chart/point_table.h"

#include <algorithm>

#include "chart/chart_text.h"

namespace vespera::chart {

namespace {

// A field's name as a column name: "right ascension hours" becomes
// "right_ascension_hours".
std::string column_name(ReportField field) {
  std::string name(field_name(field));
  std::replace(name.begin(), name.end(), ' ', '_');
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return name;
}

void append_two(std::string& s, int32_t v) {
  s += static_cast<char>('0' + v / 10 % 10);
  s += static_cast<char>('0' + v % 10);
}

// A number as the report printed it, without the blanks before it and with
// the 0 before a decimal point that a narrow column left out.
void append_number(std::string& s, const PrintedValue& v, int decimals) {
  std::string_view text = v.text;
  const std::size_t first = text.find_first_not_of(' ');
  text = first == std::string_view::npos ? std::string_view() : text.substr(first);
  if (text.empty() || text.find_first_not_of("-.0123456789") != std::string_view::npos) {
    s += number_text(v.number, decimals);
  } else if (text.front() == '.') {
    s.append("0").append(text);
  } else if (text.starts_with("-.")) {
    s.append("-0").append(text.substr(1));
  } else {
    s.append(text);
  }
}

}  // namespace

std::string csv_text_cell(std::string_view text) {
  std::string cell(text);
  if (!cell.empty() && (cell.front() == '=' || cell.front() == '+' || cell.front() == '-' || cell.front() == '@')) {
    cell.insert(cell.begin(), '\'');
  }
  return csv_field(cell);
}

void PointTableWriter::columns(const std::vector<PointColumn>& columns) {
  columns_ = columns;
  std::string header = "date,time,zone,ncat,satellite";
  for (const PointColumn& column : columns_) header += "," + column_name(column.field);
  out_.write(header + "\n");
  header_written_ = true;
}

void PointTableWriter::finish() {
  if (!header_written_) columns({});
}

void PointTableWriter::row(const ReportPass& pass, std::string_view zone, const ReportPoint& point) {
  if (pass.identification.line_number != pass_line_) {
    pass_line_ = pass.identification.line_number;
    const std::size_t end = zone.find_last_not_of(' ');
    satellite_ = "," + csv_text_cell(zone.substr(0, end == std::string_view::npos ? 0 : end + 1)) + ",";
    if (pass.identification.ncat > 0) satellite_ += std::to_string(pass.identification.ncat);
    satellite_ += "," + csv_text_cell(pass.label());
  }
  row_.clear();
  row_ += date_text(point.date);
  row_ += ',';
  append_two(row_, point.seconds_of_day / 3600);
  row_ += ':';
  append_two(row_, point.seconds_of_day / 60 % 60);
  row_ += ':';
  append_two(row_, point.seconds_of_day % 60);
  row_ += satellite_;
  for (const PointColumn& column : columns_) {
    row_ += ',';
    const PrintedValue& value = point[column.field];
    if (!value.has_number()) continue;
    if (column.field == ReportField::FoundMark) {
      row_ += value.number != 0.0 ? '1' : '0';
    } else {
      append_number(row_, value, column.decimals);
    }
  }
  row_ += '\n';
  out_.write(row_);
}

}  // namespace vespera::chart
