#include "elements/element_reader.h"

#include <algorithm>
#include <string>

#include "elements/calendar.h"
#include "format/column_decoder.h"
#include "elements/element_derivation.h"
#include "format/format_writer.h"

namespace vespera {
namespace {

// Orbits of this many revolutions per day or fewer are not predicted.
constexpr float kLowestMeanMotion = 4.0f;
// A two-digit epoch year below this is 20yy, else 19yy.
constexpr int32_t kFirstCenturyYear = 55;
// Scale of an eccentricity written as digits with an implied leading point.
constexpr float kImpliedPointScale = 0.000001f;

// Where the state machine of one set stands.
enum class SetState { Waiting, NameSeen, LineOneAccepted };

const Format& error_in_file_format() {
  static const Format format("('Error in elements file ',a)");
  return format;
}

const Format& format_error_format() {
  static const Format format("('Format error in elements file at line',i5)");
  return format;
}

bool blank_columns(std::string_view record, std::size_t first, std::size_t count) {
  const std::string_view part = record.substr(std::min(first, record.size()), count);
  return std::all_of(part.begin(), part.end(), [](char c) { return c == ' '; });
}

}  // namespace

ElementLineKind classifyElementLine(std::string_view record) {
  if (record.size() >= 2 && record[1] == ' ') {
    if (record[0] == '1') return ElementLineKind::LineOne;
    if (record[0] == '2') return ElementLineKind::LineTwo;
  }
  return blank_columns(record, 0, 14) ? ElementLineKind::Ignored : ElementLineKind::Name;
}

bool selectedForRun(int32_t ncat, const ElementContext& context) {
  const RunSettings& settings = context.settings;
  if (settings.selectionCount <= 0) return true;
  if (settings.ncatListMode) {
    const int count = std::min<int>(settings.selectionCount, kMaxSelectedNcats);
    return std::find(settings.ncatList.begin(), settings.ncatList.begin() + count, ncat) !=
           settings.ncatList.begin() + count;
  }
  const char flag = lookupMagnitude(context.magnitudes, ncat, LookupForm::FlagOnly).flag;
  if (flag == ' ') return false;
  const std::string_view letters =
      settings.flagLetters.view().substr(0, std::min<int>(settings.selectionCount, kMaxFlagLetters));
  return letters.find(flag) != std::string_view::npos;
}

namespace {

// The assembly of one element set from the lines of a file, for one call of
// readElementSet: where the set stands, and whether the file's name has been
// reported in this call.
class SetAssembler {
 public:
  SetAssembler(ElementFile& file, const ElementContext& context, ElementSet& current)
      : file_(file), context_(context), current_(current) {
    current_.name.clear();
  }

  // Takes the next line of the file; true when it completed a set.
  bool take(std::string_view record) {
    switch (classifyElementLine(record)) {
      case ElementLineKind::Ignored:
        return false;
      case ElementLineKind::Name:
        name_line(record);
        return false;
      case ElementLineKind::LineOne:
        line_one(record);
        return false;
      case ElementLineKind::LineTwo:
        return line_two(record);
    }
    return false;
  }

 private:
  // A name line names the next set: columns 1-14 and two blanks.
  void name_line(std::string_view record) {
    current_.name.assign(record.substr(0, 14));
    state_ = SetState::NameSeen;
  }

  // Line 1: the catalogue number, the selection, the epoch and the mean
  // motion's derivative; the name from columns 10-18 when no name line came.
  void line_one(std::string_view record) {
    bool error = false;
    int32_t ncat = 0;
    decodeColumnField(record, 3, 7, ncat, error);
    if (error) return report_format_error();
    if (ncat == 0 || !selectedForRun(ncat, context_)) return skip_set();
    int32_t year = 0;
    int32_t day_of_year = 0;
    float fraction = 0.0f;
    float mean_motion_dot = 0.0f;
    decodeColumnField(record, 19, 20, year, error);
    decodeColumnField(record, 21, 23, day_of_year, error);
    decodeColumnField(record, 24, 30, fraction, error);
    decodeColumnField(record, 33, 42, mean_motion_dot, error);
    if (error) return report_format_error();
    // Two columns hold -9..99, so the calendar year is 1955..2054: always
    // inside the calendar's range.
    if (year < kFirstCenturyYear) year += 100;
    current_.ncat = ncat;
    current_.epochDay = monthBaseDayNumber(year + 1900, 1, context_.console) + day_of_year;
    current_.epochFraction = fraction;
    current_.meanMotionDot = mean_motion_dot;
    if (state_ == SetState::Waiting) current_.name.assign(record.substr(9, 9));
    state_ = SetState::LineOneAccepted;
  }

  // Line 2: completes the set of the line 1 before it. True when the set is
  // complete and derived.
  bool line_two(std::string_view record) {
    if (state_ != SetState::LineOneAccepted) {
      skip_set();
      return false;
    }
    bool error = false;
    int32_t ncat = 0;
    decodeColumnField(record, 3, 7, ncat, error);
    if (error || ncat != current_.ncat) {
      report_format_error();
      return false;
    }
    LineTwoElements line2;
    if (!decode_line_two(record, line2)) {
      report_format_error();
      return false;
    }
    if (line2.meanMotion <= kLowestMeanMotion) {
      skip_set();
      return false;
    }
    // A negative eccentricity or numbers too extreme for single precision
    // give no orbit: report them like a field that does not decode.
    if (!deriveElementSet(line2, current_)) {
      report_format_error();
      return false;
    }
    return true;
  }

  // The orbit's fields of line 2; false when one of them does not decode.
  static bool decode_line_two(std::string_view record, LineTwoElements& line2) {
    bool error = false;
    decodeColumnField(record, 9, 15, line2.inclinationDeg, error);
    decodeColumnField(record, 18, 24, line2.nodeDeg, error);
    decodeColumnField(record, 27, 32, line2.eccentricity, error);
    decodeColumnField(record, 35, 41, line2.perigeeDeg, error);
    decodeColumnField(record, 44, 50, line2.meanAnomalyDeg, error);
    decodeColumnField(record, 53, 61, line2.meanMotion, error);
    if (line2.eccentricity >= 1.0f) {
      line2.eccentricity = static_cast<float>(static_cast<double>(line2.eccentricity) *
                                              static_cast<double>(kImpliedPointScale));
    }
    return !error;
  }

  // The set is given up: the next one starts afresh, without a name.
  void skip_set() {
    state_ = SetState::Waiting;
    current_.name.clear();
  }

  // "Error in elements file" with the file's name, once per call, then the
  // line number of the offending line; the set is skipped.
  void report_format_error() {
    if (!reported_) {
      error_in_file_format().write(context_.console, {file_.name()});
      reported_ = true;
    }
    format_error_format().write(context_.console, {file_.line_number()});
    skip_set();
  }

  ElementFile& file_;
  const ElementContext& context_;
  ElementSet& current_;
  SetState state_ = SetState::Waiting;
  bool reported_ = false;
};

}  // namespace

int readElementSet(ElementFile& file, const ElementContext& context, ElementSet& current) {
  SetAssembler assembler(file, context, current);
  std::string record;
  while (file.read_line(record)) {
    if (assembler.take(record)) return 0;
  }
  return 1;
}

}  // namespace vespera
