// lunar_solar_rates: the secular rates that the sun and the moon add to the
// eccentricity, inclination, mean anomaly, argument of perigee and node of a
// deep-space orbit, from the coupling coefficients of lunar_solar_terms.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 10 (DEEP,
// the secular terms of its initialisation); Vallado et al., "Revisiting
// Spacetrack Report #3", AIAA 2006-6753, section IV.B. Within 3 degrees of
// an equatorial orbit the node rate is not defined and is taken as zero.
//
// Given the inclination and eccentricity at the epoch (radians, none).
// Returns rates in radians (or eccentricity) per minute.
#pragma once

#include "sgp4/lunar_solar_terms.h"

namespace vespera::sgp4 {

struct LunarSolarRates {
  double eccentricity = 0.0;
  double inclination = 0.0;
  double mean_anomaly = 0.0;
  double perigee = 0.0;
  double node = 0.0;
};

LunarSolarRates lunar_solar_rates(const LunarSolarTerms& terms, double inclination, double eccentricity);

}  // namespace vespera::sgp4
