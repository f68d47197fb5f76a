#include "prediction/sgp4_walk_start.h"

#include <cmath>

#include "prediction/geodetic_site.h"
#include "prediction/illumination.h"
#include "prediction/orbit.h"
#include "prediction/teme_to_observer.h"
#include "vocabulary/units.h"

namespace vespera {

namespace {

// Steps toward the nearest or highest point; each is held within
// kLargestStep seconds, and the search within kLargestMove revolutions of
// u*'s time, so that it stays on the revolution of the candidate.
constexpr int kPointSteps = 8;
constexpr double kLargestStep = 600.0;
constexpr double kLargestMove = 0.25;
// The highest point of an eccentric orbit's pass is found to this many seconds.
constexpr double kHighestPrecision = 2.0;
// From a state whose nearest (or highest) point lies at most this many
// seconds away, the tangent places that point to about a second (the track
// bends from its tangent by some kilometres in that time), which moves it by
// far less than a walk's steps ...
constexpr double kTangentSpan = 30.0;
// ... and a pass whose highest altitude is bound to stay this far (radians,
// 1 degree) below the minimum altitude is not walked. The bound takes the
// compact orbit's apogee, made larger by kApogeeSlack for the difference of
// the two models' orbits.
constexpr double kAltitudeMargin = 0.017453292519943295;
constexpr double kApogeeSlack = 1.01;
// Radians (3 degrees) by which the compact orbit's nearest ground point may
// lie further from the site than the SGP4 model's pass.
constexpr double kReachSlack = 0.052;
// Where the tangent foresees the nearest and the highest point within this
// many seconds of each other, the nearest point is taken as the highest (so
// for every nearly circular orbit); otherwise (an eccentric orbit, whose
// radius changes much during a pass) the highest point is searched for.
constexpr double kSameSeconds = 5.0;
// A pass whose highest point a near state foresees this far (radians, 0.3
// degree: the track bends from the tangent by some kilometres) below the
// minimum altitude is not walked.
constexpr double kHighestMargin = 0.005235987755982988;
// A start moved into the window lies this far inside it, seconds.
constexpr double kWindowInset = 1.0;
constexpr int kTimeSteps = 12;
// The search for the edge of the earth's shadow: the step over which the
// start's state foresees the way out, the largest step, the number of
// steps, the precision and how far into the sunlit side the walk then
// starts (seconds).
constexpr double kShadowProbe = 60.0;
constexpr double kLargestShadowStep = 300.0;
constexpr int kShadowSteps = 8;
constexpr double kShadowPrecision = 4.0;
// A sample this near (seconds) a located state is that state carried on
// (some decimetres from the propagated place over a minute).
constexpr double kCarrySpan = 60.0;
constexpr double kShadowInset = 5.0;

double d(float x) { return static_cast<double>(x); }

// A trial argument of latitude placed in time by the compact orbit (time
// NaN when it does not place).
struct Trial {
  float u = 0.0f;
  double time = NAN;
  OrbitPoint placed;
};

Trial trial_at(const ObservationScope& scope, float u) {
  Trial trial;
  trial.u = u;
  if (place_trial_point(scope, u, trial.placed)) trial.time = d(trial.placed.time);
  return trial;
}

// dT/du at a trial, days per radian, from the compact orbit: the
// revolutions' rate at its time, and Kepler's equation's dM/dnu at its true
// anomaly.
double time_rate(const ObservationScope& scope, const Trial& trial) {
  const double e = scope.orbit.e;
  const double motion =
      d(scope.set.meanMotion) + 2.0 * d(scope.set.meanMotionDot) * d(trial.placed.since_epoch);
  const double denominator = 1.0 + e * trial.placed.cos_nu;
  return std::pow(1.0 - e * e, 1.5) / (denominator * denominator) / (kTwoPiDouble * motion);
}

// The trial moved by `seconds` (held within kLargestStep seconds), in u at
// the rate of the compact orbit there.
Trial step_by(const ObservationScope& scope, const Trial& from, double seconds) {
  if (std::fabs(seconds) > kLargestStep) seconds = std::copysign(kLargestStep, seconds);
  const double rate = time_rate(scope, from);
  if (!(rate > 0.0) || !std::isfinite(rate)) return trial_at(scope, NAN);
  return trial_at(scope, static_cast<float>(d(from.u) + seconds / kSecondsPerDay / rate));
}

// The trial whose time comes to `target` (engine days), by secant steps on
// the time of u from the rate `rate` (days per radian) near `from`.
Trial trial_at_time(const ObservationScope& scope, Trial from, double rate, double target) {
  for (int i = 0; i < kTimeSteps && std::isfinite(from.time); ++i) {
    const float u = static_cast<float>(d(from.u) + (target - from.time) / rate);
    if (!std::isfinite(u) || u == from.u) break;
    const Trial next = trial_at(scope, u);
    if (!std::isfinite(next.time)) break;
    if (next.time != from.time) rate = (next.time - from.time) / (d(next.u) - d(from.u));
    from = next;
    if (!(rate > 0.0)) break;
  }
  return from;
}

// Whether the compact orbit already shows the pass out of reach (not asked
// of a deep-space orbit, which it follows less closely): the
// geocentric angle from the site to the sub-satellite point of u* (the
// ground track's point nearest the site) exceeds, by kReachSlack, the
// largest at which a satellite at the apogee stands kAltitudeMargin below
// the minimum altitude. Costs no propagation; most revolutions of the
// search end here.
bool out_of_reach(const ObservationScope& scope, const Trial& trial) {
  if (deep_space(scope.set) || !std::isfinite(trial.time)) return false;
  const OrbitPoint& placed = trial.placed;
  const SubsatellitePoint ground = subsatellite_point(scope.orbit, scope.site, placed);
  const SiteGeometry& site = scope.site;
  const double cos_gamma = d(site.sin_lat) * d(ground.sin_lat) +
                           d(site.cos_lat) * d(ground.cos_lat) * std::cos(d(ground.west_lon) - d(site.longitude));
  const double apogee = d(scope.orbit.a) * (1.0 + d(scope.orbit.e)) * kApogeeSlack;
  const double lowest = d(scope.filters.minAltitude) - kAltitudeMargin;
  const double reach = std::acos(std::fmin(1.0, d(site.site_radius) * std::cos(lowest) / apogee)) - lowest;
  return std::acos(std::fmax(-1.0, std::fmin(1.0, cos_gamma))) > reach + kReachSlack;
}

// What one state foresees on its tangent (a straight line through the
// earth-fixed frame, d(t) = d0 + v t from the site): the seconds to the
// nearest point and the altitude there (from the least range, the site's
// radius and the satellite's, at its radial speed), the highest altitude
// the pass can reach (from that least
// range, the site's radius and the orbit's apogee: at a given range a
// higher satellite stands higher, and at a given radius a nearer one), the
// seconds to the highest point and the rate of the altitude's sine. The
// sine of the altitude, (d.up) / |d|, has its one extreme on the line where
// (b c - a e) + (b e - a w) t = 0, with a = d0.up, b = v.up, c = d0.d0,
// e = d0.v, w = v.v.
struct TangentView {
  double nearest_seconds = 0.0;
  double nearest_altitude = 0.0;  // radians, at the satellite's radius then
  double altitude_bound = 0.0;    // radians
  double highest_seconds = 0.0;
  double climb = 0.0;  // 1/s
};

bool tangent_view(const SatelliteFix& fix, const GeodeticSite& site, double apogee_km,
                  TangentView& view) {
  const Vector3& r = fix.earth_fixed.position_km;
  const Vector3& v = fix.earth_fixed.velocity_km_s;
  const Vector3 d0 = difference(r, site.position_km);
  const double a = dot(d0, site.up), b = dot(v, site.up);
  const double c = dot(d0, d0), e = dot(d0, v), w = dot(v, v);
  view.nearest_seconds = -e / w;
  const double range_squared = std::fmax(c - e * e / w, 0.0);
  const double site_radius = length(site.position_km);
  const auto altitude = [&](double radius) {
    const double sine = (radius * radius - site_radius * site_radius - range_squared) /
                        (2.0 * site_radius * std::sqrt(range_squared));
    return std::asin(std::fmax(-1.0, std::fmin(1.0, sine)));
  };
  const double radius = length(r) + dot(r, v) / length(r) * view.nearest_seconds;
  view.nearest_altitude = altitude(radius);
  view.altitude_bound = altitude(std::fmax(radius, apogee_km));
  const double slope = b * e - a * w;
  view.highest_seconds = slope != 0.0 ? (a * e - b * c) / slope : view.nearest_seconds;
  view.climb = (b * c - a * e) / (c * std::sqrt(c));
  return std::isfinite(view.nearest_seconds) && std::isfinite(view.highest_seconds);
}

// The state at a trial's time, and what its tangent foresees.
bool locate_at(const ObservationScope& scope, Sgp4Observer& sgp4, const Trial& trial,
               SatelliteFix& fix, TangentView& view) {
  const double apogee_km = d(scope.orbit.a) * (1.0 + d(scope.orbit.e)) * d(kKilometresPerMile) * kApogeeSlack;
  return std::isfinite(trial.time) && sgp4.ephemeris.locate(trial.time, fix) &&
         tangent_view(fix, sgp4.site, apogee_km, view);
}

// The last state located and its trial.
struct Located {
  Trial trial;
  SatelliteFix fix;
  TangentView view;
};

// From the located trial to the highest point of an eccentric orbit's pass:
// steps toward the tangent's highest point until the altitude's rate changes sign, then secant steps on that
// rate, to kHighestPrecision. Returns the trial reached; `at` stays the
// last state located.
Trial climb_to_highest(const ObservationScope& scope, Sgp4Observer& sgp4, Located& at) {
  Trial previous = at.trial;
  double previous_climb = 0.0;
  bool bracketed = false;
  for (int i = 0; i < kPointSteps; ++i) {
    double seconds = at.view.highest_seconds;
    if (i > 0 && (bracketed || (at.view.climb > 0.0) != (previous_climb > 0.0))) {
      // The rate changed sign between the last two states: interpolate.
      bracketed = true;
      const double span = (at.trial.time - previous.time) * kSecondsPerDay;
      seconds = -at.view.climb * span / (at.view.climb - previous_climb);
    }
    if (std::fabs(seconds) < kHighestPrecision) break;
    previous = at.trial;
    previous_climb = at.view.climb;
    const Trial next = step_by(scope, at.trial, seconds);
    if (!locate_at(scope, sgp4, next, at.fix, at.view)) break;
    at.trial = next;
  }
  return at.trial;
}

// The trial moved into the night's window when its time lies outside it.
Trial into_window(const ObservationScope& scope, const Trial& trial) {
  const ObservingWindow& window = scope.night.window;
  if (!(trial.time < d(window.start) || trial.time > d(window.end))) return trial;
  const double rate = time_rate(scope, trial);
  const double inset = kWindowInset / kSecondsPerDay;
  if (trial.time < d(window.start)) {
    const Trial moved = trial_at_time(scope, trial, rate, d(window.start) + inset);
    if (moved.time >= d(window.start)) return moved;
  } else if (trial.time > d(window.end)) {
    const Trial moved = trial_at_time(scope, trial, rate, d(window.end) - inset);
    if (moved.time <= d(window.end)) return moved;
  }
  return trial;
}

// How far (miles) a TEME position lies above the shadow's edge with the
// walk's sun, as the shadow test measures it: lit when not negative.
double shadow_margin(const Vector3& teme_km, const WalkSun& sun, const SiteGeometry& site) {
  PointObservation point;
  point.r = static_cast<float>(length(teme_km) / d(kKilometresPerMile));
  shade(point, sun_angle_cosine(teme_km, sun), site, false);
  return shadow_margin(point);
}

// A sample of the shadow search: its time, its shadow margin and whether
// the satellite stands above the minimum altitude there.
struct ShadowSample {
  double time = 0.0;
  double margin = 0.0;
  bool high_enough = false;
};

// The shadow search's samples: a state located at `known_time`, carried on
// to any sample within kCarrySpan seconds of it, located anew beyond.
struct ShadowSampler {
  const ObservationScope& scope;
  Sgp4Observer& sgp4;
  const WalkSun& sun;
  SatelliteFix known;
  double known_time;

