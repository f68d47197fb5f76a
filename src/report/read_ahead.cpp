#include "report/read_ahead.h"

#include "report/catalogue_number.h"

namespace vespera {

PassLineKind pass_line_kind(const FormatReaders& readers, std::string_view line) {
  if (readers.sky()) {
    if (line.starts_with("        ")) return PassLineKind::SkyComment;
    return line.size() <= readers.sky_values_end() ? PassLineKind::SkyContinuation : PassLineKind::SkyFirst;
  }
  // An identification line has a catalogue number in columns 1-5; a
  // prediction line has the hour and the minute there, with a blank between.
  if (line.size() >= 5 && (line.size() == 5 || line[5] == ' ') && read_catalogue_number(line.substr(0, 5))) {
    return PassLineKind::Identification;
  }
  return PassLineKind::Prediction;
}

bool read_prediction_values(const FormatReaders& readers, PassLineKind kind, std::string_view line,
                            std::span<PrintedValue> values, std::string& problem) {
  const std::size_t least = kind == PassLineKind::SkyContinuation ? layouts::kSkyLineValues.size() : SIZE_MAX;
  return readers.prediction->read_fields(line, values, problem, least);
}

void ReadAheadReader::read(std::string_view line, ReadAhead& out) {
  out.format = nullptr;
  if (!readers_) {
    choice_ = column_header_format(line);
    if (choice_ == nullptr) return;
    readers_ = std::make_unique<FormatReaders>(choice_->letter, choice_->phase);
    format_ = report_format(*readers_);
    return;
  }
  // Day headers and empty lines are never pass lines.
  if (line.starts_with("***") || line.find_first_not_of(' ') == std::string_view::npos) return;
  const PassLineKind kind = pass_line_kind(*readers_, line);
  if (kind != PassLineKind::Prediction && kind != PassLineKind::SkyContinuation) return;
  // A line that reads sets every value of its format; the values of other
  // fields stay absent as they were made (the format never changes), so the
  // values are not cleared first.
  if (read_prediction_values(*readers_, kind, line, out.values, problem_)) out.format = choice_;
}

}  // namespace vespera
