// An element set that the SGP4 model cannot propagate on a night, and the
// console line that says so once per set and run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <tuple>

#include "elements/element_set.h"

namespace vespera {

struct PropagationFailure {
  int32_t ncat = 0;
  int32_t epochDay = 0;        // the set's epoch, as the engine keeps it: which set
  float epochFraction = 0.0f;  // of the satellite failed
  const char* reason = "";     // the theory's error text, e.g. "satellite has decayed"
};

// propagation_failure: the failure of `set` for `reason`.
PropagationFailure propagation_failure(const ElementSet& set, const char* reason);

// The sets of one run already reported: each is named on the console once,
// however many nights it fails.
class PropagationFailureLog {
 public:
  // report: writes "SGP4 cannot propagate NCAT  25544: satellite has
  // decayed" (the number in seven columns) on `console`, unless this set was
  // reported before in the run.
  void report(const PropagationFailure& failure, std::FILE* console);

 private:
  std::set<std::tuple<int32_t, int32_t, uint32_t>> reported_;  // ncat, epoch day, fraction's bits
};

}  // namespace vespera
