// The pass walk: from the closest point u* of a candidate revolution, trial
// points are evaluated first at u* and then, when the run walks through
// passes, stepping back along the orbit and then forward, until the filters
// end each direction. Every accepted point is stored as a prediction with its
// direction of motion, measured from a probe point a little further on.
//
// walk_pass itself is declared with the orbit search (prediction/orbit.h).
#pragma once

#include <cstdio>

#include "elements/element_set.h"
#include "prediction/observation.h"
#include "prediction/orbit.h"
#include "prediction/prediction_table.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// Step along the orbit from a stored prediction to its direction probe, radians of u.
inline constexpr float kProbeStep = 0.005f;
// maxWalkSteps value that lifts the step limit after a skipped or accepted
// point; a direction still ends after 99 full steps.
inline constexpr int32_t kUnlimitedWalkSteps = 99;

// The trial points of one walk: observe_point on the candidate's crossing, or
// a stand-in in tests.
class TrialPointEvaluator {
 public:
  virtual ~TrialPointEvaluator() = default;
  virtual PointOutcome evaluate(float u, bool probe, int walk_state, PointObservation& point) = 0;
};

// Where the walk puts its predictions: the table, the report writer that
// empties it when full, and the console for the "Space limit" line.
struct PredictionSink {
  PredictionTable& table;
  PredictionFlusher& flusher;
  std::FILE* console;
};

// walk_candidate: walks one candidate revolution from u_star with the trial
// points of `evaluator`. `settings` gives walkPasses, maxWalkSteps, stepScale
// and distancesInMiles; `set` the name, catalogue number and mean-motion
// drift; `orbit` the semi-major axis, eccentricity in use and period. Returns
// whether the search goes on with the next revolution or the set is finished
// for the day; the accepted points are appended to the sink's table, which is
// written out through the flusher as soon as it holds 10000 predictions.
SearchStep walk_candidate(const RunSettings& settings, const ElementSet& set,
                          const OrbitSetup& orbit, float u_star, TrialPointEvaluator& evaluator,
                          const PredictionSink& sink);

}  // namespace vespera
