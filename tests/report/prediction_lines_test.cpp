#include "report/prediction_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "report_test_support.h"

namespace vespera {
namespace {

using report_test::example_record;
using report_test::radians;
using report_test::settings_for;
using report_test::ut;

// The worked example at 20:15:05 UT with an EW value of 1.2.
std::string line_of(const PredictionRecord& r, const RunSettings& s, bool new_pass = true,
                    const MagnitudeInfo& info = MagnitudeInfo()) {
  LineValues v;
  compute_line_values(r, ut(0, 20, 15, 5), s, 700.0f, v);
  v.ew = 1.2f;
  std::string out;
  append_prediction_line(out, r, v, s, new_pass, info);
  return out;
}

MagnitudeInfo demo_info(int32_t level) {
  MagnitudeInfo info;
  info.infoLevel = level;
  info.name = FixedText<16>("DEMO SAT");
  info.crossSection = FixedText<4>("10.0");
  info.flag = 'd';
  return info;
}

TEST(PredictionLine, WorkedExamples) {
  EXPECT_EQ(line_of(example_record(), settings_for('A')),
            "20 15  5     45 123 C  90  2.5   3 4  4001500  560 1.2  80 1430  25.4\n");
  EXPECT_EQ(line_of(example_record(), settings_for('R')), "20 15  5     45 123 C   3 4  400  560\n");
  EXPECT_EQ(line_of(example_record(), settings_for('B'), true, demo_info(3)),
            "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.410.0 dDEMO SAT      \n");
}

TEST(PredictionLine, AngleColumnsOfTheLongLayouts) {
  EXPECT_EQ(line_of(example_record(), settings_for('D')),
            "20 15  5     123 45 C  90  2.5   3 4  4001500  560 1.2  80 1430  25.4\n");
  EXPECT_EQ(line_of(example_record(), settings_for('E')),
            "20 15  5     123.00 45.00 C  90  2.5   3 4  4001500  560 1.2  80 1430  25.4\n");
  EXPECT_EQ(line_of(example_record(), settings_for('C'), false),
            "20 15  5     45 123C  90  2.5   3 4  4001500  560 1430 25.4\n");
}

TEST(PredictionLine, SkyLayoutTailByInfoLevel) {
  const RunSettings b = settings_for('B');
  const std::string values = "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.4";
  EXPECT_EQ(line_of(example_record(), b, true, demo_info(1)), values + "       12345\n");
  EXPECT_EQ(line_of(example_record(), b, true, demo_info(2)), values + "      DEMO SAT      \n");
  for (int32_t level = 3; level <= 8; ++level) {
    EXPECT_EQ(line_of(example_record(), b, true, demo_info(level)),
              values + "10.0 dDEMO SAT      \n")
        << level;
  }
  // From 100000 on the number is written in the Alpha-5 form.
  PredictionRecord alpha5 = example_record();
  alpha5.ncat = 100057;
  EXPECT_EQ(line_of(alpha5, b, true, demo_info(1)), values + "       A0057\n");
  // A continuation line ends with the declination, whatever the level.
  EXPECT_EQ(line_of(example_record(), b, false, demo_info(1)), values + "\n");
  EXPECT_EQ(line_of(example_record(), b, false, demo_info(8)), values + "\n");
}

TEST(PredictionLine, SkyLayoutWithPhaseAngle) {
  RunSettings c = settings_for('C');
  c.rangePhaseLetter = 'P';
  const std::string line = line_of(example_record(), c, true, demo_info(3));
  EXPECT_EQ(line, "20 15  5     45 123C  90  2.5   3 4  4001500  80 1430 25.410.0 dDEMO SAT      \n");
  EXPECT_EQ(line.substr(48, 3), " 14");  // right ascension from column 49
  EXPECT_EQ(line.substr(44, 4), "  80");  // phase angle in columns 45-48
}

TEST(PredictionLine, RangeTooWideForKilometres) {
  PredictionRecord r = example_record();
  r.range = 62138.0f;
  RunSettings a = settings_for('A');
  EXPECT_EQ(line_of(r, a).substr(45, 5), "*****");
  a.distancesInMiles = true;
  EXPECT_EQ(line_of(r, a).substr(45, 5), "62138");
  EXPECT_EQ(line_of(r, settings_for('B'), false).substr(44, 5), "*****");
  EXPECT_EQ(line_of(r, settings_for('R')).substr(32, 5), "*****");
}

TEST(PredictionLine, FieldEdges) {
  PredictionRecord r = example_record();
  r.declination = -90.0f;
  r.magnitude = -0.04f;
  // Declination -90.0 fills F5.1 in B and C, and the last five of F6.1.
  EXPECT_EQ(line_of(r, settings_for('A')),
            "20 15  5     45 123 C  90  0.0   3 4  4001500  560 1.2  80 1430 -90.0\n");
  EXPECT_EQ(line_of(r, settings_for('C'), false),
            "20 15  5     45 123C  90  0.0   3 4  4001500  560 1430-90.0\n");

  LineValues v;
  compute_line_values(example_record(), ut(0, 20, 15, 5), settings_for('A'), 700.0f, v);
  std::string out;
  // The first float at or above 99.95 rounds to 100.0, too wide for F4.1;
  // the float nearest 99.95 lies just below it and prints 99.9.
  v.ew = std::nextafter(99.95f, 100.0f);
  append_prediction_line(out, example_record(), v, settings_for('A'), true, MagnitudeInfo());
  EXPECT_EQ(out.substr(50, 4), "****");
  out.clear();
  v.ew = 99.95f;
  append_prediction_line(out, example_record(), v, settings_for('A'), true, MagnitudeInfo());
  EXPECT_EQ(out.substr(50, 4), "99.9");
}

TEST(PredictionLine, TimingErrorAndWalkState) {
  PredictionRecord r = example_record();
  r.time_error = 4;
  r.walk_state = 2;
  EXPECT_EQ(line_of(r, settings_for('A')),
            "20 15  5   4 45 123    90  2.5   3 4  4001500  560 1.2  80 1430  25.4\n");
  r.time_error = 500;
  EXPECT_EQ(line_of(r, settings_for('R')), "20 15  5 500 45 123     3 4  400  560\n");
}

TEST(PredictionLine, AzimuthNearNorthInEveryLayout) {
  PredictionRecord r = example_record();
  r.azimuth = radians(359.6);
  EXPECT_EQ(line_of(r, settings_for('A')).substr(12, 7), " 45   0");
  RunSettings a = settings_for('A');
  a.azimuthLetter = 'A';
  EXPECT_EQ(line_of(r, a).substr(12, 7), " 45 180");
  RunSettings e = settings_for('E');
  e.azimuthLetter = 'A';
  EXPECT_EQ(line_of(r, e).substr(12, 13), " 359.60 45.00");
}

}  // namespace
}  // namespace vespera
