#include "prediction/sgp4_walk_start.h"

#include <cmath>

#include "prediction/orbit.h"
#include "prediction/teme_to_observer.h"

namespace vespera {

namespace {

constexpr double kSecondsPerDay = 86400.0;
// Half the step in u over which the time's rate of change is measured.
constexpr float kRateStep = 0.02f;
// Newton steps toward the nearest point; each is held within kLargestStep
// radians of u, and the search within kLargestMove of u*, so that it stays
// on the revolution of the candidate.
constexpr int kNewtonSteps = 6;
constexpr double kLargestStep = 0.25;
constexpr double kLargestMove = 1.0;
// From a state whose nearest point lies at most this many seconds away, the
// tangent places that point to about a second (the track bends from its
// tangent by some kilometres in that time), which moves the highest point of
// a pass by far less than its walk's steps; the highest altitude is
// estimated from that state too ...
constexpr double kEstimateSpan = 30.0;
// ... and a pass estimated to stay this far (radians, 1 degree) below the
// minimum altitude is not walked.
constexpr double kAltitudeMargin = 0.017453292519943295;
// A start moved into the window lies this far inside it, seconds.
constexpr double kWindowInset = 1.0;
constexpr int kWindowSteps = 4;

double d(float x) { return static_cast<double>(x); }

// The engine time of u on the scope's crossing; NaN when it does not place.
double time_at(const ObservationScope& scope, float u) {
  OrbitPoint placed;
  if (!place_trial_point(scope, u, placed)) return NAN;
  return d(placed.time);
}

// dT/du near u, days per radian (not a positive finite number when the
// orbit gives none).
double time_rate(const ObservationScope& scope, float u) {
  const float before = static_cast<float>(d(u) - d(kRateStep));
  const float after = static_cast<float>(d(u) + d(kRateStep));
  return (time_at(scope, after) - time_at(scope, before)) / (d(after) - d(before));
}

// The nearest approach to the site as one state foresees it, moving on its
// tangent: the seconds to it and the altitude there.
struct NearestApproach {
  double seconds = 0.0;
  double altitude = 0.0;  // radians, from the site's geocentric vertical
};

bool nearest_approach(Sgp4Observer& sgp4, double time, NearestApproach& nearest) {
  SatelliteFix fix;
  if (!sgp4.ephemeris.locate(time, fix)) return false;
  const Vector3& r = fix.earth_fixed.position_km;
  const Vector3& v = fix.earth_fixed.velocity_km_s;
  const Vector3 line_of_sight = difference(r, sgp4.site.position_km);
  const double speed_squared = dot(v, v);
  const double along = dot(line_of_sight, v);
  nearest.seconds = -along / speed_squared;
  // Range, site radius and the satellite's radius then give the altitude.
  const double range_squared = dot(line_of_sight, line_of_sight) - along * along / speed_squared;
  const double site_radius = length(sgp4.site.position_km);
  const double radius = length(r) + dot(r, v) / length(r) * nearest.seconds;
  const double range = std::sqrt(std::fmax(range_squared, 0.0));
  nearest.altitude = std::asin(std::fmax(-1.0, std::fmin(1.0, (radius * radius - site_radius * site_radius -
                                                               range_squared) /
                                                              (2.0 * site_radius * range))));
  return std::isfinite(nearest.seconds);
}

// u moved so that its time comes to `target` (engine days), by Newton steps
// on the time of u.
float u_at_time(const ObservationScope& scope, float u, double rate, double target) {
  for (int i = 0; i < kWindowSteps; ++i) {
    const double time = time_at(scope, u);
    if (!std::isfinite(time)) break;
    const float next = static_cast<float>(d(u) + (target - time) / rate);
    if (!std::isfinite(next) || next == u) break;
    u = next;
  }
  return u;
}

// u moved into the night's window when its time lies outside it.
float into_window(const ObservationScope& scope, float u, double rate) {
  const ObservingWindow& window = scope.night.window;
  const double inset = kWindowInset / kSecondsPerDay;
  const double time = time_at(scope, u);
  if (time < d(window.start)) {
    const float moved = u_at_time(scope, u, rate, d(window.start) + inset);
    if (time_at(scope, moved) >= d(window.start)) return moved;
  } else if (time > d(window.end)) {
    const float moved = u_at_time(scope, u, rate, d(window.end) - inset);
    if (time_at(scope, moved) <= d(window.end)) return moved;
  }
  return u;
}

// A step in u of `seconds`, held within kLargestStep.
double u_step(double seconds, double rate) {
  const double step = seconds / kSecondsPerDay / rate;
  return std::fabs(step) > kLargestStep ? std::copysign(kLargestStep, step) : step;
}

}  // namespace

std::optional<float> sgp4_walk_start(const ObservationScope& scope, Sgp4Observer& sgp4,
                                     float u_star) {
  NearestApproach nearest;
  const double first_time = time_at(scope, u_star);
  if (!std::isfinite(first_time) || !nearest_approach(sgp4, first_time, nearest)) return u_star;
  if (std::fabs(nearest.seconds) <= kEstimateSpan &&
      nearest.altitude < d(scope.filters.minAltitude) - kAltitudeMargin) {
    return std::nullopt;
  }
  const double rate = time_rate(scope, u_star);
  if (!(rate > 0.0) || !std::isfinite(rate)) return u_star;
  float u = u_star;
  for (int i = 0; i < kNewtonSteps; ++i) {
    if (i > 0) {
      const double time = time_at(scope, u);
      if (!std::isfinite(time) || !nearest_approach(sgp4, time, nearest)) return u_star;
    }
    const float next = static_cast<float>(d(u) + u_step(nearest.seconds, rate));
    if (std::fabs(d(next) - d(u_star)) > kLargestMove) break;
    u = next;
    // From a state this near, the tangent finds the nearest point to well
    // within the tolerance.
    if (std::fabs(nearest.seconds) <= kEstimateSpan) break;
  }
  return into_window(scope, u, rate);
}

}  // namespace vespera