  bool sample(double time, ShadowSample& sample) {
    const double seconds = (time - known_time) * kSecondsPerDay;
    Vector3 teme = known.teme_km;
    if (std::fabs(seconds) <= kCarrySpan) {
      teme = carried_on(known, seconds);
    } else {
      if (!sgp4.ephemeris.locate(time, known)) return false;
      known_time = time;
      teme = known.teme_km;
    }
    const EarthFixedState fixed =
        teme_to_earth_fixed(teme, known.teme_km_s, sidereal_angle(sgp4.ephemeris.start_day_number(), time));
    const TopocentricView view = topocentric_view(fixed.position_km, sgp4.site);
    sample.time = time;
    sample.margin = shadow_margin(teme, sun, scope.site);
    sample.high_enough = view.up_km / view.range_km > std::sin(d(scope.filters.minAltitude));
    return std::isfinite(sample.margin);
  }
};

// What the search for the way out of the shadow found: the time of the
// exit (engine days), that the pass has no sunlit part above the minimum
// altitude, or nothing certain (the window ended first, the steps ran out).
struct ShadowExit {
  enum class Kind { Found, None, Unknown } kind = Kind::Unknown;
  double time = 0.0;
};

// The time at which the satellite leaves the earth's shadow nearest the
// start (in shadow, margin `start.margin` < 0) while still above the minimum
// altitude, by secant steps on the shadow margin, the first foreseen from
// the state `near`, `seconds` before the start. The margin grows on one side
// of the start and falls on the other, so the search goes one way only.
ShadowExit shadow_exit(const ObservationScope& scope, Sgp4Observer& sgp4, const WalkSun& sun,
                       const ShadowSample& start, const SatelliteFix& near, double seconds) {
  ShadowSampler sampler{scope, sgp4, sun, near, start.time - seconds / kSecondsPerDay};
  constexpr ShadowExit kUnknown{ShadowExit::Kind::Unknown, 0.0};
  constexpr ShadowExit kNone{ShadowExit::Kind::None, 0.0};
  const double later = shadow_margin(carried_on(near, seconds + kShadowProbe), sun, scope.site);
  const double earlier = shadow_margin(carried_on(near, seconds - kShadowProbe), sun, scope.site);
  const double direction = later > earlier ? 1.0 : -1.0;
  const double rise = (direction > 0.0 ? later : earlier) - start.margin;
  if (!(rise > 0.0)) return kUnknown;
  const double largest = kLargestShadowStep / kSecondsPerDay;
  double step = std::fmin(-start.margin / rise * kShadowProbe / kSecondsPerDay, largest) * direction;
  ShadowSample before = start, after;
  const ObservingWindow& window = scope.night.window;
  for (int i = 0; i < kShadowSteps; ++i) {
    const double next = before.time + step;
    if (next < d(window.start) || next > d(window.end)) return kUnknown;
    if (!sampler.sample(next, after)) return kUnknown;
    if (std::fabs(step) * kSecondsPerDay <= kShadowPrecision) {
      // At the edge (a short step either way): the sunlit part, a little
      // further on, counts only above the minimum altitude.
      if (!after.high_enough) return kNone;
      return ShadowExit{ShadowExit::Kind::Found, after.time + direction * kShadowInset / kSecondsPerDay};
    }
    if (after.margin < 0.0 && !after.high_enough) return kNone;  // the pass ends in the shadow
    step = -after.margin * (after.time - before.time) / (after.margin - before.margin);
    if (!(step * direction > 0.0) && after.margin < 0.0) step = direction * largest;
    if (std::fabs(step) > largest) step = std::copysign(largest, step);
    before = after;
  }
  return kUnknown;
}

// The start moved out of the earth's shadow, where the pass has a sunlit
// part above the minimum altitude: the walk's own search of a shadowed
// start steps too coarsely for the short sunlit ends of some passes. None
// when the pass has no such part: it is not walked. `at` is the last state
// located.
std::optional<Trial> out_of_shadow(const ObservationScope& scope, Sgp4Observer& sgp4, const Trial& start,
                                   const Located& at) {
  if (scope.filters.ignoreShadow || !std::isfinite(start.time)) return start;
  const WalkSun sun = sun_at_walk_start(scope.night.sun, static_cast<float>(start.time));
  SatelliteFix near = at.fix;
  double seconds = (start.time - at.trial.time) * kSecondsPerDay;
  if (std::fabs(seconds) > kTangentSpan) {
    if (!sgp4.ephemeris.locate(start.time, near)) return start;
    seconds = 0.0;
  }
  const ShadowSample sample{start.time, shadow_margin(carried_on(near, seconds), sun, scope.site), true};
  if (!(sample.margin < 0.0)) return start;
  const ShadowExit exit = shadow_exit(scope, sgp4, sun, sample, near, seconds);
  switch (exit.kind) {
    case ShadowExit::Kind::Found:
      return trial_at_time(scope, start, time_rate(scope, start), exit.time);
    case ShadowExit::Kind::None:
      return std::nullopt;
    case ShadowExit::Kind::Unknown:
      break;
  }
  return start;
}

}  // namespace

bool deep_space(const ElementSet& set) {
  constexpr double kDeepSpaceRevsPerDay = 1440.0 / 225.0;
  return static_cast<double>(set.mean.meanMotion) <= kDeepSpaceRevsPerDay;
}

std::optional<float> sgp4_walk_start(const ObservationScope& scope, Sgp4Observer& sgp4,
                                     float u_star) {
  Located at{trial_at(scope, u_star), SatelliteFix{}, TangentView{}};
  if (out_of_reach(scope, at.trial)) return std::nullopt;
  if (!locate_at(scope, sgp4, at.trial, at.fix, at.view)) return u_star;
  if (std::fabs(at.view.nearest_seconds) <= kTangentSpan &&
      at.view.altitude_bound < d(scope.filters.minAltitude) - kAltitudeMargin) {
    return std::nullopt;
  }
  // To the nearest point: a step from a state that foresees it within
  // kTangentSpan is the last, and is taken without locating the point when
  // the state foresees the highest point near too (then to the highest).
  const double first_time = at.trial.time;
  const double farthest = kLargestMove / d(scope.set.meanMotion);
  Trial start = at.trial;
  for (int i = 0; i < kPointSteps; ++i) {
    const bool last = std::fabs(at.view.nearest_seconds) <= kTangentSpan;
    const bool same = std::fabs(at.view.highest_seconds - at.view.nearest_seconds) <= kSameSeconds;
    // Both points foreseen near: straight to the highest.
    const bool both_near = last && std::fabs(at.view.highest_seconds) <= kTangentSpan;
    const double seconds = both_near ? at.view.highest_seconds : at.view.nearest_seconds;
    start = step_by(scope, at.trial, seconds);
    if (!(std::fabs(start.time - first_time) <= farthest)) {
      start = at.trial;
      break;
    }
    if (last && same) {
      // The nearest point is the highest: a pass that stays below the
      // minimum altitude there is not walked.
      if (at.view.nearest_altitude < d(scope.filters.minAltitude) - kHighestMargin) return std::nullopt;
      break;
    }
    if (both_near) break;
    if (!locate_at(scope, sgp4, start, at.fix, at.view)) return u_star;
    at.trial = start;
    if (last) {
      start = climb_to_highest(scope, sgp4, at);
      break;
    }
  }
  const std::optional<Trial> lit = out_of_shadow(scope, sgp4, into_window(scope, start), at);
  if (!lit) return std::nullopt;
  return into_window(scope, *lit).u;
}

}  // namespace vespera
