// sgp4_pass_scan: the coverage check of the SGP4 model's pass search. Not
// part of the program or of its tests; built by tools/build_probe.sh.
//
//   sgp4_pass_scan ELEMENTFILE YEAR MONTH FIRSTNIGHT LASTNIGHT LATITUDE
//                  WESTLONGITUDE [MAGLIMIT [MINALTITUDE]]
//
// For every element set of the file (read in streaming mode, older
// duplicates dropped, no magnitude file: every magnitude estimated) and every
// night that begins on the evenings FIRSTNIGHT..LASTNIGHT of the month, at
// the site (degrees north, degrees west, 300 ft), with twilight windows,
// magnitudes to MAGLIMIT (default 12) above MINALTITUDE degrees (default 10):
//
//   - a brute-force scan with SGP4 every 10 s through the night's window
//     finds the passes (spans above the horizon), and calls a pass visible
//     when one of its samples, or its highest point (refined to 0.1 s), is at
//     least 1 degree above the minimum altitude, sunlit, and brighter than the
//     limit by 0.2 magnitudes, by the program's own geometry, shadow and
//     brightness rules (the site in darkness: the samples lie in the window);
//   - the program's search (search_element_set, --model sgp4, walked passes)
//     lists its points; a visible pass is found when a listed point of the
//     set lies within it (from 60 s before its rise to 60 s after its set).
//
// Prints one line per night (visible, found), every visible pass not found
// (catalogue number, UT of its highest point, altitude), and the totals.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "elements/calendar.h"
#include "elements/element_source.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/element_search.h"
#include "prediction/engine_run.h"
#include "prediction/illumination.h"
#include "prediction/sgp4_observation.h"
#include "prediction/sun_window.h"

using namespace vespera;

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kScanStep = 10.0 / kSecondsPerDay;
constexpr double kFoundMargin = 60.0 / kSecondsPerDay;
constexpr float kAltitudeMargin = 1.0f * 0.017453292f;
constexpr float kMagnitudeMargin = 0.2f;

struct ScanPass {
  double rise = 0.0, set = 0.0;
  double highest_time = 0.0;
  double highest_altitude = -10.0;
  bool visible = false;
};

// What one scan reads: the run and the night, the filters with the margins.
struct ScanContext {
  const EngineRun& run;
  const NightState& night;
  const ObservationFilters& strict;  // minimum altitude + 1 degree, limit - 0.2
};

// The altitude (radians) of the set's satellite at engine time `time`; NaN
// when it cannot be propagated.
double altitude_at(Sgp4Observer& sgp4, double time) {
  SatelliteFix fix;
  if (!sgp4.ephemeris.locate(time, fix)) return NAN;
  return altitude_of(topocentric_view(fix.earth_fixed.position_km, sgp4.site));
}

// Whether the point at `time` passes every filter with the margins.
bool visible_at(const ScanContext& context, const ElementSet& set, Sgp4Observer& sgp4, double time) {
  static const OrbitSetup kNoOrbit{};
  const ObservationScope scope{context.run.site, context.strict, context.night, set, kNoOrbit, 0,
                               standard_magnitude(*context.run.catalogue, set.ncat)};
  const float t = static_cast<float>(time);
  const WalkSun sun = sun_at_walk_start(context.night.sun, t);
  PointObservation point;
  return observe_sgp4_point(scope, sgp4, t, sun, point) == PointOutcome::Accept;
}

// The highest point of a pass near the best sample, by golden-section search.
void refine_highest(ScanPass& pass, Sgp4Observer& sgp4, const ObservingWindow& window) {
  double lo = std::max(pass.highest_time - kScanStep, static_cast<double>(window.start));
  double hi = std::min(pass.highest_time + kScanStep, static_cast<double>(window.end));
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  while (hi - lo > 0.1 / kSecondsPerDay) {
    const double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    if (altitude_at(sgp4, x1) > altitude_at(sgp4, x2)) {
      hi = x2;
    } else {
      lo = x1;
    }
  }
  const double best = (lo + hi) / 2.0;
  const double altitude = altitude_at(sgp4, best);
  if (altitude > pass.highest_altitude) {
    pass.highest_altitude = altitude;
    pass.highest_time = best;
  }
}

// The passes of one set through the night's window, each marked visible or not.
std::vector<ScanPass> scan_passes(const ScanContext& context, const ElementSet& set) {
  std::vector<ScanPass> passes;
  Sgp4Ephemeris ephemeris(set, context.run.site.start_day_number);
  Sgp4Observer sgp4{ephemeris, context.run.geodetic, false, 0.0f, SatelliteFix{}};
  const ObservingWindow& window = context.night.window;
  ScanPass current;
  bool up = false;
  for (double t = window.start; t <= window.end && !ephemeris.failed(); t += kScanStep) {
    const double altitude = altitude_at(sgp4, t);
    if (altitude > 0.0) {
      if (!up) current = ScanPass{t, t, t, altitude, false};
      up = true;
      current.set = t;
      if (altitude > current.highest_altitude) {
        current.highest_altitude = altitude;
        current.highest_time = t;
      }
      if (!current.visible) current.visible = visible_at(context, set, sgp4, t);
    } else if (up) {
      passes.push_back(current);
      up = false;
    }
  }
  if (up) passes.push_back(current);
  for (ScanPass& pass : passes) {
    refine_highest(pass, sgp4, window);
    if (!pass.visible) pass.visible = visible_at(context, set, sgp4, pass.highest_time);
  }
  if (ephemeris.failed()) passes.clear();  // the program drops such a set for the night
  return passes;
}

