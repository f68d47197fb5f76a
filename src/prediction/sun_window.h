// The sun for a day and the times at which it stands 10 degrees below the
// horizon, from a compact model of the sun's mean longitude and the equation
// of time.
#pragma once

#include <cstdint>

#include "prediction/night.h"
#include "prediction/site_geometry.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// The sun's place at one instant.
struct SunPlace {
  float ra = 0.0f;       // right ascension of the date, radians, [0, 2 pi]
  float sin_dec = 0.0f;  // sine and cosine of the declination
  float cos_dec = 1.0f;
};

// sun_place: the sun's right ascension and declination at day number D (a
// real day number, fraction = UT time of day).
SunPlace sun_place(float day_number);

// sun_window: for day number D, geocentric latitude and west longitude
// (radians), gives the sun at D and its change over one day in `sun`
// (reference_time is left to the caller), and the hours of UT at which the
// sun is 10 degrees below the horizon in the evening and the next morning.
// A sun that never sinks that low gives equal evening and morning times; one
// that never rises that high gives a morning 24 hours after the evening.
void sun_window(float day_number, float latitude, float west_longitude, float& evening_twilight,
                float& morning_twilight, SunTrack& sun);

// How a run places the observing window of a day.
struct WindowSettings {
  bool twilight = true;  // twilight mode: neither a radar listing nor window letter "A"
  float startOffsetHours = 0.0f;
  float endOffsetHours = 0.0f;
};

WindowSettings window_settings(const RunSettings& settings);

// set_up_night: the sun, the twilight times and the observing window of day
// index i. In twilight mode the sun is taken at 12h UT of the day before and
// the window runs from evening twilight plus the start offset to morning
// twilight plus the end offset; in absolute mode it runs from 0h UT of day i
// plus the start offset to 0h plus the end offset, with the sun at 0h. Times
// are engine days.
NightState set_up_night(const WindowSettings& settings, const SiteGeometry& site, int32_t i);

}  // namespace vespera
