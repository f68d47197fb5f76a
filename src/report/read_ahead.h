// Prediction lines read ahead. What the report's reader reads from a
// prediction line depends on nothing but the line and the report's format
// (the first column header), so another thread can read the lines of a
// block ahead of the reader; the reader then takes the values read ahead
// instead of reading the line again. Which reading a pass line gets is
// decided in one place, for both.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "report/format_readers.h"
#include "report/report_records.h"

namespace vespera {

// What the reader makes of a line under a day header and its column header.
enum class PassLineKind {
  Identification,     // formats A, D, E, R: a catalogue number in columns 1-5
  Prediction,         // formats A, D, E, R
  SkyComment,         // formats B, C: eight blanks, then the comment
  SkyContinuation,    // formats B, C: a line that ends after the declination
  SkyFirst,           // formats B, C: the first line of a pass, with its identification
};
PassLineKind pass_line_kind(const FormatReaders& readers, std::string_view line);

// read_prediction_values: the values of a Prediction or SkyContinuation
// line, each at its field's place; false with `problem`.
bool read_prediction_values(const FormatReaders& readers, PassLineKind kind, std::string_view line,
                            std::span<PrintedValue> values, std::string& problem);

struct ReadAhead {
  const FormatChoice* format = nullptr;  // the format it was read by; nullptr: not read ahead
  std::array<PrintedValue, kPointFieldCount> values{};
};

// Reads ahead the lines of a report, in order.
class ReadAheadReader {
 public:
  // `out` gets the values of a line that would be a prediction line and
  // reads as one; otherwise its format is nullptr. `out` is one made anew
  // or one that only this reader has filled before.
  void read(std::string_view line, ReadAhead& out);
  // The report's format, once its first column header has gone by.
  const ReportFormat* format() const { return readers_ ? &format_ : nullptr; }

 private:
  std::unique_ptr<FormatReaders> readers_;
  const FormatChoice* choice_ = nullptr;
  ReportFormat format_;
  std::string problem_;
};

}  // namespace vespera
