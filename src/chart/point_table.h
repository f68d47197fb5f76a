// The table of every prediction line as comma-separated values, written
// while the report is read: one row a line, with its local date and time on
// the 24-hour clock, the zone, the satellite of its pass, and every column of
// the report's layout as a number (empty where the report printed blanks or
// asterisks). A text cell that begins with =, +, - or @ (a satellite's name
// or a zone label, both taken from files that users edit and share) gets an
// apostrophe in front, so that a spreadsheet shows it as text instead of
// running it as a formula; numbers are never changed.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/text_output.h"
#include "report/report_records.h"

namespace vespera::chart {

class PointTableWriter {
 public:
  explicit PointTableWriter(TextOutput& out) : out_(out) {}

  // The header row, with the columns of the report's prediction lines.
  void columns(const std::vector<PointColumn>& columns);
  // A prediction line of `pass`, under a header of zone `zone`; the point's
  // printed texts must still stand. `cells`: the cells of its values made
  // beforehand (append_value_cells), or empty.
  void row(const ReportPass& pass, std::string_view zone, const ReportPoint& point, std::string_view cells = {});
  // The header row of a report without predictions.
  void finish();

 private:
  TextOutput& out_;
  std::vector<PointColumn> columns_;
  bool header_written_ = false;
  int32_t pass_line_ = -1;  // the pass whose cells `satellite_` holds
  std::string satellite_;   // ",zone,ncat,satellite"
  LocalDate date_;          // the date of the row before, and its text
  std::string date_text_;
  std::string row_;
};

// append_value_cells: the cells of a prediction line's values (by field),
// each after a comma, in the order of the columns.
void append_value_cells(std::string& out, std::span<const PrintedValue> values, const std::vector<PointColumn>& columns);

// A CSV text cell: neutralised when it begins with = + - @, quoted with its
// quotes doubled when it holds a comma, a quote or a line end.
std::string csv_text_cell(std::string_view text);

}  // namespace vespera::chart
