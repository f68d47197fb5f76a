// The engine's units and its small angle and time routines. Angles are
// radians, longitudes positive to the west, distances statute miles, times
// days from 0h UT of the run's start day number.
#pragma once

#include <cstdint>

namespace vespera {

inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kPi = 3.1415927f;
inline constexpr float kHalfPi = 1.5707964f;
inline constexpr float kRadiansPerDegree = 0.017453292f;
inline constexpr float kDegreesPerRadian = 57.29578f;
inline constexpr float kHoursPerRadian = 3.8197186f;  // 12 / pi
inline constexpr float kKilometresPerMile = 1.609345f;
inline constexpr float kSiderealPerSolarDay =
    0.0027379093f;  // sidereal excess per day, revolutions

// truncate_to_int32: x truncated toward zero as a 32-bit integer, saturated
// at the int32 limits for values beyond them; 0 for NaN. (A plain conversion
// of such values is undefined.)
int32_t truncate_to_int32(double x);

// day_sidereal_fraction: Greenwich sidereal time at 0h UT of a day number, as
// a fraction of a revolution. Negative before day number 33281 (the fraction
// is taken by truncation toward zero).
float day_sidereal_fraction(float day_number);

// wrap_below: if x >= limit then x -= period (one subtraction at most).
void wrap_below(float& x, float limit, float period);

// split_turns: whole = x truncated toward zero; part = (x - whole) * scale.
// For negative x the part is negative or zero. Beyond the int32 range whole
// saturates and part is 0 (such a float has no fraction); NaN gives whole 0
// and a NaN part.
void split_turns(float x, float scale, int32_t& whole, float& part);

// wrap_two_pi: brings x into [0, 2 pi); a negative whole multiple of 2 pi gives
// 2 pi, and -0.0 stays -0.0. A value too large for a 32-bit turn count is
// reduced by fmod; NaN and infinities are left unchanged.
void wrap_two_pi(float& x);

// clamped_arccos: an angle in [0, pi] for any x (0 for x >= 1, pi for x <= -1).
float clamped_arccos(float x);

// Greenwich sidereal angle, radians, at engine time t (days from the start
// day), given the sidereal fraction at 0h UT of the start day. Not wrapped.
double gmst_radians(float t, float start_sidereal);

}  // namespace vespera
