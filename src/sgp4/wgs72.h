// The constants of the SGP4/SDP4 theory. The element sets are fitted with the
// WGS-72 earth, so the propagation uses it too (Hoots and Roehrich,
// Spacetrack Report No. 3, 1980, section 12; Vallado, Crawford, Hujsak and
// Kelso, "Revisiting Spacetrack Report #3", AIAA 2006-6753, section IV.A).
//
// The theory computes in earth radii and minutes; kKePerMinute turns its
// canonical time into minutes.
#pragma once

namespace vespera::sgp4 {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kTwoThirds = 2.0 / 3.0;
inline constexpr double kRadiansPerDegree = kPi / 180.0;
inline constexpr double kMinutesPerDay = 1440.0;
inline constexpr double kSecondsPerMinute = 60.0;

// WGS-72: equatorial radius, gravitational parameter and zonal harmonics.
inline constexpr double kEarthRadiusKm = 6378.135;
inline constexpr double kEarthMuKm3PerS2 = 398600.8;
inline constexpr double kJ2 = 0.001082616;
inline constexpr double kJ3 = -0.00000253881;
inline constexpr double kJ4 = -0.00000165597;
inline constexpr double kJ3OverJ2 = kJ3 / kJ2;

// ke = sqrt(mu) in earth radii^(3/2) per minute: 60 / sqrt(kEarthRadiusKm^3 /
// kEarthMuKm3PerS2), written out because std::sqrt is not constexpr.
inline constexpr double kKePerMinute = 0.07436691613317342;
// A speed of one earth radius per canonical time unit (1/ke minutes), km/s.
inline constexpr double kCanonicalSpeedKmPerSecond = kEarthRadiusKm * kKePerMinute / kSecondsPerMinute;

// The earth's rotation against the equinox, rad/min (the resonance terms'
// sidereal angle advances at this rate from the epoch).
inline constexpr double kEarthRotationRadPerMinute = 4.37526908801129966e-3;

// Orbits of this period or longer take the deep-space (SDP4) terms, minutes.
inline constexpr double kDeepSpacePeriodMinutes = 225.0;

}  // namespace vespera::sgp4
