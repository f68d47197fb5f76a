#include "elements/calendar.h"

#include "format/format_writer.h"
#include "vocabulary/program_exit.h"

namespace vespera {
namespace {

// Days before the first of each month in a common year, months 1 to 12.
constexpr int32_t kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

[[noreturn]] void stop_on_year(std::FILE* console, std::FILE* error_stream, const char* format) {
  write_formatted(console, format);
  std::fflush(console);
  write_formatted(error_stream, "('STOP ',a,' statement executed')", {"Error"});
  throw ProgramExit(0);
}

}  // namespace

int32_t monthBaseDayNumber(int32_t year, int32_t month, std::FILE* console,
                           std::FILE* error_stream) {
  if (year < kFirstYear) stop_on_year(console, error_stream, "('Year cannot be less than 1950')");
  if (year > kLastYear) stop_on_year(console, error_stream, "('Year cannot be greater than 2099')");
  const int32_t y = year - 1949;
  // Month 1..12 indexes the table; callers never pass another month.
  const int32_t month_index = (month >= 1 && month <= 12) ? month - 1 : 0;
  int32_t day_number = kDaysBeforeMonth[month_index] + y / 4 + 365 * y + 32916;
  if (month > 2 && (year - 1952) % 4 == 0) day_number += 1;
  return day_number;
}

}  // namespace vespera
