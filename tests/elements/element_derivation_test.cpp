#include "elements/element_derivation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "elements/element_reader.h"
#include "element_test_support.h"

namespace vespera {
namespace {

// |actual - expected| within a few units of single precision of `expected`.
void expect_float_precision(float actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, 4.0 * std::abs(expected) * 0x1p-24) << what;
}

// The ISS set of 2018 January 20 (NCAT 25544), read from its three lines. The
// expected values were worked out from the fields as the reader cuts them
// (inclination 51.642, node 32.977, eccentricity 0.000364, perigee 28.722,
// mean anomaly 39.533, mean motion 15.5419, fraction 0.898088, n-dot/2
// 0.0000207) with the formulas of the derivation in double precision
// throughout (python3), so they differ from the single-precision results by
// rounding only:
//   a = 6.6229515 / n^0.66666667 * 6378.388 = 6783.072128608869 km
//   p = a (1 - e^2), G2 = 66081 / p^2, G4 = 1.55565e10 / p^4, and the node and
//   perigee rates per radian times 2 pi; X = 39.533 / 360, T = X / n.
TEST(ElementDerivationTest, IssSetAgreesWithTheHandDerivation) {
  test::ElementHarness harness;
  // Element file names are 40-character fields: the bundled file is copied to
  // a short path so that the test does not depend on where the tree lies.
  test::TempDir dir;
  const std::string path = dir.path("iss.tle");
  std::filesystem::copy_file(std::string(VESPERA_TEST_DATA) + "/iss-25544.tle", path);
  ElementFile file;
  ASSERT_TRUE(file.open(FileName(path)));
  ElementSet set;
  ASSERT_EQ(readElementSet(file, harness.context(), set), 0);
  EXPECT_EQ(harness.console_text(), "");

  EXPECT_EQ(set.name.str(), "ISS (ZARYA)     ");
  EXPECT_EQ(set.ncat, 25544);
  EXPECT_EQ(set.epochDay, 58138);  // 2018 January 20
  expect_float_precision(semiMajorAxisKm(15.5419f), 6783.072128608869, "a");
  expect_float_precision(set.inclination, 0.9013229323149118, "inclination");
  expect_float_precision(set.eccentricity, 0.000364, "eccentricity");
  expect_float_precision(set.meanMotionDot, 0.0000207, "meanMotionDot");
  expect_float_precision(set.nodePerRev, -0.005600816358634969, "nodePerRev");
  expect_float_precision(set.perigeePerRev, 0.0041628119142922415, "perigeePerRev");
  expect_float_precision(set.epochFraction, 0.8910223330681005, "epochFraction");
  expect_float_precision(set.meanMotion, 15.54189970748139, "meanMotion");
  expect_float_precision(set.nodeRa, 0.5761722748554642, "nodeRa");
  expect_float_precision(set.argPerigee, 0.50083633319279, "argPerigee");
  EXPECT_EQ(readElementSet(file, harness.context(), set), 1);
}

TEST(ElementDerivationTest, SecularRatesOfSimpleOrbits) {
  // A polar circular orbit: the node stands still; the perigee turns
  // backwards (2 - 2.5 sin^2 i < 0).
  const float half_pi = 1.5707964f;
  SecularRates polar = secularRatesPerRevolution(half_pi, 7000.0f, 0.0f);
  EXPECT_NEAR(polar.node, 0.0f, 1e-9f);
  EXPECT_LT(polar.perigee, 0.0f);
  // An equatorial circular orbit at 7000 km: the J2 term alone is
  // -G2 (1 + G2 (1.5 - 2 - 1.6666667 + 3) ...) with G2 = 66081 / 7000^2.
  const SecularRates equatorial = secularRatesPerRevolution(0.0f, 7000.0f, 0.0f);
  const double g2 = 66081.0 / 49e6;
  const double g4 = 1.55565e10 / (49e6 * 49e6);
  expect_float_precision(equatorial.node,
                         -g2 * (1.0 + g2 * (1.5 - 2.0)) - g4 * 0.85714287, "equatorial node");
  expect_float_precision(equatorial.perigee,
                         2.0 * g2 * (1.0 + g2 * (2.0 - 2.0)) + g4 * 1.714286, "equatorial perigee");
}

TEST(ElementDerivationTest, NumbersThatGiveNoOrbitAreRefused) {
  const LineTwoElements good{51.642f, 32.977f, 0.000364f, 28.722f, 39.533f, 15.5419f};
  ElementSet set;
  EXPECT_TRUE(deriveElementSet(good, set));

  struct Case {
    float eccentricity, mean_motion;
  } const refused[] = {
      {-0.0001f, 15.5f}, {1.0f, 15.5f}, {2.0f, 15.5f}, {0.5f, 0.0f}, {0.5f, -3.0f},
      {NAN, 15.5f},      {0.5f, NAN},   {0.5f, INFINITY},
      // Extreme but decodable: p is a few metres, the rates overflow single precision.
      {0.999999f, 999999999.0f},
  };
  for (const Case& c : refused) {
    LineTwoElements line2 = good;
    line2.eccentricity = c.eccentricity;
    line2.meanMotion = c.mean_motion;
    ElementSet refused_set;
    EXPECT_FALSE(deriveElementSet(line2, refused_set)) << c.eccentricity << ' ' << c.mean_motion;
  }
}

}  // namespace
}  // namespace vespera
