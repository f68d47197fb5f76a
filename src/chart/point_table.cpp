#include "chart/point_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

// Room in a row for each number's cell.
constexpr std::size_t kMostCell = 32;

// Two digits and the character after them.
char* put_two(char* at, int32_t v, char after) {
  at[0] = static_cast<char>('0' + v / 10 % 10);
  at[1] = static_cast<char>('0' + v % 10);
  at[2] = after;
  return at + 3;
}

// A number as the report printed it, without the blanks before it and with
// the 0 before a decimal point that a narrow column left out; nullptr when
// the columns hold something else (then the number is written anew).
char* put_number(char* at, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return nullptr;
  char* const start = at;
  if (text[i] == '-') {
    *at++ = '-';
    ++i;
  }
  if (i < text.size() && text[i] == '.') *at++ = '0';
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || c == '.')) return nullptr;
    *at++ = c;
  }
  return at == start ? nullptr : at;
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

void PointTableWriter::row(const ReportPass& pass, std::string_view zone, const ReportPoint& point,
                           std::string_view cells) {
  if (pass.identification.line_number != pass_line_) {
    pass_line_ = pass.identification.line_number;
    const std::size_t end = zone.find_last_not_of(' ');
    satellite_ = "," + csv_text_cell(zone.substr(0, end == std::string_view::npos ? 0 : end + 1)) + ",";
    if (pass.identification.ncat > 0) satellite_ += std::to_string(pass.identification.ncat);
    satellite_ += "," + csv_text_cell(pass.label());
  }
  if (!(point.date == date_)) {
    date_ = point.date;
    date_text_ = date_text(point.date) + ",";
  }
  char time[9];
  put_two(put_two(put_two(time, point.seconds_of_day / 3600, ':'), point.seconds_of_day / 60 % 60, ':'),
          point.seconds_of_day % 60, '\0');
  row_.assign(date_text_).append(time, 8).append(satellite_);
  if (cells.empty()) {
    append_value_cells(row_, point.values, columns_);
  } else {
    row_.append(cells);
  }
  row_ += '\n';
  out_.write(row_);
}

void append_value_cells(std::string& out, std::span<const PrintedValue> values, const std::vector<PointColumn>& columns) {
  const std::size_t start = out.size();
  out.resize(start + kMostCell * columns.size());
  char* at = out.data() + start;
  for (const PointColumn& column : columns) {
    *at++ = ',';
    const PrintedValue& value = values[static_cast<std::size_t>(column.field)];
    if (column.field == ReportField::FoundMark) {  // C as read, or the reader's 1 for it
      const bool found = value.has_number() ? value.number != 0.0 : value.text == "C";
      *at++ = found ? '1' : '0';
    } else if (!value.has_number()) {
      continue;
    } else if (char* end = put_number(at, value.text.substr(0, std::min<std::size_t>(value.text.size(), kMostCell - 3)))) {
      at = end;
    } else {
      const std::string written = number_text(value.number, column.decimals);
      at = std::copy(written.begin(), written.end(), at);
    }
  }
  out.resize(static_cast<std::size_t>(at - out.data()));
}

}  // namespace vespera::chart
