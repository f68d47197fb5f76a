#include "report/line_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "report_test_support.h"

namespace vespera {
namespace {

using report_test::example_record;
using report_test::radians;
using report_test::settings_for;
using report_test::ut;

LineValues values_of(const PredictionRecord& r, float t, const RunSettings& s,
                     float rate = 700.0f) {
  LineValues v;
  compute_line_values(r, t, s, rate, v);
  return v;
}

struct LocalTimeCase {
  float t;
  float zone;
  int32_t clock;
  int32_t day, half, hour, minute, second;
};

TEST(LocalTime, ZoneOffsetTruncationAndClock) {
  const LocalTimeCase cases[] = {
      {ut(3, 20, 15, 5), 0.0f, 24, 3, 2, 20, 15, 5},
      // 59.9 seconds are cut to 59, the minute stays
      {ut(3, 20, 15, 59.4), 0.0f, 24, 3, 2, 20, 15, 59},
      // 23:30 UT two hours east: 1:30 of the next local day, morning
      {ut(5, 23, 30, 0), 2.0f, 24, 6, 1, 1, 30, 0},
      // 0:30 UT one hour west: 23:30 of the previous local day, evening
      {ut(5, 0, 30, 0), -1.0f, 24, 4, 2, 23, 30, 0},
      // 12-hour clock: 0:10 is 12 in the morning, 12:10 is 12 in the
      // evening, 13:10 is 1 in the evening
      {ut(2, 0, 10, 0), 0.0f, 12, 2, 1, 12, 10, 0},
      {ut(2, 12, 10, 0), 0.0f, 12, 2, 2, 12, 10, 0},
      {ut(2, 13, 10, 0), 0.0f, 12, 2, 2, 1, 10, 0},
      {ut(2, 11, 59, 0), 0.0f, 12, 2, 1, 11, 59, 0},
      {ut(2, 13, 10, 0), 0.0f, 24, 2, 2, 13, 10, 0},
      // a fractional zone offset
      {ut(2, 3, 0, 0), -3.5f, 24, 1, 2, 23, 30, 0},
  };
  for (const LocalTimeCase& c : cases) {
    const LocalTime local = local_time(c.t, c.zone, c.clock);
    SCOPED_TRACE(testing::Message() << "t=" << c.t << " zone=" << c.zone);
    EXPECT_EQ(local.day, c.day);
    EXPECT_EQ(local.half, c.half);
    EXPECT_EQ(local.hour, c.hour);
    EXPECT_EQ(local.minute, c.minute);
    EXPECT_EQ(local.second, c.second);
  }
}

TEST(LocalTime, SecondsAreCutNotRounded) {
  // 20:15:59.9 exactly (the helper's half second would carry it over).
  const float t = report_test::ut_exact(0, 20, 15, 59.9);
  const LocalTime local = local_time(t, 0.0f, 24);
  EXPECT_EQ(local.minute, 15);
  EXPECT_EQ(local.second, 59);
}

TEST(LineValues, AzimuthRoundingWrapAndLetterA) {
  PredictionRecord r = example_record();
  r.azimuth = radians(359.6);
  RunSettings s = settings_for('A');
  EXPECT_EQ(values_of(r, 1.0f, s).az, 0);
  s.azimuthLetter = 'A';
  EXPECT_EQ(values_of(r, 1.0f, s).az, 180);
  r.azimuth = radians(123.0);
  EXPECT_EQ(values_of(r, 1.0f, s).az, 303);
  r.azimuth = radians(180.2);
  EXPECT_EQ(values_of(r, 1.0f, s).az, 0);

  // Format E shows the unrounded angles, neither wrapped nor turned.
  r.azimuth = radians(359.6);
  r.altitude = radians(12.345);
  RunSettings e = settings_for('E');
  e.azimuthLetter = 'A';
  const LineValues v = values_of(r, 1.0f, e);
  EXPECT_EQ(v.angles(), " 359.60 12.35");
  EXPECT_EQ(v.az, 180);
}

TEST(LineValues, AltitudeAndAzimuthRoundHalfUp) {
  PredictionRecord r = example_record();
  r.altitude = radians(44.6);
  r.azimuth = radians(122.4);
  const LineValues v = values_of(r, 1.0f, settings_for('A'));
  EXPECT_EQ(v.alt, 45);
  EXPECT_EQ(v.az, 122);
  EXPECT_EQ(v.angles(), " 45 122");
}

TEST(LineValues, AngleTextPerFormat) {
  const PredictionRecord r = example_record();
  const struct {
    char letter;
    const char* text;
  } cases[] = {{'A', " 45 123"}, {'B', " 123 45"}, {'C', " 45 123"}, {'D', " 123 45"},
               {'E', " 123.00 45.00"}, {'R', ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(values_of(r, 1.0f, settings_for(c.letter)).angles(), c.text) << c.letter;
  }
}

// The unrounded degrees of format E are single-precision items: where the
// double product and its float fall on either side of a half-hundredth, the
// line shows the float's digits.
TEST(LineValues, FormatEAnglesAreEditedAsSinglePrecision) {
  // x with two decimals in `width` columns (C's rounding of the exact value).
  const auto printed = [](int width, double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%*.2f", width, x);
    return std::string(text);
  };
  const auto product = [](float radians) { return static_cast<double>(radians) * 57.29578f; };
  // An azimuth (7 columns), then an altitude (6), whose double and float
  // products print differently.
  std::vector<float> found;
  for (const int width : {7, 6}) {
    const float start = width == 7 ? 1.0f : 0.1f;
    for (uint32_t i = 0;; ++i) {
      const float radians = start + static_cast<float>(i) * 3.0e-7f;
      if (printed(width, product(radians)) != printed(width, static_cast<float>(product(radians)))) {
        found.push_back(radians);
        break;
      }
    }
  }
  PredictionRecord r = example_record();
  r.azimuth = found[0];
  r.altitude = found[1];
  const std::string expected = printed(7, static_cast<float>(product(found[0]))) +
                               printed(6, static_cast<float>(product(found[1])));
  EXPECT_EQ(values_of(r, 1.0f, settings_for('E')).angles(), expected);
  EXPECT_NE(values_of(r, 1.0f, settings_for('E')).angles(),
            printed(7, product(found[0])) + printed(6, product(found[1])));
}

TEST(LineValues, RangeInKilometresOrMiles) {
  PredictionRecord r = example_record();
  r.range = 62138.0f;
  RunSettings b = settings_for('B');
  LineValues v = values_of(r, 1.0f, b);
  EXPECT_EQ(v.rng, 100001);
  EXPECT_EQ(v.distance(), "*****");
  b.distancesInMiles = true;
  v = values_of(r, 1.0f, b);
  EXPECT_EQ(v.rng, 62138);
  EXPECT_EQ(v.distance(), "62138");
}

TEST(LineValues, DistanceTextWithPhase) {
  RunSettings c = settings_for('C');
  c.rangePhaseLetter = 'P';
  const LineValues v = values_of(example_record(), 1.0f, c);
  EXPECT_EQ(v.distance(), "  80");
  EXPECT_EQ(values_of(example_record(), 1.0f, settings_for('A')).distance(), "");
}

TEST(LineValues, TimingErrorText) {
  PredictionRecord r = example_record();
  const struct {
    int32_t error;
    const char* text;
  } cases[] = {{0, "    "}, {3, "    "}, {4, "   4"}, {500, " 500"}};
  for (const auto& c : cases) {
    r.time_error = c.error;
    EXPECT_EQ(values_of(r, 1.0f, settings_for('A')).tim_text.view(), c.text) << c.error;
  }
}

TEST(LineValues, FoundPointMark) {
  PredictionRecord r = example_record();
  for (int16_t state : {0, 1, 2}) {
    r.walk_state = state;
    EXPECT_EQ(values_of(r, 1.0f, settings_for('A')).c_text, state == 0 ? 'C' : ' ');
  }
}

TEST(LineValues, RightAscensionRoundsToTheMinute) {
  PredictionRecord r = example_record();
  const struct {
    float ra;
    int32_t hours, minutes;
  } cases[] = {{23.996f, 0, 0}, {14.49f, 14, 29}, {14.5f, 14, 30}, {0.0f, 0, 0}, {23.99f, 23, 59}};
  for (const auto& c : cases) {
    r.right_ascension = c.ra;
    const LineValues v = values_of(r, 1.0f, settings_for('A'));
    EXPECT_EQ(v.rah, c.hours) << c.ra;
    EXPECT_EQ(v.ram, c.minutes) << c.ra;
  }
}

TEST(LineValues, EastWestRate) {
  // Due south at the horizon the whole site rate shows; overhead none of the
  // sine term: ew = rate * sqrt(1 - sin^2(az) cos^2(alt)) / range + 0.25 cos(dec).
  PredictionRecord r = example_record();
  r.azimuth = radians(180.0);
  r.altitude = 0.0f;
  r.range = 500.0f;
  r.declination = 0.0f;
  EXPECT_NEAR(values_of(r, 1.0f, settings_for('A'), 700.0f).ew, 700.0 / 500.0 + 0.25, 1e-5);
  r.azimuth = radians(90.0);
  EXPECT_NEAR(values_of(r, 1.0f, settings_for('A'), 700.0f).ew, 0.25, 1e-3);
  r.declination = 60.0f;
  r.azimuth = radians(180.0);
  EXPECT_NEAR(values_of(r, 1.0f, settings_for('A'), 700.0f).ew, 1.4 + 0.125, 1e-5);
}

}  // namespace
}  // namespace vespera
