// lunar_solar_terms: the deep-space initialisation of the third-body terms.
// For the sun and for the moon in turn it resolves the body's orbit against
// the satellite's (the coupling coefficients s1..s7 and z1..z33), and from
// them the coefficients of the body's long-period periodic terms in e, i,
// M, omega + node and node. The secular rates (deep_space_secular.h) and the
// periodics (deep_space_periodics.h) are computed from these.
//
// The theory is Hujsak's lunar-solar model as given for SDP4 in Hoots and
// Roehrich, Spacetrack Report No. 3 (1980), sections 7 and 10 (the DEEP
// initialisation), with the arrangement of Vallado et al., "Revisiting
// Spacetrack Report #3", AIAA 2006-6753, section IV.B (the common
// third-body routine). The sun's orbit is fixed (eccentricity 0.01675,
// inclination 23.44 deg); the moon's node and inclination to the equator are
// taken at the epoch from their 18.6-year cycle.
//
// Given the mean elements at the epoch, the epoch in days since 1949
// December 31 0h UTC and the recovered mean motion n0'' (rad/min). Angles in
// radians, rates per minute.
#pragma once

#include "sgp4/mean_elements.h"

namespace vespera::sgp4 {

// The satellite's orbit resolved against one body's orbit.
struct BodyCoupling {
  double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0, s7 = 0.0;
  double z1 = 0.0, z2 = 0.0, z3 = 0.0;
  double z11 = 0.0, z12 = 0.0, z13 = 0.0;
  double z21 = 0.0, z22 = 0.0, z23 = 0.0;
  double z31 = 0.0, z32 = 0.0, z33 = 0.0;
};

// The body's long-period periodic terms: each element's change is
// x2 f2 + x3 f3 (+ x4 sin f for l and gh), with f2 and f3 functions of the
// body's true anomaly f at the time.
struct BodyPeriodics {
  double e2 = 0.0, e3 = 0.0;            // eccentricity
  double i2 = 0.0, i3 = 0.0;            // inclination
  double l2 = 0.0, l3 = 0.0, l4 = 0.0;  // mean anomaly
  double gh2 = 0.0, gh3 = 0.0, gh4 = 0.0;  // argument of perigee plus cos i times node
  double h2 = 0.0, h3 = 0.0;               // sin i times node
  double anomaly_at_epoch = 0.0;        // the body's mean anomaly at the epoch, radians
  double mean_motion = 0.0;             // the body's mean motion, rad/min
  double eccentricity = 0.0;            // of the body's orbit
};

struct LunarSolarTerms {
  BodyCoupling sun, moon;
  BodyPeriodics sun_periodics, moon_periodics;
};

LunarSolarTerms lunar_solar_terms(const MeanElements& elements, double days_since_1950, double mean_motion);

}  // namespace vespera::sgp4
