#include "prediction/pass_walk.h"

#include <cmath>

#include "prediction/angles.h"
#include "prediction/illumination.h"
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
enum class WalkStep { Evaluate, Start, Reverse, Step, Continue, End };

class PassWalk {
 public:
  PassWalk(const WalkSettings& settings, const ElementSet& set, const OrbitSetup& orbit,
           float u_star, TrialPoints& points, PredictionSink& sink, const StopToken& stop)
      : settings_(settings),
        set_(set),
        orbit_(orbit),
        points_(points),
        sink_(sink),
        stop_(stop),
        u_(u_star),
        u_start_(u_star) {}

  SearchStep run() {
    points_.begin_walk();
    WalkStep next = WalkStep::Evaluate;
    for (;;) {
      switch (next) {
        case WalkStep::Evaluate: {
          SearchStep end;
          if (evaluate(next, end)) return end;
          break;
        }
        case WalkStep::Continue:
          next = continue_walk();
          if (next == WalkStep::End) return SearchStep::NextRevolution;
          break;
        case WalkStep::Start:
          start_stepping();
          next = WalkStep::Step;
          break;
        case WalkStep::Reverse:
          if (state_ == WalkState::SteppingForward) return SearchStep::NextRevolution;
          state_ = WalkState::SteppingForward;
          step_ = step_len_;
          u_ = u_start_;
          step_count_ = 0.0f;
          next = WalkStep::Step;
          break;
        case WalkStep::Step:
          stop_.throw_if_requested();
          next = take_step();
          break;
        case WalkStep::End:
          return SearchStep::NextRevolution;
      }
    }
  }

 private:
  bool at_closest_point() const { return state_ == WalkState::AtClosestPoint; }

  // CONTINUE: after a skipped or accepted point.
  WalkStep continue_walk() const {
    if (!settings_.walkPasses) return WalkStep::End;
    if (at_closest_point()) return WalkStep::Start;
    if (settings_.maxWalkSteps == kUnlimitedWalkSteps ||
        d(static_cast<float>(settings_.maxWalkSteps)) > d(step_count_)) {
      return WalkStep::Step;
    }
    return WalkStep::Reverse;
  }

  // START: the first step back. Steps are sized from the height of the
  // current point (the stored one, not its probe): low satellites cross the
  // sky fastest. An orbit without a size gives no step, and STEP then ends
  // the walk.
  void start_stepping() {
    state_ = WalkState::SteppingBack;
    step_len_ = orbit_.a == 0.0f ? 0.0f
                                 : static_cast<float>(d(point_.height) / d(orbit_.a) *
                                                      d(settings_.stepScale) * kStepFraction);
    step_ = -step_len_;
    step_count_ = 0.0f;
  }

  // EVALUATE: the trial point at u and what follows from its outcome. Returns
  // true when the walk ends, with `end` saying how the search goes on.
  bool evaluate(WalkStep& next, SearchStep& end) {
    if (at_closest_point()) half_steps_ = false;
    const PointOutcome outcome = points_.observe(u_, point_);
    if (point_.bright_enough) half_steps_ = false;
    if (at_closest_point()) shadow_height_first_ = point_.shadow_height;

    end = SearchStep::NextRevolution;
    switch (outcome) {
      case PointOutcome::EndOfSet:
        end = SearchStep::SetFinished;
        return true;
      case PointOutcome::TooFaint:
        if (!settings_.walkPasses) return true;
        [[fallthrough]];
      case PointOutcome::Reject:
        if (at_closest_point()) return true;
        next = WalkStep::Reverse;
        return false;
      case PointOutcome::Shadow:
        return in_shadow(next);
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

  // A point in the earth's shadow. Returns true when the walk ends there.
  bool in_shadow(WalkStep& next) {
    if (at_closest_point()) {
      // The closest point is in shadow: look for the lit part of the pass in
      // half steps, unless the point is deep in the shadow.
      half_steps_ = true;
      if (-2.0 * d(point_.height) - kDeepShadowMarginMiles > d(point_.shadow_height)) return true;
      next = WalkStep::Start;
    } else if (point_.shadow_height < shadow_height_first_) {
      next = WalkStep::Reverse;  // going deeper into the shadow
    } else {
      if (!settings_.walkPasses) state_ = WalkState::SteppingForward;
      next = WalkStep::Step;
    }
    return false;
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

  // STORE, the probe and DIRECTION for the accepted point in point_. The
  // probe is a side evaluation a little further along the orbit; the walk's u
  // and its current point stay those of the stored prediction. A probe below
  // the horizon plane measures no direction: the record keeps direction 0,
  // and the walk goes on exactly as after a completed probe.
  void store_and_probe() {
    PredictionRecord record = make_record();
    const float probe_u = static_cast<float>(d(u_) + d(kProbeStep));
    SkyDirection probe;
    if (points_.probe(probe_u, probe)) {
      record.direction = direction_of_motion(point_.azimuth, point_.sin_alt, point_.cos_alt,
                                             probe.azimuth, probe.sin_alt, probe.cos_alt);
    }
    sink_.add(point_.time, record);
  }

  PredictionRecord make_record() const {
    const bool miles = settings_.distancesInMiles;
    PredictionRecord record;
    record.name = set_.name;
    record.ncat = set_.ncat;
    record.walk_state = static_cast<int16_t>(state_);
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

  const WalkSettings& settings_;
  const ElementSet& set_;
  const OrbitSetup& orbit_;
  TrialPoints& points_;
  PredictionSink& sink_;
  const StopToken& stop_;

  WalkState state_ = WalkState::AtClosestPoint;
  float u_;
  const float u_start_;
  float step_len_ = 0.0f;
  float step_ = 0.0f;
  float step_count_ = 0.0f;  // grows by 1, or by 0.5 in half steps
  bool half_steps_ = false;  // set when the first point is in shadow
  float shadow_height_first_ = 0.0f;
  PointObservation point_;  // the current trial point (never the probe)
};

}  // namespace

WalkSettings walk_settings(const RunSettings& settings) {
  return WalkSettings{settings.walkPasses, settings.maxWalkSteps, settings.stepScale,
                      settings.distancesInMiles};
}

PointOutcome ObservedTrialPoints::observe(float u, PointObservation& point) {
  OrbitPoint placed;
  if (!place_trial_point(scope_, u, placed)) {
    point = PointObservation{};
    return PointOutcome::Reject;
  }
  return observe_placed_point(scope_, placed, sun_.at(scope_.night.sun, placed.time), point);
}

bool ObservedTrialPoints::probe(float u, SkyDirection& direction) {
  return probe_point(scope_, u, direction);
}

SearchStep walk_candidate(const WalkSettings& settings, const ElementSet& set,
                          const OrbitSetup& orbit, float u_star, TrialPoints& points,
                          PredictionSink& sink, const StopToken& stop) {
  return PassWalk(settings, set, orbit, u_star, points, sink, stop).run();
}

}  // namespace vespera
