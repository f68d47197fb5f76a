#include "prediction/altitude_limit.h"

#include <cmath>
#include <limits>

namespace vespera {

namespace {

// Largest |limit| (radians) for which bounds are made: the tangent grows
// without bound toward pi/2.
constexpr double kLargestBoundedLimit = 1.5;

}  // namespace

AltitudeLimit prepare_altitude_limit(float min_altitude) {
  AltitudeLimit test;
  const double limit = min_altitude;
  // Two float steps of the limit's size: an arctangent (correct to about a
  // double step) of a ratio beyond the tangent bound lies more than one
  // float step above the limit, so its float is above it; below the lower
  // bound it lies below the limit, so its float is at or below it.
  const float magnitude = std::fabs(min_altitude);
  const double step = static_cast<double>(std::nextafter(magnitude, std::numeric_limits<float>::infinity())) -
                      static_cast<double>(magnitude);
  const double margin = 2.0 * step;
  if (!(std::fabs(limit) + margin < kLargestBoundedLimit)) return test;
  test.tan_below = std::tan(limit - margin);
  test.tan_above = std::tan(limit + margin);
  test.usable = true;
  return test;
}

}  // namespace vespera
