#include "prediction/altitude_limit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vespera {
namespace {

// The altitude as the observation computes it.
float altitude_of(double ratio) { return static_cast<float>(std::atan(ratio)); }

// Every certain verdict agrees with the altitude itself, for ratios at and
// around the limit's tangent at every scale, and ratios far from it are
// decided without the arctangent.
TEST(AltitudeLimit, CertainVerdictsAgreeWithTheAltitude) {
  const float limits[] = {0.0f,           -0.0f,         1.0e-30f,     -1.0e-30f,
                          0.017453292f,   0.17453292f,   0.2617994f,   -0.08726646f,
                          1.0f,           1.4835298f,    -1.4835298f,  0.5235988f,
                          std::nextafter(0.2617994f, 1.0f)};
  std::mt19937_64 random(20171016);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (const float limit : limits) {
    const AltitudeLimit test = prepare_altitude_limit(limit);
    const double centre = std::tan(static_cast<double>(limit));
    int decided = 0;
    int compared = 0;
    for (int scale = -17; scale <= 0; ++scale) {
      for (int i = 0; i < 2000; ++i) {
        const double ratio = centre + unit(random) * std::ldexp(1.0, scale * 3) * (1.0 + std::fabs(centre));
        const AltitudeVerdict verdict = altitude_verdict(test, ratio);
        const bool above = altitude_of(ratio) > limit;
        if (verdict == AltitudeVerdict::Above) {
          ASSERT_TRUE(above) << std::hexfloat << limit << " " << ratio;
        } else if (verdict == AltitudeVerdict::Below) {
          ASSERT_FALSE(above) << std::hexfloat << limit << " " << ratio;
        }
        if (scale == 0 && verdict != AltitudeVerdict::Undecided) ++decided;
        ++compared;
      }
    }
    // The float neighbours of the limit's own tangent.
    for (double ratio = centre, k = 0; k < 50; ++k, ratio = std::nextafter(ratio, 10.0)) {
      const AltitudeVerdict verdict = altitude_verdict(test, ratio);
      if (verdict != AltitudeVerdict::Undecided) {
        ASSERT_EQ(verdict == AltitudeVerdict::Above, altitude_of(ratio) > limit);
      }
    }
    EXPECT_GT(decided, 1900) << limit;
    EXPECT_EQ(compared, 36000);
  }
}

TEST(AltitudeLimit, LimitsNearTheZenithAndNotANumberAreNeverDecided) {
  for (const float limit : {1.5f, 1.5707964f, -1.5707964f, 2.0f,
                            std::numeric_limits<float>::quiet_NaN()}) {
    const AltitudeLimit test = prepare_altitude_limit(limit);
    for (const double ratio : {0.0, 1.0, 1.0e3, 1.0e9, -1.0}) {
      EXPECT_EQ(altitude_verdict(test, ratio), AltitudeVerdict::Undecided) << limit;
    }
  }
  const AltitudeLimit test = prepare_altitude_limit(0.2f);
  EXPECT_EQ(altitude_verdict(test, std::numeric_limits<double>::quiet_NaN()),
            AltitudeVerdict::Undecided);
  EXPECT_EQ(altitude_verdict(test, std::numeric_limits<double>::infinity()),
            AltitudeVerdict::Above);
}

TEST(AltitudeLimit, EachLimitHasItsOwnBounds) {
  const double ratio = std::tan(0.2);  // 0.2 radians
  EXPECT_EQ(altitude_verdict(prepare_altitude_limit(0.1f), ratio), AltitudeVerdict::Above);
  EXPECT_EQ(altitude_verdict(prepare_altitude_limit(0.3f), ratio), AltitudeVerdict::Below);
}

}  // namespace
}  // namespace vespera
