// The records the prediction engine works with for one run and one day, and
// the context that bundles everything the engine reads and changes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "elements/element_set.h"
#include "elements/element_source.h"
#include "magnitudes/magnitude_catalogue.h"
#include "prediction/altitude_limit.h"
#include "prediction/prediction_table.h"
#include "vocabulary/run_settings.h"
#include "vocabulary/stop_request.h"

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

// What the day loop knows of the current day; the report writer reads the
// twilight times.
struct NightState {
  SunTrack sun;
  ObservingWindow window;
  float evening_twilight = 0.0f;  // hours UT
  float morning_twilight = 0.0f;
};

struct EngineContext {
  const RunSettings& settings;
  const SiteGeometry& site;
  NightState& night;
  ElementSource& elements;
  ElementSet& current;
  MagnitudeCatalogue& magnitudes;
  MagnitudeInfo& info;
  const int32_t& defaultMagnitudeBoundary;
  PredictionTable& predictions;
  PredictionFlusher& flusher;
  std::FILE* out;  // console messages ("Space limit")
  std::FILE* err;  // the reversed-window line
  StopToken stop;  // asked between element sets
  // The minimum-altitude test, prepared for settings.minAltitude on first use.
  AltitudeLimit altitude_limit{};

  ElementContext element_context() const {
    return ElementContext{settings, magnitudes, info, out};
  }
};

}  // namespace vespera
