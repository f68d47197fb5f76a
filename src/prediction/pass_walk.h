// The pass walk: from the closest point u* of a candidate revolution, trial
// points are evaluated first at u* and then, when the run walks through
// passes, stepping back along the orbit and then forward, until the filters
// end each direction. Every accepted point is handed to the prediction sink
// with its direction of motion, measured from a probe point a little further on.
#pragma once

#include <cstdint>

#include "elements/element_set.h"
#include "prediction/illumination.h"
#include "prediction/observation.h"
#include "prediction/orbit.h"
#include "prediction/prediction_sink.h"
#include "vocabulary/run_settings.h"
#include "vocabulary/stop_request.h"

namespace vespera {

// Step along the orbit from a stored prediction to its direction probe, radians of u.
inline constexpr float kProbeStep = 0.005f;
// maxWalkSteps value that lifts the step limit after a skipped or accepted
// point; a direction still ends after 99 full steps.
inline constexpr int32_t kUnlimitedWalkSteps = 99;

// Where a walk stands; stored with each prediction (0 marks the point at
// which the pass was found).
enum class WalkState : int16_t {
  AtClosestPoint = 0,   // evaluating u*
  SteppingBack = 1,     // toward earlier times
  SteppingForward = 2,  // toward later times
};

// The settings a walk reads.
struct WalkSettings {
  bool walkPasses = false;    // off: at most one prediction per candidate revolution
  int32_t maxWalkSteps = 0;   // full steps each way; 99 lifts the limit of CONTINUE
  float stepScale = 1.0f;     // scale of the step between trial points
  bool distancesInMiles = false;  // heights stored in miles, else kilometres
};

WalkSettings walk_settings(const RunSettings& settings);

// The trial points of one walk: the observation of the candidate's crossing,
// or a stand-in in tests.
class TrialPoints {
 public:
  virtual ~TrialPoints() = default;
  // begin_walk: a walk starts; the first point it observes is u*, and the
  // walk's sun is taken at that point's time.
  virtual void begin_walk() = 0;
  // observe: the trial point at u with every filter.
  virtual PointOutcome observe(float u, PointObservation& point) = 0;
  // probe: the direction probe at u; false when it lies below the horizon plane.
  virtual bool probe(float u, SkyDirection& direction) = 0;
};

// ObservedTrialPoints: the trial points of a real walk on a candidate's
// crossing, seen with the walk's sun.
class ObservedTrialPoints final : public TrialPoints {
 public:
  explicit ObservedTrialPoints(const ObservationScope& scope) : scope_(scope) {}
  void begin_walk() override { sun_.forget(); }
  PointOutcome observe(float u, PointObservation& point) override;
  bool probe(float u, SkyDirection& direction) override;

 private:
  const ObservationScope& scope_;
  WalkStartSun sun_;
};

// walk_candidate: walks one candidate revolution from u_star with the trial
// points of `points`. `set` gives the name, catalogue number and mean-motion
// drift; `orbit` the semi-major axis, eccentricity in use and period. Every
// accepted point goes to `sink`. The walk asks `stop` before every step.
// Returns whether the search goes on with the next revolution or the set is
// finished for the day.
SearchStep walk_candidate(const WalkSettings& settings, const ElementSet& set,
                          const OrbitSetup& orbit, float u_star, TrialPoints& points,
                          PredictionSink& sink, const StopToken& stop);

}  // namespace vespera
