// Calendar dates of day numbers, for the report's day headers.
#pragma once

#include <cstdint>
#include <string_view>

namespace vespera {

struct ReportDate {
  int32_t year = 0;             // four digits
  std::string_view monthName;   // 4 characters: "Jan ", ..., "June", "July", "Sept", ...
  int32_t dayOfMonth = 0;
};

// day_number_to_date: given a day number (Modified Julian Day count; exact for
// the years 1901-2099), returned: the year, the 4-character month name and
// the day of the month.
ReportDate day_number_to_date(int32_t day_number);

// weekday_name: given a day number, returned: its weekday as a 4-character
// entry, "Wed " for day number 0; the report prints the first three.
std::string_view weekday_name(int32_t day_number);

// month_of_name: the month (1-12) whose 4-character name a day header
// prints, or 0 when `name` is none of them.
int32_t month_of_name(std::string_view name);

// is_weekday_abbreviation: whether `name` is the 3-letter weekday a day
// header prints.
bool is_weekday_abbreviation(std::string_view name);

}  // namespace vespera
