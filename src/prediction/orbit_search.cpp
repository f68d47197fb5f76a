// search_element_set: the search of one element set over one day's window,
// each candidate revolution handed to the pass walk.
#include "prediction/orbit.h"

namespace vespera {

void search_element_set(EngineContext& context) {
  const SearchScope scope = search_scope(context);
  OrbitSetup orbit;
  if (!setup_orbit(scope, orbit)) return;
  int j = 0;
  float u_star = 0.0f;
  bool advance_first = false;
  while (next_candidate(scope, orbit, advance_first, j, u_star)) {
    if (walk_pass(context, orbit, j, u_star) == SearchStep::SetFinished) return;
    advance_first = true;
  }
}

}  // namespace vespera
