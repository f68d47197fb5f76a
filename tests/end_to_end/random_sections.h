// Random sections of a control file over the visual excerpt, built from a
// seed with extreme but legal values (zone offsets of -12 and +14 hours,
// latitudes of +-90 and 0, longitudes of +-180, step scales from 0.1 to 20,
// step maxima 1 and 99, equinoxes 1800 to 2200, magnitude limits, sky
// regions through north and through 0 h, range limits in km and miles, walk
// on and off, memory and streaming mode), for a given report format.
#pragma once

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "end_to_end_support.h"

namespace vespera::e2e {

// The choices a random section was built from, as the checks need them.
struct RandomRun {
  Section section;
  std::string console_input;
  char format = 'A';
  bool phase_shown = false;         // P in column 3 (formats B and C)
  bool azimuth_from_south = false;  // A in column 7
  bool detail_listing = false;
  bool absolute_window = false;     // window letter A, or format R
  double start_offset = 0.0, end_offset = 0.0;  // hours
  double zone = 0.0;
  std::string zone_label;           // as the report shows it, 4 characters
  bool twelve_hour_clock = false;
  int min_altitude = 15;
  bool blank_line = false;
  bool miles = false;
  std::optional<double> range_limit;  // report units
  bool alt_az = false;
  double alt_min = 0, alt_max = 0, az_min = 0, az_max = 0;  // degrees
  bool ra_dec = false;
  double ra_min = 0, ra_max = 0;    // hours
  double dec_min = 0, dec_max = 0;  // degrees
  int equinox = 1950;
  int first_day = 0, last_day = 0;  // of October 2017
  std::set<int> ncats;              // the satellites the run may report
};

inline const std::set<int> kExcerptNcats = {877,   2802,  12904, 17912, 19120, 19650, 20453,
                                     22220, 25407, 25544, 25861, 37820};

// mt19937 is the same everywhere; the library's distributions are not, so
// the values are drawn by hand to keep the runs the same on every platform.
inline double uniform(std::mt19937& random, double low, double high) {
  return low + (high - low) * (static_cast<double>(random()) / 4294967296.0);
}

template <typename T>
T pick(std::mt19937& random, const std::vector<T>& values) {
  return values[random() % values.size()];
}

// Mostly an ordinary value, one time in four an extreme one: extremes that
// rule out every sighting would otherwise leave little to check.
template <typename T>
T pick_mostly(std::mt19937& random, const std::vector<T>& ordinary, const std::vector<T>& extreme) {
  return random() % 4 == 0 ? pick(random, extreme) : pick(random, ordinary);
}

inline bool coin(std::mt19937& random) { return (random() & 1) != 0; }

inline std::string text(const char* format, double a, double b = 0, double c = 0, double d = 0,
                 double e = 0, double f = 0) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, a, b, c, d, e, f);
  return buffer;
}

inline std::string logical(bool value) { return value ? "T" : "F"; }

inline void choose_window(std::mt19937& random, RandomRun& run) {
  run.absolute_window = run.format == 'R' || random() % 3 == 0;
  if (run.absolute_window) {
    run.start_offset = std::round(uniform(random, -6.0, 22.0) * 4.0) / 4.0;
    // A window of -1 hours is empty: the day is reported and skipped.
    run.end_offset = run.start_offset + pick<double>(random, {-1.0, 2.0, 6.0, 12.0, 20.0});
  } else {
    run.start_offset = pick<double>(random, {-2.0, -0.5, 0.0, 1.0});
    run.end_offset = pick<double>(random, {-1.0, 0.0, 0.5, 2.0});
  }
  const bool letter = run.absolute_window && run.format != 'R';
  run.section.window = text("%g %g", run.start_offset, run.end_offset) + (letter ? " A" : "");
}

inline void choose_site_and_clock(std::mt19937& random, RandomRun& run) {
  const double latitude =
      pick_mostly<double>(random, {40.0, 51.5, -33.9, 20.0, -45.0}, {90.0, -90.0, 0.0, 89.9, -89.9});
  const double longitude = pick_mostly<double>(random, {75.0, -151.2, 120.5, -2.3}, {180.0, -180.0, 0.0});
  const double height = pick<double>(random, {0.0, 300.0, 15000.0});
  run.section.site = text("%g,%g,%g", latitude, longitude, height) + " Random site";
  run.zone = pick_mostly<double>(random, {-9.5, -4.0, 0.0, 1.0, 5.5, 10.0}, {-12.0, 14.0});
  const std::string label = pick<std::string>(random, {"UT", "edt", "Nzdt", "LONGZONE"});
  run.zone_label = label.substr(0, 4);
  for (char& c : run.zone_label) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  run.zone_label.resize(4, ' ');
  run.twelve_hour_clock = coin(random);
  run.section.zone = text("%g ", run.zone) + label + (run.twelve_hour_clock ? " 12" : " 24");
}

