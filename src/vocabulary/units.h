// The units every subsystem shares: angles in radians (single-precision
// values of pi and its multiples), the conversions to degrees and hours,
// statute miles to kilometres, the sidereal day, and the exponent of
// Kepler's third law. Each is the single-precision value the computations
// widen to double; the last two are the double values of the models that
// compute in double throughout (SGP4 and what places its states).
#pragma once

namespace vespera {

inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kPi = 3.1415927f;
inline constexpr float kHalfPi = 1.5707964f;
inline constexpr float kRadiansPerDegree = 0.017453292f;
inline constexpr float kDegreesPerRadian = 57.29578f;
inline constexpr float kHoursPerRadian = 3.8197186f;  // 12 / pi
inline constexpr float kKilometresPerMile = 1.609345f;
// Sidereal excess per solar day, revolutions.
inline constexpr float kSiderealPerSolarDay = 0.0027379093f;
// Kepler's third law: the semi-major axis goes as the mean motion to the
// power -2/3.
inline constexpr float kTwoThirds = 0.66666667f;

inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kTwoPiDouble = 6.283185307179586476925;

}  // namespace vespera
