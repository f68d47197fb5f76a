// MeanElements: one element set in the units of the SGP4/SDP4 theory, and the
// operation mode of the propagation. The values are the element set's mean
// elements as they stand (Kozai mean motion, as published); nothing is
// derived from them here.
#pragma once

namespace vespera::sgp4 {

struct MeanElements {
  // The epoch (UTC) as a Julian date in two parts, so that a fraction of a
  // day keeps its precision: the whole part (any value, e.g. one ending in
  // .5 for 0h) and the rest in days.
  double epoch_jd = 0.0;
  double epoch_jd_fraction = 0.0;
  double bstar = 0.0;                // drag term B*, 1/earth radii
  double inclination = 0.0;          // radians
  double node = 0.0;                 // right ascension of the ascending node, radians
  double eccentricity = 0.0;         // 0 <= e < 1
  double argument_of_perigee = 0.0;  // radians
  double mean_anomaly = 0.0;         // radians
  double mean_motion = 0.0;          // Kozai mean motion, radians per minute
};

// The two ways of running the theory, which differ only in the deep-space
// terms: kAfspc keeps the sidereal time at the epoch of the original
// Spacetrack Report No. 3 (from a 1970 reference) and its handling of the
// node near zero inclination; kImproved takes the IAU-82 sidereal time.
enum class OperationMode { kAfspc, kImproved };

}  // namespace vespera::sgp4
