// SiteGeometry: the observing site in the engine's frame (geocentric
// latitude, west longitude, radius in miles), with the run's sidereal time
// and precession factors; prepared once per run by setup_site.
#pragma once

#include <cstdint>

namespace vespera {

// The observing site in the engine's frame, converted once per run, with the
// run's sidereal time and precession factors.
struct SiteGeometry {
  int32_t start_day_number = 0;  // day 0 of the run's month
  float latitude = 0.0f;         // geocentric, radians, north positive
  float longitude = 0.0f;        // radians, west positive
  float site_radius = 0.0f;      // geocentric distance, miles
  float sin_lat = 0.0f, cos_lat = 1.0f;
  float site_rate_factor = 0.0f;  // cos(latitude) x 990.8, read by the report
  float precession_ra = 0.0f;     // hours of right ascension
  float precession_dec = 0.0f;    // hours (x 15 gives degrees)
  float start_sidereal = 0.0f;    // sidereal time at 0h UT of the start day, revolutions
};

}  // namespace vespera
