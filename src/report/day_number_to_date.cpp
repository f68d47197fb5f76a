#include "report/day_number_to_date.h"

namespace vespera {

namespace {

constexpr std::string_view kMonthNames = "Jan Feb Mar Apr May JuneJulyAug SeptOct Nov Dec ";
constexpr std::string_view kWeekdayNames = "Wed Thu Fri Sat Sun Mon Tue ";
constexpr int32_t kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Day number of 1900 January 0, and of the fractional start of the year
// 1900 on the 365.25-day year used to find the year.
constexpr int32_t kDayNumber1900Jan0 = 15019;
constexpr float kDayNumber1900Start = 15018.76f;
constexpr float kDaysPerYear = 365.25f;
constexpr float kYearRoundingGuard = 0.00001f;

}  // namespace

ReportDate day_number_to_date(int32_t day_number) {
  const int32_t y = static_cast<int32_t>(
      static_cast<double>(day_number - kDayNumber1900Jan0) / static_cast<double>(kDaysPerYear) +
      static_cast<double>(kYearRoundingGuard));
  int32_t r = day_number -
              static_cast<int32_t>(static_cast<double>(y) * static_cast<double>(kDaysPerYear) +
                                   static_cast<double>(kDayNumber1900Start));
  int32_t month = 1;
  for (; month < 12; ++month) {
    int32_t length = kMonthLengths[month - 1];
    if (month == 2 && y % 4 == 0) length = 29;
    if (length >= r) break;
    r -= length;
  }
  ReportDate date;
  date.year = y + 1900;
  date.monthName = kMonthNames.substr(static_cast<std::size_t>(4 * (month - 1)), 4);
  date.dayOfMonth = r;
  return date;
}

std::string_view weekday_name(int32_t day_number) {
  int32_t k = day_number % 7;
  if (k < 0) k += 7;  // day numbers before 1858 (never reached) stay in the week
  return kWeekdayNames.substr(static_cast<std::size_t>(4 * k), 4);
}

int32_t month_of_name(std::string_view name) {
  const std::size_t at = kMonthNames.find(name);
  if (name.size() != 4 || at == std::string_view::npos || at % 4 != 0) return 0;
  return static_cast<int32_t>(at / 4 + 1);
}

bool is_weekday_abbreviation(std::string_view name) {
  const std::size_t at = kWeekdayNames.find(name);
  return name.size() == 3 && at != std::string_view::npos && at % 4 == 0;
}

}  // namespace vespera
