#include "prediction/element_search.h"

#include "prediction/observation.h"
#include "prediction/orbit.h"
#include "prediction/pass_walk.h"

namespace vespera {

void search_element_set(const ElementSet& set, const EngineRun& run, const NightState& night,
                        PredictionSink& sink, const StopToken& stop) {
  const SearchScope scope{set, run.site, night.window, run.minAltitudeDeg, stop};
  OrbitSetup orbit;
  if (!setup_orbit(scope, orbit)) return;
  ObservationScope observation{run.site, run.filters, night, set, orbit, 0,
                               standard_magnitude(*run.catalogue, set.ncat)};
  int j = 0;
  float u_star = 0.0f;
  bool advance_first = false;
  while (next_candidate(scope, orbit, advance_first, j, u_star)) {
    observation.j = j;
    ObservedTrialPoints points(observation);
    if (walk_candidate(run.walk, set, orbit, u_star, points, sink, stop) ==
        SearchStep::SetFinished) {
      return;
    }
    advance_first = true;
  }
}

}  // namespace vespera
