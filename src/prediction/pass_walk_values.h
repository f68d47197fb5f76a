// The values the pass walk works out for a stored prediction that only the
// report needs: the timing-error estimate, the age of the elements, the tenth
// of the revolution, heights in the report's unit, and the direction of
// motion on the sky measured from a nearby probe point.
#pragma once

#include <cstdint>

namespace vespera {

// Largest timing-error estimate reported, seconds.
inline constexpr int32_t kMaxTimeErrorSeconds = 500;

// timing_error_seconds: given the mean-motion drift n_dot (rev/day^2, half the
// first derivative), the eccentricity in use, the days since the epoch t and
// the period P (days), the estimated timing error in whole seconds, at most
// 500: ((sqrt|t| B + A)|t| + C)|t| P 86400 truncated, with A and B from |n_dot|
// (A the whole |n_dot| for a decaying orbit, n_dot < 0) and C larger for a
// nearly circular orbit.
int32_t timing_error_seconds(float mean_motion_dot, float eccentricity, float since_epoch,
                             float period);

// age_in_days: days since the epoch rounded half away from zero (negative
// before the epoch), held in 16 bits (saturated at the 16-bit limits).
int16_t age_in_days(float since_epoch);

// revolution_tenth: the tenth (0-9) of the revolution reached by a total of
// `revolutions` since the epoch, rounded to the nearest; a tenth of 10 is 0.
int16_t revolution_tenth(float revolutions);

// report_distance: a distance in statute miles as whole report units: miles
// truncated when `in_miles`, else kilometres (x 1.609345) truncated. Values
// beyond the 32-bit range, infinities included, saturate.
int32_t report_distance(float miles, bool in_miles);

// direction_of_motion: given the azimuth and the sine and cosine of the
// altitude of a stored point (1) and of the probe point a little further on
// (2), the direction of motion on the sky in whole degrees 0-359: 0 straight
// up, 90 level toward increasing azimuth, 180 straight down, 270 level toward
// decreasing azimuth. When the two points coincide so closely that no
// direction can be measured, 0.
int16_t direction_of_motion(float azimuth1, float sin_alt1, float cos_alt1, float azimuth2,
                            float sin_alt2, float cos_alt2);

}  // namespace vespera
