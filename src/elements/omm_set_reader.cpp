#include "elements/omm_set_reader.h"

#include <optional>

#include "elements/element_derivation.h"
#include "elements/element_reader.h"
#include "elements/format_error_report.h"
#include "elements/omm_two_line.h"
#include "elements/two_line_fields.h"

namespace vespera {
namespace {

enum class Outcome { Used, Skipped, Refused };

// Decodes the lines of a record's two-line set into `current`, as the
// two-line reader decodes those of a file; the catalogue number is the
// record's, checked before the lines were written.
Outcome decode_set(const OmmTwoLineSet& set, int32_t ncat, ElementSet& current) {
  LineOneFields fields;
  LineTwoElements line2;
  if (!decode_line_one_reals(set.line1, fields) || !decode_line_two(set.line2, line2)) return Outcome::Refused;
  if (line2.meanMotion <= kLowestMeanMotion) return Outcome::Skipped;
  current.name = set.name;
  current.ncat = ncat;
  current.epochDay = set.epochDay;
  current.epochFraction = fields.epochFraction;
  current.meanMotionDot = fields.meanMotionDot;
  if (!deriveElementSet(line2, current)) return Outcome::Refused;
  current.mean = set.mean;
  return Outcome::Used;
}

Outcome take_record(const OmmRecord& record, const ElementContext& context, ElementSet& current) {
  const std::optional<int32_t> ncat = omm_catalogue_number(record);
  if (!ncat) return Outcome::Refused;
  if (!selectedForRun(*ncat, context)) return Outcome::Skipped;
  const std::optional<OmmTwoLineSet> set = omm_two_line_set(record, *ncat);
  if (!set) return Outcome::Refused;
  return decode_set(*set, *ncat, current);
}

}  // namespace

int readOmmElementSet(ElementFile& file, const ElementContext& context, ElementSet& current) {
  FormatErrorReport errors(file, context.console);
  for (;;) {
    const OmmStep step = file.next_record();
    if (step == OmmStep::End) return 1;
    const Outcome outcome =
        step == OmmStep::Malformed ? Outcome::Refused : take_record(file.record(), context, current);
    if (outcome == Outcome::Used) return 0;
    if (outcome == Outcome::Refused) errors.report();
  }
}

}  // namespace vespera
