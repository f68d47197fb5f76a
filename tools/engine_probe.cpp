// engine_probe: prints what the prediction engine computes, for checking the
// sun model and the revolution search against other programs
// (tools/check_sky.py). Not part of the program or of its tests.
//
//   engine_probe sun DAYNUMBER LATITUDE WESTLONGITUDE
//       the sun at a real day number: right ascension and declination of the
//       date (degrees) and the evening and morning twilight (hours of UT from
//       0h of the day number's day) as the day loop would use them.
//   engine_probe candidates ELEMENTFILE YEAR MONTH FIRSTDAY LASTDAY LATITUDE
//                WESTLONGITUDE HEIGHTFEET WINDOW [NCAT]
//       the candidate revolutions of every set (or of NCAT) over the days,
//       one line per candidate: ncat, day index, crossing (1 or 2), engine
//       time of the nearest point u* (days from 0h UT of the month's day 0),
//       its day number (MJD), and the longitude difference of the crossing
//       (degrees). WINDOW is "twilight" or "HH-HH" (absolute hours of UT).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "elements/calendar.h"
#include "elements/element_source.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/angles.h"
#include "prediction/day_loop.h"
#include "prediction/orbit.h"
#include "prediction/site_setup.h"
#include "prediction/sun_window.h"

using namespace vespera;

namespace {

int usage() {
  std::fprintf(
      stderr,
      "usage: engine_probe sun DAYNUMBER LAT WLON\n"
      "       engine_probe candidates FILE YEAR MONTH FIRST LAST LAT WLON FEET WINDOW [NCAT]\n");
  return 2;
}

int sun(int argc, char** argv) {
  if (argc != 5) return usage();
  const float day_number = std::strtof(argv[2], nullptr);
  RunSettings settings;
  settings.latitudeDeg = std::strtof(argv[3], nullptr);
  settings.westLongitudeDeg = std::strtof(argv[4], nullptr);
  SiteGeometry site;
  setup_site(settings, static_cast<int32_t>(day_number), site);
  SunTrack track;
  float evening = 0.0f, morning = 0.0f;
  sun_window(day_number, site.latitude, site.longitude, evening, morning, track);
  const double dec = std::atan2(track.sin_dec, track.cos_dec) * 57.29577951308232;
  std::printf("ra_deg %.5f dec_deg %.5f evening_h %.5f morning_h %.5f ra_per_day %.7f\n",
              track.ra * 57.29577951308232, dec, evening, morning, track.ra_per_day);
  return 0;
}

int candidates(int argc, char** argv) {
  if (argc != 11 && argc != 12) return usage();
  auto settings = std::make_unique<RunSettings>();
  settings->elementFileNames[0] = FileName(argv[2]);
  settings->elementFileCount = 1;
  settings->year = std::atoi(argv[3]);
  settings->month = std::atoi(argv[4]);
  settings->firstDay = std::atoi(argv[5]);
  settings->lastDay = std::atoi(argv[6]);
  settings->latitudeDeg = std::strtof(argv[7], nullptr);
  settings->westLongitudeDeg = std::strtof(argv[8], nullptr);
  settings->heightFeet = std::strtof(argv[9], nullptr);
  const std::string window = argv[10];
  if (window == "twilight") {
    settings->windowLetter = ' ';
  } else {
    settings->windowLetter = 'A';
    if (std::sscanf(window.c_str(), "%f-%f", &settings->startOffsetHours,
                    &settings->endOffsetHours) != 2) {
      return usage();
    }
  }
  if (argc == 12) {
    settings->ncatListMode = true;
    settings->selectionCount = 1;
    settings->ncatList[0] = std::atoi(argv[11]);
  }
  settings->minAltitudeDeg = 10;
  settings->keepElementsInMemory = true;
  settings->dropOlderDuplicates = true;

  auto magnitudes = std::make_unique<MagnitudeCatalogue>();
  ElementSource source;
  const ElementContext element_context{*settings, *magnitudes, stderr};
  if (source.loadElementSets(element_context) != 0) return 1;

  const int32_t start_day = monthBaseDayNumber(settings->year, settings->month);
  SiteGeometry site;
  setup_site(*settings, start_day, site);
  ElementSet current;
  for (int32_t i = settings->firstDay; i <= settings->lastDay; ++i) {
    const NightState night = set_up_night(window_settings(*settings), site, i);
    std::printf("# day %d window %.6f %.6f (MJD %.6f %.6f)\n", i, night.window.start,
                night.window.end, start_day + night.window.start, start_day + night.window.end);
    source.rewindElementSets();
    while (source.nextElementSet(element_context, current) == 0) {
      const SearchScope scope{current, site, night.window, settings->minAltitudeDeg, StopToken()};
      OrbitSetup orbit;
      if (!setup_orbit(scope, orbit)) continue;
      int j = 0;
      float u_star = 0.0f;
      bool advance = false;
      while (next_candidate(scope, orbit, advance, j, u_star)) {
        const OrbitPoint point = time_of_u(current, orbit, j, u_star);
        std::printf("%d %d %d %.6f %.6f %.3f\n", current.ncat, i, j + 1, point.time,
                    start_day + static_cast<double>(point.time),
                    orbit.crossings[j].lon_diff * 57.29577951308232);
        advance = true;
      }
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  if (std::strcmp(argv[1], "sun") == 0) return sun(argc, argv);
  if (std::strcmp(argv[1], "candidates") == 0) return candidates(argc, argv);
  return usage();
}
