// Constants of the orbit model shared by the orbit's setup, the revolution
// search and the time window of trial points.
#pragma once

namespace vespera {

// Mean motions (rev/day) outside (kMinMeanMotion, kDecayMeanMotion) are not
// predicted; a satellite reaching kDecayMeanMotion has decayed.
inline constexpr float kMinMeanMotion = 4.0f;
inline constexpr float kDecayMeanMotion = 16.65f;
// Semi-major axis in miles of an orbit of 1 rev/day: a = kSemiMajorAxisOneRevMiles / n^(2/3).
inline constexpr double kSemiMajorAxisOneRevMiles = 26249.041015625;
// Rotation of the earth, turns per solar day, against the stars.
inline constexpr float kEarthTurnsPerDay = 1.0027379f;
// Days added around the window so that a pass at its edges is not missed.
inline constexpr float kWindowMarginDays = 0.01f;

}  // namespace vespera
