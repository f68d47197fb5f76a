#include "prediction/pass_walk.h"

#include <cmath>
#include <stdexcept>

#include "format/format_writer.h"
#include "prediction/angles.h"
#include "prediction/pass_walk_values.h"

namespace vespera {

namespace {

double d(float x) { return static_cast<double>(x); }

// How far below its own height (miles) a first point may lie under the
// shadow boundary and still be searched for a lit part of the pass.
constexpr double kDeepShadowMarginMiles = 600.0;
// Part of the height-to-orbit-size ratio taken as one step in u.
constexpr double kStepFraction = 0.75;

// The walk's places, named as the walk goes from one to the next.
enum class WalkStep { Evaluate, Start, Reverse, Step, Continue };

class PassWalk {
 public:
  PassWalk(const RunSettings& settings, const ElementSet& set, const OrbitSetup& orbit,
           float u_star, TrialPointEvaluator& evaluator, const PredictionSink& sink)
      : settings_(settings),
        set_(set),
        orbit_(orbit),
        evaluator_(evaluator),
        sink_(sink),
        u_(u_star),
        u_start_(u_star) {}

  SearchStep run() {
    WalkStep next = WalkStep::Evaluate;
    for (;;) {
      switch (next) {
        case WalkStep::Evaluate: {
          SearchStep end;
          if (evaluate(next, end)) return end;
          break;
        }
        case WalkStep::Continue:
          if (!settings_.walkPasses) return SearchStep::NextRevolution;
          if (walk_state_ == 0) {
            next = WalkStep::Start;
          } else if (settings_.maxWalkSteps == kUnlimitedWalkSteps ||
                     d(static_cast<float>(settings_.maxWalkSteps)) > d(step_count_)) {
            next = WalkStep::Step;
          } else {
            next = WalkStep::Reverse;
          }
          break;
        case WalkStep::Start:
          // Steps are sized from the height of the current point (the stored
          // one, not its probe): low satellites cross the sky fastest. An
          // orbit without a size gives no step, and STEP then ends the walk.
          walk_state_ = 1;
          step_len_ = orbit_.a == 0.0f ? 0.0f
                                       : static_cast<float>(d(point_.height) / d(orbit_.a) *
                                                            d(settings_.stepScale) * kStepFraction);
          step_ = -step_len_;
          step_count_ = 0.0f;
          next = WalkStep::Step;
          break;
        case WalkStep::Reverse:
          if (walk_state_ == 2) return SearchStep::NextRevolution;
          walk_state_ = 2;
          step_ = step_len_;
          u_ = u_start_;
          step_count_ = 0.0f;
          next = WalkStep::Step;
          break;
        case WalkStep::Step:
          next = take_step();
          break;
      }
    }
  }

 private:
  // EVALUATE: the trial point at u and what follows from its outcome. Returns
  // true when the walk ends, with `end` saying how the search goes on.
  bool evaluate(WalkStep& next, SearchStep& end) {
    if (walk_state_ == 0) half_steps_ = false;
    const PointOutcome outcome = evaluator_.evaluate(u_, false, walk_state_, point_);
    if (point_.bright_enough) half_steps_ = false;
    if (walk_state_ == 0) shadow_height_first_ = point_.shadow_height;

    end = SearchStep::NextRevolution;
    switch (outcome) {
      case PointOutcome::EndOfSet:
        end = SearchStep::SetFinished;
        return true;
      case PointOutcome::TooFaint:
        if (!settings_.walkPasses) return true;
        [[fallthrough]];
      case PointOutcome::Reject:
        if (walk_state_ == 0) return true;
        next = WalkStep::Reverse;
        return false;
      case PointOutcome::Shadow:
        if (walk_state_ == 0) {
          // The closest point is in shadow: look for the lit part of the pass
          // in half steps, unless the point is deep in the shadow.
          half_steps_ = true;
          if (-2.0 * d(point_.height) - kDeepShadowMarginMiles > d(point_.shadow_height)) {
            return true;
          }
          next = WalkStep::Start;
        } else if (point_.shadow_height < shadow_height_first_) {
          next = WalkStep::Reverse;  // going deeper into the shadow
        } else {
          if (!settings_.walkPasses) walk_state_ = 2;
          next = WalkStep::Step;
        }
        return false;
      case PointOutcome::Skip:
        next = WalkStep::Continue;
        return false;
      case PointOutcome::Accept:
        store_and_probe();
        next = WalkStep::Continue;
        return false;
    }
    return true;
  }

