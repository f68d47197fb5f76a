// The layout readers of the lines of one report format, and the texts of
// the column headers that tell the formats apart.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "report/layout_columns.h"
#include "report/report_layouts.h"
#include "report/report_records.h"

namespace vespera {

struct FormatReaders {
  FormatReaders(char letter, bool phase);

  bool sky() const { return letter == 'B' || letter == 'C'; }
  // Where the values of a B or C line end: after the declination.
  std::size_t sky_values_end() const { return sky_values_end_; }

  char letter;
  bool phase;
  InsertedTexts texts;
  std::unique_ptr<LayoutReader> prediction;
  std::unique_ptr<LayoutReader> sky_number, sky_name;
  std::unique_ptr<LayoutReader> entry, detailed_entry;
  LayoutReader comment{layouts::kCommentLine};

 private:
  std::size_t sky_values_end_ = 0;
};

// report_format: the letter, the phase and the columns of the prediction
// lines of a format.
ReportFormat report_format(const FormatReaders& readers);

// The report format a column header line stands for: its letter and whether
// formats B and C show the phase angle.
struct FormatChoice {
  char letter;
  bool phase;
};

// column_header_format: the format whose column header `line` is (the
// header texts are written once, by their layouts); nullptr when none.
const FormatChoice* column_header_format(std::string_view line);

}  // namespace vespera
