// Where a pass enters or leaves the earth's shadow, from the report's own
// column of the height above the shadow (Shd): between two points where
// that height changes sign (reports that keep eclipsed points), or, at the
// first or last point, where the height falls so fast toward the shadow that
// it would reach it before the next step of the walk (the walk stopped
// because the next point was eclipsed). The moment and the place are
// interpolated, or carried on from the last two points, linearly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "report/report_records.h"

namespace vespera::chart {

struct ShadowCrossing {
  bool enters = true;  // into the shadow; false: out of it
  // Between points `from` and `to` of the pass, at `fraction` of the way
  // (below 0 or above 1: before the first point or after the last).
  std::size_t from = 0;
  std::size_t to = 0;
  double fraction = 0.0;
  int64_t local_seconds = 0;
};

std::vector<ShadowCrossing> shadow_crossings(const ReportPass& pass);

}  // namespace vespera::chart
