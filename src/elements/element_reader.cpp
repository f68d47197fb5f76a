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

int readElementSet(ElementFile& file, const ElementContext& context, ElementSet& current) {
  current.name.clear();
  SetState state = SetState::Waiting;
  bool reported = false;

  const auto skip_set = [&] {
    state = SetState::Waiting;
    current.name.clear();
  };
  const auto report_format_error = [&] {
    if (!reported) {
      error_in_file_format().write(context.console, {file.name()});
      reported = true;
    }
    format_error_format().write(context.console, {file.line_number()});
    skip_set();
  };

  std::string record;
  while (file.read_line(record)) {
    switch (classifyElementLine(record)) {
      case ElementLineKind::Ignored:
        break;

      case ElementLineKind::Name:
        current.name.assign(std::string_view(record).substr(0, 14));
        state = SetState::NameSeen;
        break;

      case ElementLineKind::LineOne: {
        bool error = false;
        int32_t ncat = 0;
        decodeColumnField(record, 3, 7, ncat, error);
        if (error) {
          report_format_error();
          break;
        }
        if (ncat == 0 || !selectedForRun(ncat, context)) {
          skip_set();
          break;
        }
        int32_t year = 0;
        int32_t day_of_year = 0;
        float fraction = 0.0f;
        float mean_motion_dot = 0.0f;
        decodeColumnField(record, 19, 20, year, error);
        decodeColumnField(record, 21, 23, day_of_year, error);
        decodeColumnField(record, 24, 30, fraction, error);
        decodeColumnField(record, 33, 42, mean_motion_dot, error);
        if (error) {
          report_format_error();
          break;
        }
        // Two columns hold -9..99, so the calendar year is 1955..2054: always
        // inside the calendar's range.
        if (year < kFirstCenturyYear) year += 100;
        current.ncat = ncat;
        current.epochDay = monthBaseDayNumber(year + 1900, 1, context.console) + day_of_year;
        current.epochFraction = fraction;
        current.meanMotionDot = mean_motion_dot;
        if (state == SetState::Waiting) {
          current.name.assign(std::string_view(record).substr(9, 9));
        }
        state = SetState::LineOneAccepted;
        break;
      }

      case ElementLineKind::LineTwo: {
        if (state != SetState::LineOneAccepted) {
          skip_set();
          break;
        }
        bool error = false;
        int32_t ncat = 0;
        decodeColumnField(record, 3, 7, ncat, error);
        if (error || ncat != current.ncat) {
          report_format_error();
          break;
        }
        LineTwoElements line2;
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
        if (error) {
          report_format_error();
          break;
        }
        if (line2.meanMotion <= kLowestMeanMotion) {
          skip_set();
          break;
        }
        // A negative eccentricity or numbers too extreme for single precision
        // give no orbit: report them like a field that does not decode.
        if (!deriveElementSet(line2, current)) {
          report_format_error();
          break;
        }
        return 0;
      }
    }
  }
  return 1;
}

}  // namespace vespera
