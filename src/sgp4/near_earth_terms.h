// near_earth_terms: the constants of the near-earth model (SGP4) computed once
// from an element set: the Brouwer mean motion and semi-major axis recovered
// from the Kozai mean motion, the drag coefficients C1..C5 and D2..D4, and the
// secular rates of the mean anomaly, the perigee and the node due to J2 and J4.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 6 (the SGP4
// model, its initialisation equations); Vallado et al., "Revisiting Spacetrack
// Report #3", AIAA 2006-6753, section IV (the semi-major axis taken from the
// recovered mean motion, and the guard against a zero divisor at 180 degrees
// inclination). The deep-space model (SDP4) starts from the same terms.
//
// Units: earth radii, minutes, radians. Rates are per minute.
#pragma once

#include "sgp4/mean_elements.h"

namespace vespera::sgp4 {

struct NearEarthTerms {
  double mean_motion = 0.0;      // n0'': recovered (Brouwer) mean motion, rad/min
  double semi_major_axis = 0.0;  // a0'': recovered semi-major axis, earth radii
  double perigee_height_km = 0.0;
  // A period of 225 minutes or more: the deep-space model (SDP4).
  bool deep_space = false;
  // Perigee below 220 km, or deep space: the terms C5, D2..D4, delta-omega
  // and delta-M are dropped.
  bool simplified_drag = false;
  double eta = 0.0;  // a0'' e0 xi
  double c1 = 0.0, c4 = 0.0, c5 = 0.0;
  double d2 = 0.0, d3 = 0.0, d4 = 0.0;
  // Coefficients of t^2..t^5 in the drag terms of the mean longitude.
  double t2cof = 0.0, t3cof = 0.0, t4cof = 0.0, t5cof = 0.0;
  // Secular rates from J2 and J4: mean anomaly (including n0''), argument of
  // perigee, node.
  double mean_anomaly_rate = 0.0;
  double perigee_rate = 0.0;
  double node_rate = 0.0;
  // Drag factors: of t in delta-omega (B* C3 cos omega0), of the change of
  // (1 + eta cos M)^3 in delta-M, and of t^2 in the node.
  double perigee_drag = 0.0;
  double anomaly_drag = 0.0;
  double node_drag = 0.0;
  double cube_at_epoch = 0.0;         // (1 + eta cos M0)^3
  double sin_anomaly_at_epoch = 0.0;  // sin M0
};

// Assumes 0 <= eccentricity < 1 and mean_motion > 0 (checked by the caller).
NearEarthTerms near_earth_terms(const MeanElements& elements);

}  // namespace vespera::sgp4
