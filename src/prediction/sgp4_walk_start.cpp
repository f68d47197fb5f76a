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
// The search ends once a step moves the time by less than this, seconds.
constexpr double kTimeTolerance = 0.05;
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

// Seconds from engine time `time` to the satellite's nearest approach to the
// site, by one Newton step on the range rate (the rate's own rate taken as
// the squared speed across the line of sight and along it).
bool seconds_to_nearest(Sgp4Observer& sgp4, double time, double& seconds) {
  SatelliteFix fix;
  if (!sgp4.ephemeris.locate(time, fix)) return false;
  const Vector3 line_of_sight = difference(fix.earth_fixed.position_km, sgp4.site.position_km);
  const Vector3& v = fix.earth_fixed.velocity_km_s;
  seconds = -dot(line_of_sight, v) / dot(v, v);
  return std::isfinite(seconds);
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

}  // namespace

float sgp4_walk_start(const ObservationScope& scope, Sgp4Observer& sgp4, float u_star) {
  const double rate = time_rate(scope, u_star);
  if (!(rate > 0.0) || !std::isfinite(rate)) return u_star;
  float u = u_star;
  for (int i = 0; i < kNewtonSteps; ++i) {
    const double time = time_at(scope, u);
    double seconds;
    if (!std::isfinite(time) || !seconds_to_nearest(sgp4, time, seconds)) return u_star;
    double step = seconds / kSecondsPerDay / rate;
    if (std::fabs(step) > kLargestStep) step = std::copysign(kLargestStep, step);
    const float next = static_cast<float>(d(u) + step);
    if (std::fabs(d(next) - d(u_star)) > kLargestMove) break;
    u = next;
    if (std::fabs(seconds) < kTimeTolerance) break;
  }
  return into_window(scope, u, rate);
}

}  // namespace vespera
