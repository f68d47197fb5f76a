// Day numbers: signed 32-bit counts of days on the Modified Julian Day scale.
// 33281 is 1950 January 0 (1949 December 31); 51544 is 2000 January 1.
#pragma once

#include <cstdint>
#include <cstdio>

namespace vespera {

inline constexpr int32_t kFirstYear = 1950;
inline constexpr int32_t kLastYear = 2099;
// Day number of 1950 January 0, the origin of the engine's day count.
inline constexpr int32_t kDayNumber1950Jan0 = 33281;
// Julian date of day number 0 (MJD 0).
inline constexpr double kJulianDateOfDayNumberZero = 2400000.5;

// monthBaseDayNumber: the day number of day 0 of the given month (the last day
// of the preceding month). Add the day of the month to get a date's day
// number; with month 1, add the day of the year.
// Given: a four-digit year and a month 1-12 (not range-checked here).
// A year outside 1950-2099 writes "Year cannot be less than 1950" or "Year
// cannot be greater than 2099" on `console`, then "STOP Error statement
// executed" on `error_stream`, and throws ProgramExit(0): the program ends.
int32_t monthBaseDayNumber(int32_t year, int32_t month, std::FILE* console = stdout,
                           std::FILE* error_stream = stderr);

}  // namespace vespera
