#include "prediction/pass_walk_values.h"

#include <cmath>
#include <limits>

#include "prediction/angles.h"
#include "vocabulary/units.h"

namespace vespera {

namespace {

constexpr float kLeastMeanMotionDot = 3.0e-7f;  // rev/day^2, floor of the drift used

double d(float x) { return static_cast<double>(x); }

float to_float(double x) { return static_cast<float>(x); }

}  // namespace

int32_t timing_error_seconds(float mean_motion_dot, float eccentricity, float since_epoch,
                             float period) {
  float g = std::fabs(mean_motion_dot);
  if (g < kLeastMeanMotionDot) g = kLeastMeanMotionDot;
  float k;
  if (g < 1.0e-5f) {
    k = 0.4f;
  } else if (g < 4.0e-5f) {
    k = 0.2f;
  } else if (g < 0.001f) {
    k = 0.15f;
  } else if (g < 0.002f) {
    k = to_float(d(0.2f) - d(50.0f) * d(g));
  } else if (g < 0.05f) {
    k = 0.1f;
  } else {
    k = 0.2f;
  }
  float a = to_float(d(g) * d(k));
  const float b = to_float(d(a) * d(0.05f));
  if (mean_motion_dot < 0.0f) a = g;
  float c = 2.0e-5f;
  if (eccentricity < 0.0005f) {
    c = to_float((d(0.0005f) - d(eccentricity)) * d(0.1f) + d(2.0e-5f));
  }
  const float tau = std::fabs(since_epoch);
  const double seconds =
      ((std::sqrt(d(tau)) * d(b) + d(a)) * d(tau) + d(c)) * d(tau) * d(period) * kSecondsPerDay;
  const int32_t error = truncate_to_int32(seconds);
  return error > kMaxTimeErrorSeconds ? kMaxTimeErrorSeconds : error;
}

int16_t age_in_days(float since_epoch) {
  const int32_t days = truncate_to_int32(d(since_epoch) + std::copysign(0.5, d(since_epoch)));
  if (days > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
  if (days < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
  return static_cast<int16_t>(days);
}

int16_t revolution_tenth(float revolutions) {
  int32_t whole = truncate_to_int32(d(revolutions));
  if (revolutions < 0.0f) whole -= 1;
  int32_t tenth = truncate_to_int32((d(revolutions) - static_cast<double>(whole)) * 10.0 + 0.5);
  if (tenth == 10) tenth = 0;
  return static_cast<int16_t>(tenth);
}

int32_t report_distance(float miles, bool in_miles) {
  if (in_miles) return truncate_to_int32(d(miles));
  return truncate_to_int32(d(miles) * d(kKilometresPerMile));
}

int16_t direction_of_motion(float azimuth1, float sin_alt1, float cos_alt1, float azimuth2,
                            float sin_alt2, float cos_alt2) {
  float d_az = to_float(d(azimuth2) - d(azimuth1));
  const float cos_d =
      to_float(d(sin_alt1) * d(sin_alt2) + d(cos_alt1) * d(cos_alt2) * std::cos(d(d_az)));
  // Rounding can make |cos_d| reach 1 for points very close together: s_d is
  // then 0 or not a number, and so, below, may be c.
  const float s_d = to_float(std::sqrt(1.0 - d(cos_d) * d(cos_d)));

  // Cosine of the angle at the stored point between the way to the zenith and
  // the way of motion. A zero denominator gives the infinity of the
  // numerator's sign, or no value at all when the numerator is 0 too.
  const double numerator = d(sin_alt2) - d(sin_alt1) * d(cos_d);
  const double denominator = d(cos_alt1) * d(s_d);
  float c;
  if (denominator != 0.0) {
    c = to_float(numerator / denominator);
  } else if (numerator != 0.0) {
    c = std::copysign(std::numeric_limits<float>::infinity(), to_float(numerator));
  } else {
    c = std::numeric_limits<float>::quiet_NaN();
  }
  if (std::isnan(c)) return 0;  // no direction can be measured

  int32_t direction;
  if (std::fabs(c) >= 1.0f) {
    direction = c > 0.0f ? 0 : 180;
  } else {
    direction = truncate_to_int32(std::acos(d(c)) / d(kRadiansPerDegree) + 0.5);
  }
  if (std::fabs(d_az) > kPi)
    d_az = to_float(d_az > 0.0f ? d(d_az) - d(kTwoPi) : d(d_az) + d(kTwoPi));
  if (d_az < 0.0f) direction = 360 - direction;
  if (direction == 360) direction = 0;
  return static_cast<int16_t>(direction);
}

}  // namespace vespera
