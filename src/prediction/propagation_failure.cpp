#include "prediction/propagation_failure.h"

#include <bit>
#include <string_view>

#include "format/format_writer.h"

namespace vespera {

PropagationFailure propagation_failure(const ElementSet& set, const char* reason) {
  return PropagationFailure{set.ncat, set.epochDay, set.epochFraction, reason};
}

void PropagationFailureLog::report(const PropagationFailure& failure, std::FILE* console) {
  static const Format kCannotPropagate("('SGP4 cannot propagate NCAT',i7,': ',a)");
  if (!reported_.emplace(failure.ncat, failure.epochDay,
                         std::bit_cast<uint32_t>(failure.epochFraction)).second) return;
  kCannotPropagate.write(console, {failure.ncat, std::string_view(failure.reason)});
}

}  // namespace vespera
