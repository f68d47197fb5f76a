// resonance_terms: the deep-space initialisation of the geopotential
// resonances. An orbit of about one revolution a day (mean motion between
// 0.0034906585 and 0.0052359877 rad/min) is in synchronous resonance with
// the earth's rotation through the tesseral harmonics J22, J31 and J33; an
// orbit of about two revolutions a day (0.00826 to 0.00924 rad/min) with an
// eccentricity of 0.5 or more is in half-day resonance through J22, J32,
// J44, J52 and J54 (their eccentricity functions G are polynomial fits).
// Other orbits have no resonance.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 10 (DEEP,
// the resonance initialisation); Vallado et al., "Revisiting Spacetrack
// Report #3", AIAA 2006-6753, section IV.B.
//
// Given the mean elements at the epoch, the near-earth terms (recovered mean
// motion and the J2 rates), the lunar-solar rates, and the Greenwich
// sidereal time at the epoch (radians). The resonant angle of the integrator
// is lambda = M + omega + node - theta (synchronous) or M + 2 node - 2 theta
// (half-day), theta the sidereal angle.
#pragma once

#include "sgp4/deep_space_secular.h"
#include "sgp4/mean_elements.h"
#include "sgp4/near_earth_terms.h"

namespace vespera::sgp4 {

enum class Resonance { kNone, kSynchronous, kHalfDay };

struct ResonanceTerms {
  Resonance kind = Resonance::kNone;
  // Synchronous: amplitudes of the terms in lambda, 2 lambda and 3 lambda.
  double del1 = 0.0, del2 = 0.0, del3 = 0.0;
  // Half-day: amplitudes D_lmpq of the ten terms.
  double d2201 = 0.0, d2211 = 0.0, d3210 = 0.0, d3222 = 0.0, d4410 = 0.0;
  double d4422 = 0.0, d5220 = 0.0, d5232 = 0.0, d5421 = 0.0, d5433 = 0.0;
  double angle_at_epoch = 0.0;  // lambda at the epoch, radians
  // d lambda / dt less the integrated mean motion: the secular rates of
  // the angle's other parts less the earth's rotation, rad/min.
  double angle_rate_offset = 0.0;
  double mean_motion = 0.0;     // n0'' at the epoch, rad/min
  double sidereal_at_epoch = 0.0;
  double perigee_at_epoch = 0.0;  // omega0, radians
  double perigee_rate = 0.0;      // the J2 rate of omega, rad/min

  bool operator==(const ResonanceTerms&) const = default;
};

ResonanceTerms resonance_terms(const MeanElements& elements, const NearEarthTerms& near_earth,
                               const LunarSolarRates& rates, double sidereal_at_epoch);

}  // namespace vespera::sgp4
