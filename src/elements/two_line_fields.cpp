#include "elements/two_line_fields.h"

#include <charconv>
#include <cmath>
#include <string>

#include "elements/calendar.h"
#include "format/catalogue_number.h"
#include "format/column_decoder.h"
#include "format/text_record.h"

namespace vespera {
namespace {

// A two-digit epoch year below this is 20yy, else 19yy.
constexpr int32_t kFirstCenturyYear = 55;
// Scale of an eccentricity written as digits with an implied leading point.
constexpr float kImpliedPointScale = 0.000001f;

// The characters of columns first..last without blanks and plus signs.
std::string packed_columns(std::string_view record, int first, int last) {
  std::string packed;
  for (char c : columns(record, first, last)) {
    if (c != ' ' && c != '+') packed.push_back(c);
  }
  return packed;
}

// A decimal number that is the whole of `text`, finite.
bool read_decimal(std::string_view text, double& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

bool read_decimal_columns(std::string_view record, int first, int last, double& value) {
  return read_decimal(packed_columns(record, first, last), value);
}

// Digits with an implied leading point: "0006703" is 0.0006703. A field
// written with its point is read as it stands.
bool read_implied_point_columns(std::string_view record, int first, int last, double& value) {
  const std::string digits = packed_columns(record, first, last);
  if (digits.find('.') != std::string::npos) return read_decimal(digits, value);
  return !digits.empty() && digits.front() != '-' && read_decimal("0." + digits, value);
}

// The drag term's layout: a sign, digits with an implied leading point, then
// the power of ten with its sign ("-11606-4" is -0.11606e-4).
bool read_exponent_columns(std::string_view record, int first, int last, double& value) {
  const std::string field = packed_columns(record, first, last);
  const std::size_t power = field.find_last_of('-');
  const bool has_power = power != std::string::npos && power > 0;
  std::string mantissa = field.substr(0, has_power ? power : field.size());
  std::string exponent = has_power ? field.substr(power) : std::string("0");
  // Without a sign of its own, the power is the field's last digit.
  if (!has_power && mantissa.size() >= 2) {
    exponent = mantissa.substr(mantissa.size() - 1);
    mantissa.pop_back();
  }
  const bool negative = !mantissa.empty() && mantissa.front() == '-';
  if (negative) mantissa.erase(0, 1);
  if (mantissa.empty() || mantissa.find_first_not_of("0123456789") != std::string::npos) return false;
  return read_decimal((negative ? "-0." : "0.") + mantissa + "e" + exponent, value);
}

}  // namespace

bool decode_set_number(std::string_view record, int32_t& ncat) {
  bool error = false;
  decodeCatalogueNumber(record, 3, 7, ncat, error);
  return !error;
}

bool decode_line_one(std::string_view record, std::FILE* console, LineOneFields& fields) {
  bool error = false;
  int32_t year = 0;
  int32_t day_of_year = 0;
  decodeColumnField(record, 19, 20, year, error);
  decodeColumnField(record, 21, 23, day_of_year, error);
  if (!decode_line_one_reals(record, fields) || error) return false;
  // Two columns hold -9..99, so the calendar year is 1955..2054: always
  // inside the calendar's range.
  if (year < kFirstCenturyYear) year += 100;
  fields.epochDay = monthBaseDayNumber(year + 1900, 1, console) + day_of_year;
  return true;
}

bool decode_line_one_reals(std::string_view record, LineOneFields& fields) {
  bool error = false;
  decodeColumnField(record, 24, 30, fields.epochFraction, error);
  decodeColumnField(record, 33, 42, fields.meanMotionDot, error);
  return !error;
}

bool decode_line_two(std::string_view record, LineTwoElements& line2) {
  bool error = false;
  decodeColumnField(record, 9, 15, line2.inclinationDeg, error);
  decodeColumnField(record, 18, 24, line2.nodeDeg, error);
  decodeColumnField(record, 27, 32, line2.eccentricity, error);
  decodeColumnField(record, 35, 41, line2.perigeeDeg, error);
  decodeColumnField(record, 44, 50, line2.meanAnomalyDeg, error);
  decodeColumnField(record, 53, 61, line2.meanMotion, error);
  if (line2.eccentricity >= 1.0f) {
    line2.eccentricity = static_cast<float>(static_cast<double>(line2.eccentricity) *
                                            static_cast<double>(kImpliedPointScale));
  }
  return !error;
}

bool read_line_one_mean(std::string_view record, MeanElements& mean) {
  double fraction = 0.0;
  const std::string digits = packed_columns(record, 24, 32);
  const bool ok = !digits.empty() && digits.front() == '.' && read_decimal("0" + digits, fraction) &&
                  fraction < 1.0 && read_exponent_columns(record, 54, 61, mean.bstar);
  mean.epochDayFraction = fraction;
  return ok;
}

bool read_line_two_mean(std::string_view record, MeanElements& mean) {
  return read_decimal_columns(record, 9, 16, mean.inclinationDeg) &&
         read_decimal_columns(record, 18, 25, mean.nodeDeg) &&
         read_implied_point_columns(record, 27, 33, mean.eccentricity) &&
         read_decimal_columns(record, 35, 42, mean.argPerigeeDeg) &&
         read_decimal_columns(record, 44, 51, mean.meanAnomalyDeg) &&
         read_decimal_columns(record, 53, 63, mean.meanMotion);
}

}  // namespace vespera
