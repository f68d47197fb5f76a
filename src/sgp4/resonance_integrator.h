// integrate_resonance: the mean motion and the resonant angle lambda of a
// resonant deep-space orbit at a time, by the theory's fixed-step integrator:
// steps of 720 minutes from the epoch towards the time (second-order Taylor
// steps in lambda and n), then a Taylor step of the remainder from the last
// grid point. The grid is the same for every call, so a later time can start
// from a grid point reached before and give the same result to the last bit.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 10 (DEEP,
// the secular entry's numerical integration); Vallado et al., "Revisiting
// Spacetrack Report #3", AIAA 2006-6753, section IV.B (integration always
// restarted from the epoch when the time is nearer the epoch than the last
// grid point, or on the other side of it).
//
// Given the resonance terms and the time in minutes from the epoch (either
// sign). Returns n (rad/min) and lambda (radians, not reduced).
#pragma once

#include "sgp4/resonance_terms.h"

namespace vespera::sgp4 {

// A grid point of the integration: a caller that propagates one orbit at
// many times may keep the last one (see Propagator::propagate). Only
// integrate_resonance writes it.
struct ResonanceGridPoint {
  double time = 0.0;         // minutes from the epoch, a multiple of 720
  double angle = 0.0;        // lambda there, radians
  double mean_motion = 0.0;  // n there, rad/min
};

struct ResonantMotion {
  double mean_motion = 0.0;
  double angle = 0.0;
};

// start: the grid point to begin from; the epoch's when null, when its time
// is 0, when it lies on the other side of the epoch from minutes, or when it
// lies farther from the epoch than minutes. The last grid point reached is
// stored back in *start.
ResonantMotion integrate_resonance(const ResonanceTerms& terms, double minutes, ResonanceGridPoint* start);

}  // namespace vespera::sgp4
