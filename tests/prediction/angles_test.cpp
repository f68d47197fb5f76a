#include "prediction/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vespera {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(DaySiderealFraction, OriginDayGivesTheConstant) {
  EXPECT_EQ(day_sidereal_fraction(33281.0f), 0.27524987f);
}

TEST(DaySiderealFraction, OneDayLaterGainsThePerDayExcess) {
  // 1 day: 0.27524987 + 0.0027379093, rounded to float.
  EXPECT_FLOAT_EQ(day_sidereal_fraction(33282.0f), 0.27798778f);
}

TEST(DaySiderealFraction, KeepsOnlyTheFraction) {
  // 2017 October 1 (day number 58027), 24746 days after the origin: u is
  // stored as a float (68.0276...) before its fraction is taken.
  const float u = static_cast<float>(24746.0 * static_cast<double>(0.0027379093f) +
                                     static_cast<double>(0.27524987f));
  const float fraction = day_sidereal_fraction(58027.0f);
  EXPECT_EQ(fraction, u - 68.0f);
  EXPECT_NEAR(fraction, std::fmod(24746.0 * 0.0027379093 + 0.27524987, 1.0), 8e-6);
}

TEST(DaySiderealFraction, BeforeTheOriginTheFractionIsNegative) {
  // 200 days before: u = -0.5475818 + 0.27524987 = -0.2723319.
  const float fraction = day_sidereal_fraction(33081.0f);
  EXPECT_LT(fraction, 0.0f);
  EXPECT_NEAR(fraction, -0.27233197, 1e-7);
}

TEST(WrapBelow, SubtractsOnePeriodAtOrAboveTheLimit) {
  struct Row {
    float in, out;
  };
  const Row rows[] = {
      {3.5f, static_cast<float>(3.5 - static_cast<double>(kTwoPi))},
      {kPi, static_cast<float>(static_cast<double>(kPi) - static_cast<double>(kTwoPi))},
      {3.1415925f, 3.1415925f},  // just below pi: unchanged
      {-4.0f, -4.0f},            // below -pi: unchanged
      {0.0f, 0.0f},
      {9.0f, static_cast<float>(9.0 - static_cast<double>(kTwoPi))},  // once only
  };
  for (const Row& row : rows) {
    float x = row.in;
    wrap_below(x, kPi, kTwoPi);
    EXPECT_EQ(x, row.out) << "in " << row.in;
  }
}

TEST(SplitTurns, PositiveAndNegative) {
  int32_t whole = 0;
  float part = 0.0f;
  split_turns(2.25f, kTwoPi, whole, part);
  EXPECT_EQ(whole, 2);
  EXPECT_FLOAT_EQ(part, 0.25f * kTwoPi);

  split_turns(-2.25f, kTwoPi, whole, part);
  EXPECT_EQ(whole, -2);
  EXPECT_FLOAT_EQ(part, -0.25f * kTwoPi);

  split_turns(-0.0f, kTwoPi, whole, part);
  EXPECT_EQ(whole, 0);
  EXPECT_EQ(part, 0.0f);

  split_turns(7.0f, 1.0f, whole, part);
  EXPECT_EQ(whole, 7);
  EXPECT_EQ(part, 0.0f);
}

