#include "prediction/brightness.h"

#include <gtest/gtest.h>

#include <cmath>

#include "observation_bench.h"

namespace vespera {
namespace {

TEST(BrightnessTest, CrossSectionMagnitude) {
  struct Case {
    const char* text;
    int32_t ncat;
    double expected;
  } const cases[] = {
      {"  12", 25544, 6.5 - 2.5 * std::log10(12.0)},
      {"12  ", 25544, 6.5 - 2.5 * std::log10(12.0)},
      {"1 2 ", 25544, 6.5 - 2.5 * std::log10(12.0)},  // blanks are skipped before the point
      {"10.5", 25544, 6.5 - 2.5 * std::log10(10.5)},
      {" 0.5", 25544, 6.5 - 2.5 * std::log10(0.5)},
      {"   1", 25544, 6.5},
      {"1.5 ", 25544, 7.0},  // a blank after the decimal point
      {"    ", 27562, 4.0},  // above the boundary
      {"    ", 27561, 7.0},  // at the boundary
      {"0.00", 27562, 4.0},  // no positive cross-section
      {"   .", 25544, 7.0},
      {"-1.0", 25544, 7.0},
      {"1e2 ", 25544, 7.0},
      {"1..5", 25544, 7.0},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(cross_section_magnitude(c.ncat, FixedText<4>(c.text), 27561),
                    static_cast<float>(c.expected))
        << '"' << c.text << '"';
  }
  // The boundary comes from the catalogue.
  EXPECT_EQ(cross_section_magnitude(100, FixedText<4>("    "), 99), 4.0f);
}

TEST(BrightnessTest, PhaseFunctionFromFullToNew) {
  // 2.001 is the single-precision constant, 2.00099993.
  EXPECT_NEAR(phase_function(1.0f), 1.00025, 1e-7);   // phase 0
  EXPECT_NEAR(phase_function(0.0f), 0.50025, 1e-7);   // phase 90
  EXPECT_NEAR(phase_function(-1.0f), 0.00025, 1e-7);  // phase 180
  // At 1000 km and the zenith only the phase term is left.
  EXPECT_NEAR(magnitude_offset(621.37f, phase_function(1.0f), 1.0f), -2.5 * std::log10(1.00025),
              1e-7);
  // Twice the range is 5 log10 2 fainter; air mass 2 adds 0.3.
  EXPECT_NEAR(magnitude_offset(1242.74f, 1.0f, 0.5f), 5.0 * std::log10(2.0) + 0.3, 1e-5);
}

// A point overhead at `range` miles, sun opposite it in
// right ascension on the equator: fully lit (cos_beta 1).
PointObservation lit_point(float range) {
  PointObservation point;
  point.ra = 0.0f;
  point.sin_dec = 0.0f;
  point.cos_dec = 1.0f;
  point.range = range;
  point.sin_alt = 1.0f;
  return point;
}

TEST(BrightnessTest, UnknownMagnitudeIsJudgedByItsCrossSection) {
  const WalkSun sun{3.1415927f, 0.0f, 1.0f};
  const FixedText<4> cross("  25");  // 6.5 - 2.5 log10 25 = 3.005
  // dm near 1.9 passes a limit of 5.0; near 2.1 it does not.
  PointObservation near = lit_point(1490.6f);
  EXPECT_FALSE(estimate_brightness(near, sun, 20.0f, cross, 25544, 5.0f, 27561));
  EXPECT_EQ(near.cos_beta, 1.0f);
  EXPECT_NEAR(near.magnitude, 21.9, 0.01);  // 20.0 + dm is stored
  EXPECT_EQ(near.phase_angle, 0);
  EXPECT_TRUE(near.bright_enough);

  PointObservation far = lit_point(1630.6f);
  EXPECT_TRUE(estimate_brightness(far, sun, 20.0f, cross, 25544, 5.0f, 27561));
  EXPECT_FALSE(far.bright_enough);

  // A known magnitude is judged by itself.
  PointObservation known = lit_point(1490.6f);
  EXPECT_TRUE(estimate_brightness(known, sun, 3.2f, cross, 25544, 5.0f, 27561));
  EXPECT_NEAR(known.magnitude, 5.1, 0.01);
}

TEST(BrightnessTest, PhaseAngleInWholeDegrees) {
  // Sun at the celestial pole, satellite on the equator: phase 90.
  const WalkSun sun{0.0f, 1.0f, 0.0f};
  PointObservation point = lit_point(621.37f);
  EXPECT_FALSE(estimate_brightness(point, sun, 2.0f, FixedText<4>(), 1, 12.0f, 27561));
  EXPECT_EQ(point.phase_angle, 90);
  EXPECT_NEAR(point.magnitude, 2.0 - 2.5 * std::log10(0.50025), 1e-5);
}

TEST(BrightnessTest, StandardMagnitudeComesFromTheCatalogue) {
  testing::ObservationBench bench;
  MagnitudeTable& table = bench.catalogue->table;
  table.count = 2;
  table[1].ncat = 25544;
  table[1].magnitude = 3.5f;
  table[2].ncat = 30000;
  table[2].magnitude = 0.0f;  // not known
  table[2].crossSection = FixedText<4>("  10");
  const WalkSun sun{3.1415927f, 0.0f, 1.0f};
  PointObservation point;
  float limit = bench.settings.magnitudeLimit;
  // Whether the point is too faint, with the catalogue's standard magnitude.
  const auto too_faint = [&](int32_t ncat) {
    const StandardMagnitude standard = standard_magnitude(*bench.catalogue, ncat);
    EXPECT_EQ(standard.ncat, ncat);
    return estimate_brightness(point, sun, standard.magnitude, standard.crossSection, ncat, limit,
                               bench.boundary);
  };

  point = lit_point(621.37f);
  EXPECT_FALSE(too_faint(25544));
  EXPECT_NEAR(point.magnitude, 3.5, 0.001);

  limit = 4.0f;  // cross-section 10 gives 4.0; dm is just below 0
  point = lit_point(621.37f);
  EXPECT_FALSE(too_faint(30000));
  EXPECT_NEAR(point.magnitude, 20.0, 0.001);
  limit = 3.9f;
  EXPECT_TRUE(too_faint(30000));
}

}  // namespace
}  // namespace vespera
