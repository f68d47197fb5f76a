// The night of one day index: the sun's track over the day, the observing
// window and the twilight times, set up by set_up_night and then only read.
#pragma once

namespace vespera {

// The sun for one day: values at reference_time and their changes per day.
struct SunTrack {
  float reference_time = 0.0f;  // engine days
  float ra = 0.0f, ra_per_day = 0.0f;
  float sin_dec = 0.0f, sin_dec_per_day = 0.0f;
  float cos_dec = 1.0f, cos_dec_per_day = 0.0f;
};

struct ObservingWindow {
  float start = 0.0f;  // engine days
  float end = 0.0f;
};

// What the day loop knows of the current day; the report writer is given the
// twilight times of the night it writes.
struct NightState {
  SunTrack sun;
  ObservingWindow window;
  float evening_twilight = 0.0f;  // hours UT
  float morning_twilight = 0.0f;
};

}  // namespace vespera
