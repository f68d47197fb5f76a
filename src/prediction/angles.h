// The engine's small angle and time routines (the units themselves are in
// vocabulary/units.h). Angles are
// radians, longitudes positive to the west, distances statute miles, times
// days from 0h UT of the run's start day number.
//
// The small routines are defined inline: every trial point of a pass uses
// several of them.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "vocabulary/units.h"

namespace vespera {

// truncate_to_int32: x truncated toward zero as a 32-bit integer, saturated
// at the int32 limits for values beyond them; 0 for NaN. (A plain conversion
// of such values is undefined.)
inline int32_t truncate_to_int32(double x);

// day_sidereal_fraction: Greenwich sidereal time at 0h UT of a day number, as
// a fraction of a revolution. Negative before day number 33281 (the fraction
// is taken by truncation toward zero).
float day_sidereal_fraction(float day_number);

// wrap_below: if x >= limit then x -= period (one subtraction at most).
inline void wrap_below(float& x, float limit, float period);

// split_turns: whole = x truncated toward zero; part = (x - whole) * scale.
// For negative x the part is negative or zero. Beyond the int32 range whole
// saturates and part is 0 (such a float has no fraction); NaN gives whole 0
// and a NaN part.
inline void split_turns(float x, float scale, int32_t& whole, float& part);

// wrap_two_pi: brings x into [0, 2 pi); a negative whole multiple of 2 pi gives
// 2 pi, and -0.0 stays -0.0. A value too large for a 32-bit turn count is
// reduced by fmod; NaN and infinities are left unchanged.
inline void wrap_two_pi(float& x);

// clamped_arccos: an angle in [0, pi] for any x (0 for x >= 1, pi for x <= -1).
inline float clamped_arccos(float x);

// Greenwich sidereal angle, radians, at engine time t (days from the start
// day), given the sidereal fraction at 0h UT of the start day. Not wrapped.
inline double gmst_radians(float t, float start_sidereal);

// Definitions of the inline routines.

inline int32_t truncate_to_int32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

inline void wrap_below(float& x, float limit, float period) {
  if (x >= limit) x = static_cast<float>(static_cast<double>(x) - static_cast<double>(period));
}

inline void split_turns(float x, float scale, int32_t& whole, float& part) {
  const double xd = x;
  whole = truncate_to_int32(xd);
  // x - trunc(x) equals x - whole inside the int32 range and stays exact
  // (0) beyond it, where a float has no fraction left.
  part = static_cast<float>((xd - std::trunc(xd)) * static_cast<double>(scale));
}

// The reduction of a value beyond a 32-bit turn count (or not finite).
void wrap_two_pi_far(float& x);

inline void wrap_two_pi(float& x) {
  const double xd = x;
  const double twopi = kTwoPi;
  const double turns = xd / twopi;
  if (!(std::fabs(turns) < 2147483646.0)) {
    wrap_two_pi_far(x);
    return;
  }
  int32_t k = static_cast<int32_t>(turns);
  if (x < 0.0f) k -= 1;
  x = static_cast<float>(xd - static_cast<double>(k) * twopi);
}

inline float clamped_arccos(float x) {
  const double xd = x;
  if (std::fabs(xd) >= 1.0) return xd >= 0.0 ? 0.0f : kPi;
  const float s = static_cast<float>(std::sqrt(1.0 - xd * xd));
  if (std::fabs(xd) > static_cast<double>(0.707f)) {
    float r = static_cast<float>(std::atan(static_cast<double>(s) / xd));
    if (r < 0.0f) r = static_cast<float>(static_cast<double>(r) + static_cast<double>(kPi));
    return r;
  }
  return static_cast<float>(1.5707963705062866 - std::atan(xd / static_cast<double>(s)));
}

inline double gmst_radians(float t, float start_sidereal) {
  const double td = t;
  const double frac = td - std::trunc(td);
  return (td * static_cast<double>(kSiderealPerSolarDay) + frac +
          static_cast<double>(start_sidereal)) *
         static_cast<double>(kTwoPi);
}

}  // namespace vespera
