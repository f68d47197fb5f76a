#include "sgp4/sidereal_time.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

constexpr double kDegrees = 180.0 / kPi;

TEST(GmstIau82, AtJ2000IsTheDefiningConstant) {
  // 18h 41m 50.54841s at 2000 January 1 12h UT1.
  EXPECT_NEAR(gmst_iau82(2451545.0, 0.0) * kDegrees, (18.0 + 41.0 / 60.0 + 50.54841 / 3600.0) * 15.0, 1e-10);
}

TEST(GmstIau82, AdvancesOneTurnAndTheSiderealExcessPerDay) {
  // 1.00273790935 turns per UT1 day (8640184.812866 s per century): the
  // excess over one turn is 0.98564736629 degrees a day.
  const double step = gmst_iau82(2451545.0, 1.0) - gmst_iau82(2451545.0, 0.0);
  EXPECT_NEAR(step * kDegrees, 0.98564736629, 1e-9);
}

TEST(GmstIau82, DependsOnlyOnTheSumOfTheDateParts) {
  const double a = gmst_iau82(2460000.5, 0.371234);
  EXPECT_NEAR(gmst_iau82(2460000.0, 0.871234), a, 1e-12);
  EXPECT_NEAR(gmst_iau82(2460000.871234, 0.0), a, 1e-8);  // one part: the date's rounding shows
}

TEST(GmstIau82, StaysInOneTurnForDatesLongBeforeJ2000) {
  for (double jd : {2299160.5, 2415020.0, 2433281.5, 2451544.6}) {
    const double theta = gmst_iau82(jd, 0.0);
    EXPECT_GE(theta, 0.0) << jd;
    EXPECT_LT(theta, kTwoPi) << jd;
  }
}

// The original expression from its 1970 reference and the IAU-82 one agree
// to a few 1e-10 rad over the satellite era (they part only by the small
// difference of their rates); the original may come out a turn lower.
TEST(EpochSiderealTime, TheTwoModesAgreeOverTheSatelliteEra) {
  for (double days_since_1950 : {3652.5, 11000.5, 20629.57071136, 29000.25, 36500.9}) {
    const double afspc = epoch_sidereal_time(days_since_1950, OperationMode::kAfspc);
    const double improved = epoch_sidereal_time(days_since_1950, OperationMode::kImproved);
    const double difference = std::remainder(afspc - improved, kTwoPi);
    EXPECT_LT(std::fabs(difference), 1e-9) << days_since_1950;
    EXPECT_GT(afspc, -kTwoPi);
    EXPECT_LT(afspc, kTwoPi);
  }
}

}  // namespace
}  // namespace vespera::sgp4
