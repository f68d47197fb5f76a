// Inputs at the edges of what the reading code accepts, found by the fuzz
// targets of fuzz/ or on the way to them: every run ends in order, with
// status 0, and does no arithmetic that overflows (the sanitizer build of
// the suite runs the same program).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

// The dates of the day headers of a report.
std::vector<std::string> header_dates(const std::string& report) {
  std::vector<std::string> dates;
  for (const std::string& line : split_lines(report)) {
    if (auto header = parse_day_header(line)) dates.push_back(line.substr(5, 12));
  }
  return dates;
}

// Twilight mode raises the first and last day by one. A last day of
// 2147483647 wraps to the lowest 32-bit integer (it used to overflow), so
// the run covers its first night only, as for any last day below the first.
TEST(Robustness, LastDayAtTheEndOfTheIntegerRangeRunsTheFirstNightOnly) {
  Section widest;
  widest.days = "16 2147483647";
  Section single;
  single.days = "16";
  const RunResult wide = run_excerpt(widest);
  const RunResult one = run_excerpt(single);
  ASSERT_EQ(wide.exit_status, 0) << wide.out << wide.err;
  EXPECT_EQ(wide.report, one.report);
  EXPECT_EQ(wide.out, one.out);
  EXPECT_EQ(header_dates(wide.report), (std::vector<std::string>{"2017 Oct  16", "2017 Oct  17"}));
}

// Values far outside any sensible range are read and carried through the
// engine and the report without a fault: the report then shows asterisks
// where a value does not fit its field.
TEST(Robustness, ExtremeSettingsEndInOrder) {
  using Field = std::string Section::*;
  struct Case {
    const char* what;
    std::vector<std::pair<Field, const char*>> lines;
    const char* sky_limits = nullptr;   // line 16a
    const char* range_limit = nullptr;  // line 17a
  };
  const std::vector<Case> cases = {
      {"first day at the end of the range, absolute window",
       {{&Section::days, "2147483647"}, {&Section::window, "0 1 A"}}},
      {"first day at the start of the range", {{&Section::days, "-2147483647 -2147483647"}}},
      {"an 11-digit day", {{&Section::days, "99999999999 1"}}},
      {"latitude beyond the pole and a huge height",
       {{&Section::site, "999999999999999 75 999999999999999999999999999999 Nowhere"},
        {&Section::window, "0 1 A"}}},
      {"huge zone offset and magnitude limit",
       {{&Section::zone, "9999999999999 EDT 12"}, {&Section::magnitude_limit, "99999999999999999"}}},
      {"integer limits at the end of the range",
       {{&Section::equinox, "2147483647"},
        {&Section::min_altitude, "-2147483647"},
        {&Section::walk, "T 2147483647"},
        {&Section::ignore_shadow, "T"}}},
      {"sky region and range limit of huge values",
       {{&Section::selection, "AA"}, {&Section::format, "A       RL"}},
       "-9999999999 9999999999 -999999999999 99999999999",
       "99999999999999999999999999999999999"},
      {"tiny range limit, huge right ascension region",
       {{&Section::selection, "RD"}, {&Section::format, "B       RL"}},
       "99999999 99999999 -99999999 -9999999 -99999999 99999999",
       "0.0000000001"},
  };
  for (const Case& c : cases) {
    Section section;
    section.days = "16";
    for (const auto& [field, value] : c.lines) section.*field = value;
    if (c.sky_limits != nullptr) section.sky_limits = c.sky_limits;
    if (c.range_limit != nullptr) section.range_limit = c.range_limit;
    const RunResult result = run_excerpt(section);
    EXPECT_EQ(result.exit_status, 0) << c.what << "\n" << result.out << result.err;
    EXPECT_NE(result.out.find(" predictions written to file report.txt"), std::string::npos)
        << c.what << "\n" << result.out;
  }
}

}  // namespace
}  // namespace vespera::e2e
