// The values of one trial point of a pass as the observation computes them,
// and the sun as one pass walk sees it.
#pragma once

#include <cstdint>

namespace vespera {

// The values of one trial point (single precision). Angles in radians,
// distances in statute miles, times in engine days.
struct PointObservation {
  float time = 0.0f;                         // engine time T
  float since_epoch = 0.0f;                  // t, days since the element epoch
  float revolutions = 0.0f;                  // total revolutions since the epoch
  float r = 0.0f;                            // geocentric distance
  float height = 0.0f;                       // r minus the site radius
  float sin_lat_s = 0.0f, cos_lat_s = 1.0f;  // sub-satellite latitude
  float west_lon = 0.0f;                     // west longitude W of the sub-satellite point
  float dlon_obs = 0.0f;                     // W minus the site's west longitude, in [-pi, pi)
  float cos_gamma = 0.0f, sin_gamma = 0.0f;  // geocentric angle site - sub-satellite point
  float range = 0.0f;                        // observer to satellite
  float sin_alt = 0.0f, cos_alt = 1.0f;
  // Set for a point that passes, and for any point whose minimum-altitude
  // test or altitude window needs it; 0 otherwise (see AltitudeLimit).
  float altitude = 0.0f;
  float azimuth = 0.0f;  // from north through east, [0, 2 pi]
  float sin_dec = 0.0f, cos_dec = 1.0f, dec = 0.0f, ra = 0.0f;  // topocentric, of the date
  float out_ra = 0.0f;   // hours, referred to the requested equinox
  float out_dec = 0.0f;  // degrees, referred to the requested equinox

  // Illumination (set when the point reaches the shadow test).
  float cos_psi = 0.0f;  // cosine of the angle satellite - sun at the earth's centre, <= 0
  // Miles above the shadow cylinder; -infinity straight behind the earth.
  float shadow_height = 0.0f;
  // Brightness (set when the point reaches the magnitude test).
  float cos_beta = 0.0f;       // cosine of the phase angle
  float magnitude = 0.0f;      // estimated visual magnitude m
  int32_t phase_angle = 0;     // whole degrees, set for a point that passes
  bool bright_enough = false;  // passed the magnitude test
};

// The sun as one pass walk sees it: taken from the day's SunTrack at the
// walk's first point (walk state 0) and kept unchanged for the rest of the walk.
struct WalkSun {
  float ra = 0.0f;       // right ascension, radians
  float sin_dec = 0.0f;  // sine and cosine of the declination
  float cos_dec = 1.0f;
};

}  // namespace vespera
