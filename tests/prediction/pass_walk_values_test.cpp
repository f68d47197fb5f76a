#include "prediction/pass_walk_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vespera {
namespace {

TEST(PassWalkValuesTest, TimingErrorEstimate) {
  struct Case {
    float n_dot, e, t, period;
    int32_t seconds;
  } const cases[] = {
      // k = 0.15: A = 1.5e-5, B = 7.5e-7, C = 2e-5; ((3.1623 B + A) 10 + C) 10 P 86400 = 10.46
      {1.0e-4f, 0.001f, 10.0f, 0.0625f, 10},
      {1.0e-4f, 0.001f, -10.0f, 0.0625f, 10},  // before the epoch alike
      // Decaying (n_dot < 0): A becomes |n_dot| = 1e-4; B stays 7.5e-7 -> 56.36
      {-1.0e-4f, 0.001f, 10.0f, 0.0625f, 56},
      // n_dot 0 is raised to 3e-7 (k 0.4); nearly circular C = 7e-5: 0.379 -> 0
      {0.0f, 0.0f, 1.0f, 0.0625f, 0},
      // k = 0.2 - 50 g at g = 0.0015 (0.125): A = 1.875e-4, B = 9.375e-6;
      // ((2 B + A) 4 + C) 4 P 86400 = 18.25 with t = 4
      {0.0015f, 0.01f, 4.0f, 0.0625f, 18},
      // Large errors are held at 500 s.
      {0.001f, 0.001f, 100.0f, 0.0625f, 500},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(timing_error_seconds(c.n_dot, c.e, c.t, c.period), c.seconds)
        << c.n_dot << " " << c.e << " " << c.t;
  }
  // Never beyond 500, not even for an absurd age.
  EXPECT_EQ(timing_error_seconds(0.01f, 0.0f, 1.0e30f, 0.0625f), 500);
}

TEST(PassWalkValuesTest, AgeRoundsHalfAwayFromZero) {
  struct Case {
    float t;
    int16_t days;
  } const cases[] = {
      {2.5f, 3},   {2.49f, 2}, {-2.5f, -3},       {-2.49f, -2},        {-0.4f, 0},
      {-0.6f, -1}, {0.0f, 0},  {40000.0f, 32767}, {-40000.0f, -32768},
  };
  for (const Case& c : cases) EXPECT_EQ(age_in_days(c.t), c.days) << c.t;
}

TEST(PassWalkValuesTest, RevolutionTenths) {
  struct Case {
    float revolutions;
    int16_t tenth;
  } const cases[] = {
      {9.96f, 0},  // rounds up to 10, shown as 0
      {9.94f, 9},    {9.04f, 0},  {9.06f, 1},
      {12345.5f, 5}, {-0.25f, 8},  // the revolution below: -1 + 0.75
      {-0.96f, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(revolution_tenth(c.revolutions), c.tenth) << c.revolutions;
}

TEST(PassWalkValuesTest, DistancesInReportUnits) {
  EXPECT_EQ(report_distance(250.9f, true), 250);
  EXPECT_EQ(report_distance(250.9f, false), 403);  // 403.78 km
  EXPECT_EQ(report_distance(-10.0f, false), -16);  // truncated toward zero
  EXPECT_EQ(report_distance(-std::numeric_limits<float>::infinity(), true),
            std::numeric_limits<int32_t>::min());
  EXPECT_EQ(report_distance(std::numeric_limits<float>::quiet_NaN(), true), 0);
}

TEST(PassWalkValuesTest, DirectionOfMotion) {
  const float s05 = static_cast<float>(std::sin(0.5)), c05 = static_cast<float>(std::cos(0.5));
  const float s06 = static_cast<float>(std::sin(0.6)), c06 = static_cast<float>(std::cos(0.6));
  const float s04 = static_cast<float>(std::sin(0.4)), c04 = static_cast<float>(std::cos(0.4));
  struct Case {
    const char* what;
    float az1, sin1, cos1, az2, sin2, cos2;
    int16_t direction;
  } const cases[] = {
      {"straight up", 1.0f, s05, c05, 1.0f, s06, c06, 0},
      {"straight down", 1.0f, s05, c05, 1.0f, s04, c04, 180},
      {"level along the horizon, azimuth growing", 1.0f, 0.0f, 1.0f, 1.01f, 0.0f, 1.0f, 90},
      {"level along the horizon, azimuth falling", 1.0f, 0.0f, 1.0f, 0.99f, 0.0f, 1.0f, 270},
      {"across north, azimuth growing", 6.28f, 0.0f, 1.0f, 0.005f, 0.0f, 1.0f, 90},
      {"across north, azimuth falling", 0.005f, 0.0f, 1.0f, 6.28f, 0.0f, 1.0f, 270},
      // Up and 0.38 degrees toward falling azimuth: 359.62 rounds to 360, stored as 0.
      {"359.62 degrees", 1.0f, s05, c05, 1.0f - 7.96e-4f, s06, c06, 0},
      {"359.44 degrees", 1.0f, s05, c05, 1.0f - 1.19e-3f, s06, c06, 359},
      {"0.56 degrees", 1.0f, s05, c05, 1.0f + 1.19e-3f, s06, c06, 1},
      {"the same point", 1.0f, s05, c05, 1.0f, s05, c05, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(direction_of_motion(c.az1, c.sin1, c.cos1, c.az2, c.sin2, c.cos2), c.direction)
        << c.what;
  }
}

TEST(PassWalkValuesTest, DirectionAtTheLimitsOfTheCosine) {
  // |c| >= 1: 0 when positive, 180 otherwise, whatever the azimuth change.
  // A zero denominator gives the infinity of the numerator's sign.
  EXPECT_EQ(direction_of_motion(1.0f, 0.5f, 0.0f, 1.2f, 0.6f, 0.0f), 0);
  EXPECT_EQ(direction_of_motion(1.0f, 0.5f, 0.0f, 0.8f, -0.1f, 0.0f), 180);
}

}  // namespace
}  // namespace vespera