TEST(SplitTurns, BeyondTheIntegerRangeSaturatesWithoutFraction) {
  int32_t whole = 0;
  float part = -1.0f;
  split_turns(3.0e9f, kTwoPi, whole, part);
  EXPECT_EQ(whole, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(part, 0.0f);
  split_turns(-3.0e9f, kTwoPi, whole, part);
  EXPECT_EQ(whole, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(part, 0.0f);
  split_turns(kNaN, kTwoPi, whole, part);
  EXPECT_EQ(whole, 0);
  EXPECT_TRUE(std::isnan(part));
}

TEST(WrapTwoPi, Table) {
  struct Row {
    float in, out;
  };
  const double twopi = kTwoPi;
  const Row rows[] = {
      {7.0f, static_cast<float>(7.0 - twopi)},
      {1.0f, 1.0f},
      {-1.0f, static_cast<float>(-1.0 + twopi)},
      {-kTwoPi, kTwoPi},  // a negative whole turn gives 2 pi
      {-2.0f * kTwoPi, kTwoPi},
      {kTwoPi, 0.0f},
      {20.0f, static_cast<float>(20.0 - 3.0 * twopi)},
      {-20.0f, static_cast<float>(-20.0 + 4.0 * twopi)},
  };
  for (const Row& row : rows) {
    float x = row.in;
    wrap_two_pi(x);
    EXPECT_EQ(x, row.out) << "in " << row.in;
  }
}

TEST(WrapTwoPi, NegativeZeroStaysNegativeZero) {
  float x = -0.0f;
  wrap_two_pi(x);
  EXPECT_EQ(x, 0.0f);
  EXPECT_TRUE(std::signbit(x));
}

TEST(WrapTwoPi, HugeAndNonFiniteValuesAreSafe) {
  float x = 1.0e12f;
  wrap_two_pi(x);
  EXPECT_GE(x, 0.0f);
  EXPECT_LE(x, kTwoPi);
  x = -1.0e30f;
  wrap_two_pi(x);
  EXPECT_GE(x, 0.0f);
  EXPECT_LE(x, kTwoPi);
  x = kNaN;
  wrap_two_pi(x);
  EXPECT_TRUE(std::isnan(x));
  x = -kInf;
  wrap_two_pi(x);
  EXPECT_EQ(x, -kInf);
}

TEST(ClampedArccos, ClampsOutsideTheUnitRange) {
  EXPECT_EQ(clamped_arccos(1.0f), 0.0f);
  EXPECT_EQ(clamped_arccos(1.5f), 0.0f);
  EXPECT_EQ(clamped_arccos(kInf), 0.0f);
  EXPECT_EQ(clamped_arccos(-1.0f), kPi);
  EXPECT_EQ(clamped_arccos(-7.0f), kPi);
  EXPECT_EQ(clamped_arccos(-kInf), kPi);
}

TEST(ClampedArccos, BothBranchesAgreeWithArccos) {
  // 0.7071 takes the arctangent-of-s/x branch, 0.707 the pi/2 - atan branch;
  // negative inputs of the first branch are lifted by pi.
  for (float x :
       {0.7071f, 0.707f, -0.7071f, -0.707f, 0.0f, 0.5f, -0.5f, 0.9999f, -0.9999f, 0.99999994f}) {
    EXPECT_NEAR(clamped_arccos(x), std::acos(static_cast<double>(x)), 2e-7) << x;
  }
}

TEST(ClampedArccos, BranchBoundaryBits) {
  // Above 0.707: s = float(sqrt(1 - x^2)), r = float(atan(s / x)).
  const double x1 = 0.7071f;
  const float s1 = static_cast<float>(std::sqrt(1.0 - x1 * x1));
  EXPECT_EQ(clamped_arccos(0.7071f), static_cast<float>(std::atan(static_cast<double>(s1) / x1)));
  // At or below 0.707: the double pi/2 less atan(x / s).
  const double x2 = 0.707f;
  const float s2 = static_cast<float>(std::sqrt(1.0 - x2 * x2));
  EXPECT_EQ(clamped_arccos(0.707f),
            static_cast<float>(1.5707963705062866 - std::atan(x2 / static_cast<double>(s2))));
  // Negative first-branch input: atan < 0 lifted by the float pi.
  const double x3 = -0.8f;
  const float s3 = static_cast<float>(std::sqrt(1.0 - x3 * x3));
  const float r3 = static_cast<float>(std::atan(static_cast<double>(s3) / x3));
  EXPECT_EQ(clamped_arccos(-0.8f),
            static_cast<float>(static_cast<double>(r3) + static_cast<double>(kPi)));
}

TEST(ClampedArccos, NaNGivesNaNWithoutTrapping) { EXPECT_TRUE(std::isnan(clamped_arccos(kNaN))); }

TEST(TruncateToInt32, TruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(truncate_to_int32(2.9), 2);
  EXPECT_EQ(truncate_to_int32(-2.9), -2);
  EXPECT_EQ(truncate_to_int32(-0.5), 0);
  EXPECT_EQ(truncate_to_int32(2147483647.5), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(truncate_to_int32(-2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(truncate_to_int32(-2147483647.5), -2147483647);
  EXPECT_EQ(truncate_to_int32(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(truncate_to_int32(-std::numeric_limits<double>::infinity()),
            std::numeric_limits<int32_t>::min());
  EXPECT_EQ(truncate_to_int32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(GmstRadians, AddsTheSiderealExcessAndTheDayFraction) {
  // At 0h of the start day the angle is the start sidereal time.
  EXPECT_DOUBLE_EQ(gmst_radians(0.0f, 0.25f), 0.25 * static_cast<double>(kTwoPi));
  // 10.5 days later: 10.5 x 0.0027379093 + 0.5 + 0.25 turns.
  const double expected =
      (10.5 * static_cast<double>(0.0027379093f) + 0.5 + 0.25) * static_cast<double>(kTwoPi);
  EXPECT_DOUBLE_EQ(gmst_radians(10.5f, 0.25f), expected);
  // Before the start day the fraction is negative.
  const double before =
      (-0.25 * static_cast<double>(0.0027379093f) - 0.25 + 0.25) * static_cast<double>(kTwoPi);
  EXPECT_DOUBLE_EQ(gmst_radians(-0.25f, 0.25f), before);
}

}  // namespace
}  // namespace vespera
