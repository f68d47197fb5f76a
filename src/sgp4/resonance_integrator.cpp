#include "sgp4/resonance_integrator.h"

#include <cmath>

namespace vespera::sgp4 {
namespace {

constexpr double kStepMinutes = 720.0;
constexpr double kHalfStepSquared = 0.5 * kStepMinutes * kStepMinutes;

// Phases of the resonant terms (the theory's fasx2, fasx4, fasx6 for the
// synchronous case; g22 .. g54 for the half-day case), radians.
constexpr double kFasx2 = 0.13130908;
constexpr double kFasx4 = 2.8843198;
constexpr double kFasx6 = 0.37448087;
constexpr double kG22 = 5.7686396;
constexpr double kG32 = 0.95240898;
constexpr double kG44 = 1.8014998;
constexpr double kG52 = 1.0508330;
constexpr double kG54 = 4.4108898;

// dn/dt, d2n/dt2 and dlambda/dt at a grid point.
struct Derivatives {
  double ndot = 0.0;
  double nddot = 0.0;
  double angle_dot = 0.0;
};

Derivatives synchronous_derivatives(const ResonanceTerms& r, const ResonanceGridPoint& p) {
  const double l = p.angle;
  Derivatives d;
  d.ndot = r.del1 * std::sin(l - kFasx2) + r.del2 * std::sin(2.0 * (l - kFasx4)) +
           r.del3 * std::sin(3.0 * (l - kFasx6));
  d.angle_dot = p.mean_motion + r.angle_rate_offset;
  d.nddot = (r.del1 * std::cos(l - kFasx2) + 2.0 * r.del2 * std::cos(2.0 * (l - kFasx4)) +
             3.0 * r.del3 * std::cos(3.0 * (l - kFasx6))) *
            d.angle_dot;
  return d;
}

// The half-day terms depend on the argument of perigee too, which turns at
// its J2 rate.
Derivatives half_day_derivatives(const ResonanceTerms& r, const ResonanceGridPoint& p) {
  const double w = r.perigee_at_epoch + r.perigee_rate * p.time;
  const double w2 = w + w;
  const double l = p.angle;
  const double l2 = l + l;
  Derivatives d;
  d.ndot = r.d2201 * std::sin(w2 + l - kG22) + r.d2211 * std::sin(l - kG22) + r.d3210 * std::sin(w + l - kG32) +
           r.d3222 * std::sin(-w + l - kG32) + r.d4410 * std::sin(w2 + l2 - kG44) +
           r.d4422 * std::sin(l2 - kG44) + r.d5220 * std::sin(w + l - kG52) +
           r.d5232 * std::sin(-w + l - kG52) + r.d5421 * std::sin(w + l2 - kG54) +
           r.d5433 * std::sin(-w + l2 - kG54);
  d.angle_dot = p.mean_motion + r.angle_rate_offset;
  d.nddot = (r.d2201 * std::cos(w2 + l - kG22) + r.d2211 * std::cos(l - kG22) + r.d3210 * std::cos(w + l - kG32) +
             r.d3222 * std::cos(-w + l - kG32) + r.d5220 * std::cos(w + l - kG52) +
             r.d5232 * std::cos(-w + l - kG52) +
             2.0 * (r.d4410 * std::cos(w2 + l2 - kG44) + r.d4422 * std::cos(l2 - kG44) +
                    r.d5421 * std::cos(w + l2 - kG54) + r.d5433 * std::cos(-w + l2 - kG54))) *
            d.angle_dot;
  return d;
}

Derivatives derivatives(const ResonanceTerms& r, const ResonanceGridPoint& p) {
  return r.kind == Resonance::kHalfDay ? half_day_derivatives(r, p) : synchronous_derivatives(r, p);
}

bool usable_start(const ResonanceGridPoint* start, double minutes) {
  return start != nullptr && start->time != 0.0 && start->time * minutes > 0.0 &&
         std::fabs(minutes) >= std::fabs(start->time);
}

}  // namespace

ResonantMotion integrate_resonance(const ResonanceTerms& terms, double minutes, ResonanceGridPoint* start) {
  ResonanceGridPoint p{0.0, terms.angle_at_epoch, terms.mean_motion};
  if (usable_start(start, minutes)) p = *start;
  const double step = minutes > 0.0 ? kStepMinutes : -kStepMinutes;
  Derivatives d = derivatives(terms, p);
  while (std::fabs(minutes - p.time) >= kStepMinutes) {
    p.angle += d.angle_dot * step + d.ndot * kHalfStepSquared;
    p.mean_motion += d.ndot * step + d.nddot * kHalfStepSquared;
    p.time += step;
    d = derivatives(terms, p);
  }
  if (start != nullptr) *start = p;
  const double ft = minutes - p.time;
  return {p.mean_motion + d.ndot * ft + d.nddot * ft * ft * 0.5,
          p.angle + d.angle_dot * ft + d.ndot * ft * ft * 0.5};
}

}  // namespace vespera::sgp4
