// Where the pass walk of a candidate revolution starts in the SGP4 model.
// The search finds the revolution and its nearest point u* with the compact
// orbit; SGP4 places the satellite up to some seconds and a degree away
// (further for a deep-space orbit). The walk's first point decides whether
// the pass is walked at all, so that it cannot lose a pass that SGP4 makes
// visible:
//   - a revolution whose pass cannot come within a degree of the minimum
//     altitude is not walked: the compact orbit tells for most revolutions
//     of the search, which pass far from the observer, and one SGP4 state
//     for most of the rest;
//   - otherwise u* moves to the pass's highest point as SGP4 places it:
//     Newton steps toward the nearest point that the state's tangent
//     foresees (for a nearly circular orbit the highest point too), then,
//     for an eccentric orbit, secant steps on the altitude's rate;
//   - from there into the night's window when that moment lies outside it;
//   - and, when it lies in the earth's shadow, to the edge of the shadow
//     where the pass has a sunlit part above the minimum altitude (the
//     walk's own half steps are too coarse for the short sunlit ends of some
//     passes); a pass without one is not walked.
#pragma once

#include <optional>

#include "prediction/observation.h"
#include "prediction/sgp4_observation.h"

namespace vespera {

// deep_space: whether the SGP4 theory takes the set's orbit as a deep-space
// one (a period of 225 minutes or more: lunar and solar terms), which the
// compact orbit follows less closely; the search then walks every
// revolution, and the walk's start finds the pass.
bool deep_space(const ElementSet& set);

// sgp4_walk_start: the argument of latitude, near u_star on the scope's
// crossing, at which the walk starts; none when the pass is not to be
// walked. u_star itself when the search cannot improve on it (a time that
// does not place, a propagation that fails: the walk's first point then
// ends the set).
std::optional<float> sgp4_walk_start(const ObservationScope& scope, Sgp4Observer& sgp4,
                                     float u_star);

}  // namespace vespera
