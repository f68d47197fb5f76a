// Records and settings shared by the report writer's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "prediction/prediction_table.h"
#include "vocabulary/run_settings.h"

namespace vespera::report_test {

constexpr double kRadiansPerDegreeExact = 0.017453292519943295;

// Engine time (days) of a UT time on a day offset, half a second past the
// given second so that truncation to the whole second is robust.
inline float ut(int day, int hour, int minute, double second) {
  return static_cast<float>((day * 86400.0 + hour * 3600.0 + minute * 60.0 + second + 0.5) /
                            86400.0);
}

// Same without the half-second margin.
inline float ut_exact(int day, int hour, int minute, double second) {
  return static_cast<float>((day * 86400.0 + hour * 3600.0 + minute * 60.0 + second) / 86400.0);
}

inline float radians(double degrees) {
  return static_cast<float>(degrees * kRadiansPerDegreeExact);
}

// The record of the worked example: alt 45, az 123, walk_state 0, direction
// 90, magnitude 2.5, age 3 days, 4 tenths, height 400, shadow 1500, range
// 560 km, phase 80, right ascension 14h 30m, declination 25.4.
inline PredictionRecord example_record() {
  PredictionRecord r;
  r.name = FixedText<16>("DEMO SAT");
  r.ncat = 12345;
  r.walk_state = 0;
  r.direction = 90;
  r.altitude = radians(45.0);
  r.azimuth = radians(123.0);
  r.right_ascension = 14.5f;
  r.declination = 25.4f;
  r.height = 400;
  r.shadow_height = 1500;
  r.range = static_cast<float>(560.5 / 1.609345);
  r.phase_angle = 80;
  r.age_days = 3;
  r.orbit_tenths = 4;
  r.time_error = 2;
  r.magnitude = 2.5f;
  return r;
}

inline RunSettings settings_for(char letter) {
  RunSettings s;
  s.formatLetter = letter;
  s.radarFormat = letter == 'R';
  s.zoneOffsetHours = 0.0f;
  s.zoneLabel = FixedText<4>("UT");
  s.clockHours = 24;
  return s;
}

// The lines of a text, each without its line end.
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace vespera::report_test
