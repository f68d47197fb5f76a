#include "elements/omm_epoch.h"

#include <charconv>
#include <cmath>

namespace vespera {
namespace {

constexpr int32_t kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int32_t kDaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kLastSecondOfMinute = 61.0;  // a leap second: 60.xxx

bool leap_year(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Reads exactly `count` digits at the front of `text`.
bool take_digits(std::string_view& text, std::size_t count, int32_t& value) {
  if (text.size() < count) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  text.remove_prefix(count);
  return true;
}

bool take(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

// The date: YYYY-MM-DD or YYYY-DDD; gives the year and the day of the year.
bool take_date(std::string_view& text, OmmEpoch& epoch) {
  int32_t month = 0;
  int32_t day = 0;
  if (!take_digits(text, 4, epoch.year) || !take(text, '-')) return false;
  if (text.size() >= 3 && text[2] != '-') {  // the day of the year
    if (!take_digits(text, 3, epoch.dayOfYear)) return false;
    return epoch.dayOfYear >= 1 && epoch.dayOfYear <= (leap_year(epoch.year) ? 366 : 365);
  }
  if (!take_digits(text, 2, month) || !take(text, '-') || !take_digits(text, 2, day)) return false;
  if (month < 1 || month > 12) return false;
  const int32_t leap = month >= 2 && leap_year(epoch.year) ? 1 : 0;
  if (day < 1 || day > kDaysInMonth[month] + (month == 2 ? leap : 0)) return false;
  epoch.dayOfYear = kDaysBeforeMonth[month] + (month > 2 ? leap : 0) + day;
  return true;
}

// The time: hh:mm:ss with an optional fraction of the second.
bool take_time(std::string_view& text, OmmEpoch& epoch) {
  int32_t hour = 0;
  int32_t minute = 0;
  if (!take_digits(text, 2, hour) || !take(text, ':') || !take_digits(text, 2, minute) ||
      !take(text, ':')) {
    return false;
  }
  std::size_t length = 0;
  while (length < text.size() && ((text[length] >= '0' && text[length] <= '9') || text[length] == '.')) {
    ++length;
  }
  double second = 0.0;
  if (length < 2 || text[0] == '.' || text[1] == '.' || (length > 2 && text[2] != '.')) return false;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + length, second);
  if (error != std::errc() || stop != text.data() + length) return false;
  text.remove_prefix(length);
  if (hour > 23 || minute > 59 || !(second < kLastSecondOfMinute)) return false;
  epoch.secondsOfDay = hour * kSecondsPerHour + minute * kSecondsPerMinute + second;
  return true;
}

}  // namespace

std::optional<OmmEpoch> parse_omm_epoch(std::string_view text) {
  OmmEpoch epoch;
  if (!take_date(text, epoch)) return std::nullopt;
  if (!text.empty() && (text.front() == 'T' || text.front() == 't' || text.front() == ' ')) {
    text.remove_prefix(1);
    if (!take_time(text, epoch)) return std::nullopt;
  }
  if (!text.empty() && (text.front() == 'Z' || text.front() == 'z')) text.remove_prefix(1);
  if (!text.empty()) return std::nullopt;
  return epoch;
}

}  // namespace vespera
