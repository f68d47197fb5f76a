// The search of one element set over one night: the revolutions whose
// latitude crossings pass near the observer are found, and each is walked
// point by point; every accepted point goes to the prediction sink. The
// search reads its inputs as values: the set, the run, the night.
#pragma once

#include "elements/element_set.h"
#include "prediction/engine_run.h"
#include "prediction/night.h"
#include "prediction/prediction_sink.h"
#include "vocabulary/stop_request.h"

namespace vespera {

// search_element_set: searches `set` over the night's window with the run's
// site, filters and walk settings; the satellite's standard magnitude is
// looked up once in the run's catalogue. Asks `stop` at every revolution and
// every step of a walk.
void search_element_set(const ElementSet& set, const EngineRun& run, const NightState& night,
                        PredictionSink& sink, const StopToken& stop);

}  // namespace vespera
