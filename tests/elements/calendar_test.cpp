#include "elements/calendar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "vocabulary/program_exit.h"
#include "support/temp_files.h"

namespace vespera {
namespace {

TEST(CalendarTest, WorkedDayNumbers) {
  struct Case {
    int32_t year, month, day_number;
  } const cases[] = {
      {1950, 1, 33281}, {2000, 1, 51543}, {2000, 3, 51603}, {2020, 12, 59183},
      {2099, 12, 88037}, {1951, 3, 33705}, {1952, 3, 34071}, {2017, 10, 58026},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(monthBaseDayNumber(c.year, c.month), c.day_number) << c.year << '-' << c.month;
  }
  // February of a leap year has 29 days.
  EXPECT_EQ(monthBaseDayNumber(1952, 3) - monthBaseDayNumber(1952, 2), 29);
  EXPECT_EQ(monthBaseDayNumber(1953, 3) - monthBaseDayNumber(1953, 2), 28);
}

void expect_stop(int32_t year, const std::string& message) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  try {
    monthBaseDayNumber(year, 1, out, err);
    ADD_FAILURE() << "year " << year << " did not stop the program";
  } catch (const ProgramExit& stop) {
    EXPECT_EQ(stop.status(), 0);
  }
  EXPECT_EQ(test::stream_text(out), message + "\n");
  EXPECT_EQ(test::stream_text(err), "STOP Error statement executed\n");
  std::fclose(out);
  std::fclose(err);
}

TEST(CalendarTest, YearsOutsideTheRangeStopTheProgram) {
  expect_stop(1949, "Year cannot be less than 1950");
  expect_stop(2100, "Year cannot be greater than 2099");
}

}  // namespace
}  // namespace vespera
