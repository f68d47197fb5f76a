#include "elements/element_reader.h"

#include <algorithm>
#include <string>

#include "elements/element_derivation.h"
#include "elements/format_error_report.h"
#include "elements/omm_set_reader.h"
#include "elements/two_line_fields.h"

namespace vespera {
namespace {

// Where the state machine of one set stands.
enum class SetState { Waiting, NameSeen, LineOneAccepted };

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
      : context_(context), current_(current), errors_(file, context.console) {
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
    int32_t ncat = 0;
    if (!decode_set_number(record, ncat)) return report_format_error();
    if (ncat == 0 || !selectedForRun(ncat, context_)) return skip_set();
    LineOneFields fields;
    if (!decode_line_one(record, context_.console, fields)) return report_format_error();
    current_.ncat = ncat;
    current_.epochDay = fields.epochDay;
    current_.epochFraction = fields.epochFraction;
    current_.meanMotionDot = fields.meanMotionDot;
    current_.mean = MeanElements{};
    current_.mean.epochDay = fields.epochDay;
    line_one_mean_ = context_.readsMeanElements && read_line_one_mean(record, current_.mean);
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
    int32_t ncat = 0;
    if (!decode_set_number(record, ncat) || ncat != current_.ncat) {
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
    current_.mean.valid = line_one_mean_ && read_line_two_mean(record, current_.mean);
    return true;
  }

  // The set is given up: the next one starts afresh, without a name.
  void skip_set() {
    state_ = SetState::Waiting;
    current_.name.clear();
  }

  // The set cannot be used: its report, and the set is skipped.
  void report_format_error() {
    errors_.report();
    skip_set();
  }

  const ElementContext& context_;
  ElementSet& current_;
  FormatErrorReport errors_;
  SetState state_ = SetState::Waiting;
  bool line_one_mean_ = false;  // the accepted line 1 gave its mean elements
};

}  // namespace

int readElementSet(ElementFile& file, const ElementContext& context, ElementSet& current) {
  if (file.form() != ElementFileForm::TwoLine) return readOmmElementSet(file, context, current);
  SetAssembler assembler(file, context, current);
  std::string record;
  while (file.read_line(record)) {
    if (assembler.take(record)) return 0;
  }
  return 1;
}

}  // namespace vespera