  // STEP: one step (or half step) along the orbit. A step that cannot move u
  // (a step length of zero, below the resolution of u, or not a finite
  // number), or that would take the walk a whole revolution of u away from
  // u*, where every point repeats one already evaluated, ends the direction
  // like the step limit does. Without this a zero or non-finite step would
  // evaluate the same point for ever in half steps.
  WalkStep take_step() {
    float stepped;
    if (half_steps_) {
      stepped = static_cast<float>(d(u_) + d(step_) * 0.5);
      step_count_ = static_cast<float>(d(step_count_) + 0.5);
    } else {
      stepped = static_cast<float>(d(u_) + d(step_));
      step_count_ = static_cast<float>(d(step_count_) + 1.0);
    }
    if (!std::isfinite(stepped) || stepped == u_ ||
        std::fabs(d(stepped) - d(u_start_)) > d(kTwoPi)) {
      return WalkStep::Reverse;
    }
    u_ = stepped;
    if (!half_steps_ && d(static_cast<float>(settings_.maxWalkSteps)) < d(step_count_)) {
      return WalkStep::Reverse;
    }
    return WalkStep::Evaluate;
  }

  // STORE, the probe and DIRECTION for the accepted point in point_.
  void store_and_probe() {
    PredictionTable& table = sink_.table;
    if (table.full()) {
      // The table is written out the moment it fills; a report writer that
      // leaves it full is a programming error, not a reason to overrun it.
      throw std::logic_error("prediction table still full after it was written out");
    }
    const int32_t slot = table.append(point_.time, make_record());

    // The probe is a side evaluation a little further along the orbit; the
    // walk's u and its current point stay those of the stored prediction.
    const float probe_u = static_cast<float>(d(u_) + d(kProbeStep));
    if (evaluator_.evaluate(probe_u, true, walk_state_, probe_) == PointOutcome::Accept) {
      table.records[static_cast<std::size_t>(slot - 1)].direction =
          direction_of_motion(point_.azimuth, point_.sin_alt, point_.cos_alt, probe_.azimuth,
                              probe_.sin_alt, probe_.cos_alt);
    }
    // A probe below the horizon plane measures no direction: the record keeps
    // direction 0, and the walk goes on exactly as after a completed probe,
    // from the stored point, with the table written out at once when full.

    if (table.full()) {
      static const Format kSpaceLimit(
          "('Space limit',i5,' predictions - output is being split up')");
      kSpaceLimit.write(sink_.console, {kPredictionCapacity});
      sink_.flusher.flush_predictions();
    }
  }

  PredictionRecord make_record() const {
    const bool miles = settings_.distancesInMiles;
    PredictionRecord record;
    record.name = set_.name;
    record.ncat = set_.ncat;
    record.walk_state = static_cast<int16_t>(walk_state_);
    record.direction = 0;
    record.altitude = point_.altitude;
    record.azimuth = point_.azimuth;
    record.right_ascension = point_.out_ra;
    record.declination = point_.out_dec;
    record.height = report_distance(point_.height, miles);
    record.shadow_height = report_distance(point_.shadow_height, miles);
    record.range = point_.range;
    record.phase_angle = point_.phase_angle;
    record.age_days = age_in_days(point_.since_epoch);
    record.orbit_tenths = revolution_tenth(point_.revolutions);
    record.time_error =
        timing_error_seconds(set_.meanMotionDot, orbit_.e, point_.since_epoch, orbit_.period);
    record.magnitude = point_.magnitude;
    return record;
  }

  const RunSettings& settings_;
  const ElementSet& set_;
  const OrbitSetup& orbit_;
  TrialPointEvaluator& evaluator_;
  const PredictionSink& sink_;

  int walk_state_ = 0;  // 0 at u*, 1 stepping back, 2 stepping forward
  float u_;
  const float u_start_;
  float step_len_ = 0.0f;
  float step_ = 0.0f;
  float step_count_ = 0.0f;  // grows by 1, or by 0.5 in half steps
  bool half_steps_ = false;  // set when the first point is in shadow
  float shadow_height_first_ = 0.0f;
  PointObservation point_;  // the current trial point (never the probe)
  PointObservation probe_;  // the direction probe of the last stored point
};

// The trial points of a real walk: observe_point on crossing j, with the sun
// the walk takes at its first point.
class ObservingEvaluator final : public TrialPointEvaluator {
 public:
  ObservingEvaluator(EngineContext& context, const OrbitSetup& orbit, int j)
      : context_(context), orbit_(orbit), j_(j) {}

  PointOutcome evaluate(float u, bool probe, int walk_state, PointObservation& point) override {
    return observe_point(context_, orbit_, j_, u, probe, walk_state, sun_, point);
  }

 private:
  EngineContext& context_;
  const OrbitSetup& orbit_;
  int j_;
  WalkSun sun_;
};

}  // namespace

SearchStep walk_candidate(const RunSettings& settings, const ElementSet& set,
                          const OrbitSetup& orbit, float u_star, TrialPointEvaluator& evaluator,
                          const PredictionSink& sink) {
  return PassWalk(settings, set, orbit, u_star, evaluator, sink).run();
}

SearchStep walk_pass(EngineContext& context, OrbitSetup& orbit, int j, float u_star) {
  ObservingEvaluator evaluator(context, orbit, j);
  const PredictionSink sink{context.predictions, context.flusher, context.out};
  return walk_candidate(context.settings, context.current, orbit, u_star, evaluator, sink);
}

}  // namespace vespera
