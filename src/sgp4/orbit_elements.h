// OrbitElements: the elements of an orbit at one time as the propagation
// carries them from its secular part through the deep-space periodics to
// the Kepler solution.
#pragma once

namespace vespera::sgp4 {

struct OrbitElements {
  double semi_major_axis = 0.0;  // earth radii
  double mean_motion = 0.0;      // rad/min
  double eccentricity = 0.0;
  double inclination = 0.0;          // radians
  double node = 0.0;                 // radians
  double argument_of_perigee = 0.0;  // radians
  double mean_anomaly = 0.0;         // radians
};

}  // namespace vespera::sgp4
