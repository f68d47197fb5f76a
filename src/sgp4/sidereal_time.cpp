#include "sgp4/sidereal_time.h"

#include <cmath>

#include "sgp4/turns.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kSecondsPerCentury = 876600.0 * 3600.0;  // 36525 days of 86400 s
// The Julian date of 1949 December 31 0h, the origin of the epoch's day count.
constexpr double kJd1950 = 2433281.5;

// THETAG's constants: days from 1949 December 31 0h to 1970 January 1 0h,
// the sidereal time then (rad), the sidereal excess per day (rad/day) and the
// quadratic term (rad/day^2).
constexpr double kDays1950To1970 = 7305.0;
constexpr double kSidereal1970 = 1.7321343856509374;
constexpr double kSiderealExcessPerDay = 1.72027916940703639e-2;
constexpr double kSiderealQuadratic = 5.07551419432269442e-15;

double afspc_sidereal_time(double days_since_1950) {
  const double ts70 = days_since_1950 - kDays1950To1970;
  const double ds70 = std::floor(ts70 + 1.0e-8);
  const double tfrac = ts70 - ds70;
  return std::fmod(kSidereal1970 + kSiderealExcessPerDay * ds70 + (kSiderealExcessPerDay + kTwoPi) * tfrac +
                       ts70 * ts70 * kSiderealQuadratic,
                   kTwoPi);
}

}  // namespace

double gmst_iau82(double jd_ut1, double jd_ut1_fraction) {
  const double t = ((jd_ut1 - kJ2000) + jd_ut1_fraction) / kDaysPerCentury;
  const double seconds =
      -6.2e-6 * t * t * t + 0.093104 * t * t + (kSecondsPerCentury + 8640184.812866) * t + 67310.54841;
  // 240 seconds of sidereal time per degree.
  double angle = remainder_of_turns(seconds * kRadiansPerDegree / 240.0);
  if (angle < 0.0) angle += kTwoPi;
  return angle;
}

double epoch_sidereal_time(double days_since_1950, OperationMode mode) {
  if (mode == OperationMode::kAfspc) return afspc_sidereal_time(days_since_1950);
  return gmst_iau82(kJd1950, days_since_1950);
}

}  // namespace vespera::sgp4
