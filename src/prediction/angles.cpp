#include "prediction/angles.h"

#include <cmath>

namespace vespera {

float day_sidereal_fraction(float day_number) {
  const float d = static_cast<float>(static_cast<double>(day_number) - 33281.0);
  const float u =
      static_cast<float>(static_cast<double>(d) * static_cast<double>(kSiderealPerSolarDay) +
                         static_cast<double>(0.27524987f));
  return u - std::trunc(u);
}

void wrap_two_pi_far(float& x) {
  const double xd = x;
  if (std::isfinite(xd)) {
    const double twopi = kTwoPi;
    double r = std::fmod(xd, twopi);
    if (r < 0.0) r += twopi;
    x = static_cast<float>(r);
  }
}

}  // namespace vespera
