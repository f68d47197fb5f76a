#include "prediction/element_search.h"

#include <optional>
#include <vector>

#include "prediction/observation.h"
#include "prediction/orbit.h"
#include "prediction/orbit_constants.h"
#include "vocabulary/units.h"
#include "prediction/pass_walk.h"
#include "prediction/sgp4_ephemeris.h"
#include "prediction/sgp4_observation.h"
#include "prediction/sgp4_walk_start.h"

namespace vespera {

namespace {

// The SGP4 model's passes lie up to a degree, and their nearest points some
// seconds, from the compact orbit's: the acceptance width of the search is
// widened by this much (radians) so that none is lost.
constexpr float kSgp4LonWindowMargin = 0.05f;

// The SGP4 model moves a walk's start into the window when the pass's
// highest point lies outside it, so that a pass seen only in part is walked
// too: the search looks for crossings a quarter of a revolution (at least
// the compact model's 0.01 day) beyond the window at either end.
float sgp4_window_margin(const ElementSet& set) {
  constexpr double kQuarterRevolution = 0.25;
  const double margin = kQuarterRevolution / static_cast<double>(set.meanMotion);
  return margin > static_cast<double>(kWindowMarginDays) && margin < 1.0 ? static_cast<float>(margin)
                                                                  : kWindowMarginDays;
}

// Walks one candidate revolution from u_star with the trial points of the
// run's model.
SearchStep walk_pass(const EngineRun& run, const ElementSet& set, const OrbitSetup& orbit, float u_star,
                     const ObservationScope& observation, Sgp4Observer* sgp4, PredictionSink& sink,
                     const StopToken& stop) {
  if (sgp4 != nullptr) {
    Sgp4TrialPoints points(observation, *sgp4);
    return walk_candidate(run.walk, set, orbit, u_star, points, sink, stop);
  }
  ObservedTrialPoints points(observation);
  return walk_candidate(run.walk, set, orbit, u_star, points, sink, stop);
}

// Walks every candidate revolution of the set over the night; in the SGP4
// model (`sgp4` set) from the start sgp4_walk_start finds.
void walk_candidates(const SearchScope& scope, const EngineRun& run, const NightState& night,
                     OrbitSetup& orbit, Sgp4Observer* sgp4, PredictionSink& sink) {
  const ElementSet& set = scope.set;
  ObservationScope observation{run.site, run.filters, night, set, orbit, 0,
                               standard_magnitude(*run.catalogue, set.ncat)};
  int j = 0;
  float u_star = 0.0f;
  bool advance_first = false;
  while (next_candidate(scope, orbit, advance_first, j, u_star)) {
    observation.j = j;
    advance_first = true;
    if (sgp4 != nullptr) {
      const std::optional<float> start = sgp4_walk_start(observation, *sgp4, u_star);
      if (!start) continue;  // the pass stays below the minimum altitude
      u_star = *start;
    }
    if (walk_pass(run, set, orbit, u_star, observation, sgp4, sink, scope.stop) == SearchStep::SetFinished) {
      return;
    }
  }
}

// The SGP4 model: the set's predictions of the night are handed on only when
// every propagation succeeded; otherwise the set is dropped for the night and
// the sink told why.
void search_with_sgp4(const SearchScope& scope, const EngineRun& run, const NightState& night,
                      OrbitSetup& orbit, PredictionSink& sink) {
  Sgp4Ephemeris ephemeris(scope.set, run.site.start_day_number);
  std::vector<TimedPrediction> found;
  if (!ephemeris.failed()) {
    Sgp4Observer observer{ephemeris, run.geodetic, false, 0.0f, SatelliteFix{}};
    CollectingSink collect(found);
    walk_candidates(scope, run, night, orbit, &observer, collect);
  }
  if (ephemeris.failed()) {
    sink.propagation_failed(propagation_failure(scope.set, ephemeris.failure_reason()));
    return;
  }
  for (const TimedPrediction& p : found) sink.add(p.time, p.record);
}

}  // namespace

void search_element_set(const ElementSet& set, const EngineRun& run, const NightState& night,
                        PredictionSink& sink, const StopToken& stop) {
  const bool sgp4 = run.model == OrbitModel::Sgp4;
  SearchScope scope{set, run.site, night.window, run.minAltitudeDeg, stop};
  if (sgp4) {
    // A deep-space orbit's every revolution is a candidate.
    scope.lonWindowMargin = deep_space(set) ? kPi : kSgp4LonWindowMargin;
    scope.windowMarginDays = sgp4_window_margin(set);
  }
  OrbitSetup orbit;
  if (!setup_orbit(scope, orbit)) return;
  if (sgp4) {
    search_with_sgp4(scope, run, night, orbit, sink);
  } else {
    walk_candidates(scope, run, night, orbit, nullptr, sink);
  }
}

}  // namespace vespera