// What the highest point of a missed pass looks like with the run's own
// filters: the outcome, with the height and the height above the shadow
// (miles) when it is in shadow, the magnitude when it is too faint.
std::string highest_point(const ScanContext& context, const ElementSet& set, const ScanPass& pass) {
  Sgp4Ephemeris ephemeris(set, context.run.site.start_day_number);
  Sgp4Observer sgp4{ephemeris, context.run.geodetic, false, 0.0f, SatelliteFix{}};
  static const OrbitSetup kNoOrbit{};
  const ObservationScope scope{context.run.site, context.run.filters, context.night, set, kNoOrbit, 0,
                               standard_magnitude(*context.run.catalogue, set.ncat)};
  const float t = static_cast<float>(pass.highest_time);
  PointObservation point;
  const PointOutcome outcome = observe_sgp4_point(scope, sgp4, t, sun_at_walk_start(context.night.sun, t), point);
  char text[120];
  switch (outcome) {
    case PointOutcome::Shadow:
      std::snprintf(text, sizeof text, "shadow, height %.0f, above the shadow %.0f%s", point.height,
                    point.shadow_height,
                    -2.0 * point.height - 600.0 > point.shadow_height ? " (deep)" : "");
      break;
    case PointOutcome::TooFaint:
      std::snprintf(text, sizeof text, "too faint, %.2f", point.magnitude);
      break;
    case PointOutcome::Accept:
      std::snprintf(text, sizeof text, "accepted");
      break;
    default:
      std::snprintf(text, sizeof text, "outcome %d", static_cast<int>(outcome));
  }
  return text;
}

struct Counts {
  long visible = 0, found = 0;
};

Counts check_set(const ScanContext& context, const ElementSet& set, int32_t start_day) {
  std::vector<TimedPrediction> listed;
  CollectingSink sink(listed);
  search_element_set(set, context.run, context.night, sink, StopToken());
  Counts counts;
  for (const ScanPass& pass : scan_passes(context, set)) {
    if (!pass.visible) continue;
    ++counts.visible;
    bool found = false;
    for (const TimedPrediction& p : listed) {
      if (p.time >= pass.rise - kFoundMargin && p.time <= pass.set + kFoundMargin) found = true;
    }
    if (found) {
      ++counts.found;
    } else {
      const double mjd = start_day + pass.highest_time;
      const double hours = (mjd - std::floor(mjd)) * 24.0;
      std::printf("  missed %6d MJD %.0f %02d:%05.2f UT highest %.2f deg: %s\n", set.ncat, std::floor(mjd),
                  static_cast<int>(hours), (hours - std::floor(hours)) * 60.0,
                  pass.highest_altitude * 57.29577951308232, highest_point(context, set, pass).c_str());
    }
  }
  return counts;
}

int usage() {
  std::fprintf(stderr,
               "usage: sgp4_pass_scan FILE YEAR MONTH FIRSTNIGHT LASTNIGHT LAT WLON [MAGLIMIT [MINALT]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 8 || argc > 10) return usage();
  auto settings = std::make_unique<RunSettings>();
  settings->elementFileNames[0] = FileName(argv[1]);
  settings->elementFileCount = 1;
  settings->year = std::atoi(argv[2]);
  settings->month = std::atoi(argv[3]);
  // Twilight mode: the night that begins on the evening of day d is day index d + 1.
  settings->firstDay = std::atoi(argv[4]) + 1;
  settings->lastDay = std::atoi(argv[5]) + 1;
  settings->latitudeDeg = std::strtof(argv[6], nullptr);
  settings->westLongitudeDeg = std::strtof(argv[7], nullptr);
  settings->heightFeet = 300.0f;
  settings->magnitudeLimit = argc > 8 ? std::strtof(argv[8], nullptr) : 12.0f;
  settings->minAltitudeDeg = argc > 9 ? std::atoi(argv[9]) : 10;
  settings->minAltitude =
      static_cast<float>(static_cast<double>(settings->minAltitudeDeg) * static_cast<double>(0.017453292f));
  settings->walkPasses = true;
  settings->maxWalkSteps = 99;
  settings->keepElementsInMemory = false;
  settings->dropOlderDuplicates = true;

  auto magnitudes = std::make_unique<MagnitudeCatalogue>();
  ElementSource source;
  const ElementContext element_context{*settings, *magnitudes, stderr};
  if (source.loadElementSets(element_context) != 0) return 1;
  const int32_t start_day = monthBaseDayNumber(settings->year, settings->month);
  const EngineRun run =
      prepare_engine_run(*settings, start_day, *magnitudes, kDefaultMagnitudeBoundary, OrbitModel::Sgp4);
  ObservationFilters strict = run.filters;
  strict.minAltitude = strict.minAltitude + kAltitudeMargin;
  strict.magnitudeLimit = strict.magnitudeLimit - kMagnitudeMargin;

  Counts total;
  ElementSet set;
  for (int32_t i = settings->firstDay; i <= settings->lastDay; ++i) {
    const NightState night = set_up_night(run.window, run.site, i);
    const ScanContext context{run, night, strict};
    Counts counts;
    source.rewindElementSets();
    while (source.nextElementSet(element_context, set) == 0) {
      const Counts c = check_set(context, set, start_day);
      counts.visible += c.visible;
      counts.found += c.found;
    }
    std::printf("night of day %d: %ld visible passes, %ld found (%.2f%%)\n", i - 1, counts.visible,
                counts.found, counts.visible ? 100.0 * counts.found / counts.visible : 100.0);
    std::fflush(stdout);
    total.visible += counts.visible;
    total.found += counts.found;
  }
  std::printf("total: %ld visible passes, %ld found (%.2f%%)\n", total.visible, total.found,
              total.visible ? 100.0 * total.found / total.visible : 100.0);
  return 0;
}
