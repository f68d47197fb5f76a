#include "prediction/angles.h"

#include <cmath>
#include <limits>

namespace vespera {

int32_t truncate_to_int32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

float day_sidereal_fraction(float day_number) {
  const float d = static_cast<float>(static_cast<double>(day_number) - 33281.0);
  const float u =
      static_cast<float>(static_cast<double>(d) * static_cast<double>(kSiderealPerSolarDay) +
                         static_cast<double>(0.27524987f));
  return u - std::trunc(u);
}

void wrap_below(float& x, float limit, float period) {
  if (x >= limit) x = static_cast<float>(static_cast<double>(x) - static_cast<double>(period));
}

void split_turns(float x, float scale, int32_t& whole, float& part) {
  const double xd = x;
  whole = truncate_to_int32(xd);
  // x - trunc(x) equals x - whole inside the int32 range and stays exact
  // (0) beyond it, where a float has no fraction left.
  part = static_cast<float>((xd - std::trunc(xd)) * static_cast<double>(scale));
}

void wrap_two_pi(float& x) {
  const double xd = x;
  const double twopi = kTwoPi;
  const double turns = xd / twopi;
  if (!(std::fabs(turns) < 2147483646.0)) {
    // Not finite, or more turns than a 32-bit count holds.
    if (std::isfinite(xd)) {
      double r = std::fmod(xd, twopi);
      if (r < 0.0) r += twopi;
      x = static_cast<float>(r);
    }
    return;
  }
  int32_t k = static_cast<int32_t>(turns);
  if (x < 0.0f) k -= 1;
  x = static_cast<float>(xd - static_cast<double>(k) * twopi);
}

float clamped_arccos(float x) {
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

double gmst_radians(float t, float start_sidereal) {
  const double td = t;
  const double frac = td - std::trunc(td);
  return (td * static_cast<double>(kSiderealPerSolarDay) + frac +
          static_cast<double>(start_sidereal)) *
         static_cast<double>(kTwoPi);
}

}  // namespace vespera
