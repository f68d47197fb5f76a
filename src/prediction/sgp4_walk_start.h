// Where the pass walk of a candidate revolution starts in the SGP4 model.
// The search finds the revolution and its nearest point u* with the compact
// orbit; SGP4 places the satellite up to some seconds and a degree away. So
// that the walk's first point, which decides whether the pass is walked at
// all, cannot lose a pass that SGP4 makes visible, u* is moved to the point
// at which SGP4 places the satellite nearest the observer (the range's
// minimum, found by Newton steps on the range rate), and from there into the
// night's window when that moment lies outside it. A revolution on which
// the satellite cannot come within a degree of the minimum altitude is not
// walked at all: the first propagation tells, most revolutions of the search
// pass far from the observer, and each walk would cost more.
#pragma once

#include <optional>

#include "prediction/observation.h"
#include "prediction/sgp4_observation.h"

namespace vespera {

// sgp4_walk_start: the argument of latitude, near u_star on the scope's
// crossing, at which the walk starts; none when the pass cannot reach the
// minimum altitude. u_star itself when the search cannot improve on it (a
// time that does not place, a propagation that fails: the walk's first
// point then ends the set).
// deep_space: whether the SGP4 theory takes the set's orbit as a deep-space
// one (a period of 225 minutes or more: lunar and solar terms), which the
// compact orbit follows less closely; the search then walks every
// revolution, and the walk's start finds the pass.
bool deep_space(const ElementSet& set);

std::optional<float> sgp4_walk_start(const ObservationScope& scope, Sgp4Observer& sgp4,
                                     float u_star);

}  // namespace vespera
