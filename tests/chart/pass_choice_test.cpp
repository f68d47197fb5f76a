// The passes a night's chart draws: at most the limit, the brightest first,
// listed in time order; the conditions of the options.
#include "chart/pass_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vespera::chart {
namespace {

// A pass of one point at `seconds` after 19:00 with the magnitude (or none)
// and the altitude.
ReportPass pass_of(int32_t ncat, const std::string& name, int32_t seconds, std::optional<double> magnitude,
                   double altitude = 40.0) {
  ReportPass p;
  p.identification.ncat = ncat;
  p.identification.name = name;
  p.identification.line_number = seconds + 1;
  ReportPoint point;
  point.date = LocalDate{2017, 10, 16};
  point.seconds_of_day = 19 * 3600 + seconds;
  auto& m = point.values[static_cast<std::size_t>(ReportField::Magnitude)];
  if (magnitude) m = PrintedValue{PrintedValue::State::Number, *magnitude, {}};
  point.values[static_cast<std::size_t>(ReportField::Altitude)] = PrintedValue{PrintedValue::State::Number, altitude, {}};
  p.points.push_back(point);
  return p;
}

std::vector<int32_t> numbers(const std::vector<ReportPass>& passes) {
  std::vector<int32_t> n;
  for (const ReportPass& p : passes) n.push_back(p.identification.ncat);
  return n;
}

TEST(PassChoice, TheBrightestUpToTheLimitInTimeOrder) {
  PassChoice choice;
  choice.limit = 3;
  NightPassChoice night(choice);
  // Magnitudes 5, 1, none, 3, 1 (a tie: the first in the report wins), 4, 2 ...
  const std::optional<double> mags[] = {5.0, 1.0, std::nullopt, 3.0, 1.0, 4.0, 2.0, 6.0, 0.5, 7.0};
  for (int i = 0; i < 10; ++i) night.offer(pass_of(100 + i, "SAT", 600 - 10 * i, mags[i]));
  EXPECT_EQ(night.passes(), 10u);
  EXPECT_EQ(night.matching(), 10u);
  EXPECT_EQ(numbers(night.take()), (std::vector<int32_t>{108, 104, 101}));  // 0.5, 1 and 1, in time order
  EXPECT_EQ(night.passes(), 0u);  // the next night starts afresh
}

TEST(PassChoice, PassesWithoutMagnitudeComeLastAndZeroTakesAll) {
  PassChoice choice;
  choice.limit = 2;
  NightPassChoice night(choice);
  night.offer(pass_of(1, "A", 30, std::nullopt));
  night.offer(pass_of(2, "B", 20, 9.0));
  night.offer(pass_of(3, "C", 10, std::nullopt));
  EXPECT_EQ(numbers(night.take()), (std::vector<int32_t>{2, 1}));  // 1 without a magnitude, in time order
  choice.limit = 0;
  for (int i = 0; i < 100; ++i) night.offer(pass_of(i, "A", 100 - i, 1.0));
  EXPECT_EQ(night.take().size(), 100u);
}

TEST(PassChoice, Conditions) {
  struct Case {
    std::vector<std::string> satellites;
    std::optional<double> brighter, higher;
    std::vector<int32_t> chosen;
  };
  const Case cases[] = {
      {{}, {}, {}, {25544, 877, 20580, 44713}},
      {{"25544"}, {}, {}, {25544}},
      {{"00877"}, {}, {}, {877}},
      {{"iss"}, {}, {}, {25544}},
      {{"r/b", "starlink"}, {}, {}, {877, 44713}},
      {{}, 2.0, {}, {25544, 20580}},   // brighter than 2: not 2 itself
      {{}, {}, 40.0, {25544, 44713}},  // higher than 40: not 40 itself
      {{"SL", "ISS"}, 3.0, 50.0, {25544}},
  };
  for (const Case& c : cases) {
    PassChoice choice;
    choice.satellites = c.satellites;
    choice.brighterThan = c.brighter;
    choice.higherThan = c.higher;
    NightPassChoice night(choice);
    night.offer(pass_of(25544, "ISS (ZARYA)", 0, -2.0, 67.0));
    night.offer(pass_of(877, "SL-3 R/B", 10, 3.5, 40.0));
    night.offer(pass_of(20580, "HST", 20, 1.5, 30.0));
    night.offer(pass_of(44713, "STARLINK-1007", 30, 2.0, 41.0));
    EXPECT_EQ(night.matching(), c.chosen.size());
    EXPECT_EQ(numbers(night.take()), c.chosen);
  }
}

}  // namespace
}  // namespace vespera::chart