inline void choose_limits(std::mt19937& random, RandomRun& run) {
  run.equinox = pick_mostly<int>(random, {1950, 2000, 2017}, {1800, 2099, 2200});
  run.section.equinox = std::to_string(run.equinox);
  run.section.magnitude_limit = pick_mostly<std::string>(random, {"4.5", "8", "12"}, {"-1", "2", "30"});
  run.min_altitude = pick_mostly<int>(random, {0, 1, 10, 20}, {-5, 45, 89, 90});
  run.section.min_altitude = std::to_string(run.min_altitude);
  run.section.step_scale = pick_mostly<std::string>(random, {"0.5", "1", "2", "0"}, {"0.1", "20", "-2"});
  run.section.memory = logical(coin(random));
  run.section.drop_duplicates = logical(coin(random));
  run.section.ignore_shadow = logical(coin(random));
  run.section.walk = random() % 3 == 0 ? "F" : "T " + std::to_string(pick<int>(random, {1, 2, 5, 99}));
  run.miles = coin(random);
  run.section.miles = logical(run.miles);
  run.blank_line = coin(random);
  run.section.blank_line = logical(run.blank_line);
}

inline void choose_selection(std::mt19937& random, RandomRun& run) {
  run.ncats = kExcerptNcats;
  switch (random() % 6) {
    case 0:
      run.section.selection = "v";
      break;
    case 1:
      run.section.selection = "xv";
      break;
    case 2:
      run.section.selection = "prompt";
      // A line with two numbers gives its first; a blank line ends the list.
      run.console_input = "25544\n19650 877\n37820\n\n";
      run.ncats = {25544, 19650, 37820};
      break;
    case 3: {
      run.alt_az = true;
      run.alt_min = pick<double>(random, {0.0, 10.0, 30.0});
      run.alt_max = pick<double>(random, {45.0, 70.0, 90.0});
      const std::vector<std::pair<double, double>> azimuths = {
          {0, 360}, {300, 60}, {90, 270}, {200, 10}, {120, 120}};
      std::tie(run.az_min, run.az_max) = pick(random, azimuths);
      run.section.selection = "AA";
      run.section.sky_limits =
          text("%g %g %g %g", run.alt_min, run.alt_max, run.az_min, run.az_max);
      break;
    }
    case 4: {
      run.ra_dec = true;
      const std::vector<std::vector<double>> ras = {
          {22, 30, 2, 0}, {0, 0, 24, 0}, {6, 0, 18, 0}, {18, 0, 6, 0}};
      const std::vector<double> ra = pick(random, ras);
      run.ra_min = ra[0] + ra[1] / 60.0;
      run.ra_max = ra[2] + ra[3] / 60.0;
      const std::vector<std::pair<double, double>> decs = {{-90, 90}, {-20, 60}, {0, 45}};
      std::tie(run.dec_min, run.dec_max) = pick(random, decs);
      run.section.selection = "RD";
      run.section.sky_limits =
          text("%g %g %g %g %g %g", ra[0], ra[1], ra[2], ra[3], run.dec_min, run.dec_max);
      break;
    }
    default:
      run.section.selection = "";
      break;
  }
}

// Line 17: the four letters in columns 1, 3, 5, 7 (or each one column to the
// right), and RL after them.
inline void choose_format(std::mt19937& random, RandomRun& run) {
  const char range_phase = pick<char>(random, {' ', 'R', 'P'});
  const char detail = pick<char>(random, {' ', 'D', 'N'});
  run.azimuth_from_south = random() % 3 == 0;
  run.phase_shown = range_phase == 'P';
  run.detail_listing = (run.format == 'A' || run.format == 'D') && detail == 'D';
  std::string line(12, ' ');
  const std::size_t shift = coin(random) ? 1 : 0;
  line[0 + shift] = run.format;
  line[2 + shift] = range_phase;
  line[4 + shift] = detail;
  line[6 + shift] = run.azimuth_from_south ? 'A' : ' ';
  if (random() % 3 == 0) {
    line.replace(8 + shift, 2, "RL");
    run.range_limit = pick<double>(random, {300.0, 800.0, 1500.0, 5000.0});
    run.section.range_limit = text("%g", *run.range_limit);
  }
  run.section.format = line;
}

inline RandomRun random_run(uint32_t seed, char format) {
  std::mt19937 random(seed);
  RandomRun run;
  run.format = format;
  run.first_day = 14 + static_cast<int>(random() % 6);
  run.last_day = run.first_day + static_cast<int>(random() % 2);
  run.section.days = text("%g %g", run.first_day, run.last_day);
  choose_window(random, run);
  choose_site_and_clock(random, run);
  choose_limits(random, run);
  choose_selection(random, run);
  choose_format(random, run);
  run.section.override_file = coin(random) ? "none" : "sample-override.mag";
  return run;
}

}  // namespace vespera::e2e
