#include "elements/two_line_fields.h"

#include <charconv>
#include <cmath>

#include "elements/calendar.h"
#include "elements/decimal_number.h"
#include "format/catalogue_number.h"
#include "format/column_decoder.h"
#include "format/text_record.h"

namespace vespera {
namespace {

// A two-digit epoch year below this is 20yy, else 19yy.
constexpr int32_t kFirstCenturyYear = 55;
// Scale of an eccentricity written as digits with an implied leading point.
constexpr float kImpliedPointScale = 0.000001f;

// A short text built on the stack, for the number fields of a set's mean
// elements, which are read for every set of every file.
class PackedText {
 public:
  // Appends the characters of columns first..last without blanks and plus
  // signs.
  PackedText& columns_of(std::string_view record, int first, int last) {
    for (char c : columns(record, first, last)) {
      if (c != ' ' && c != '+') push(c);
    }
    return *this;
  }
  std::string_view view() const { return std::string_view(chars_, size_); }
  // False when the text did not fit (a field is at most 11 columns).
  bool complete() const { return !overflow_; }

 private:
  void push(char c) {
    if (size_ < sizeof chars_) {
      chars_[size_++] = c;
    } else {
      overflow_ = true;
    }
  }

  char chars_[32];
  std::size_t size_ = 0;
  bool overflow_ = false;
};

bool read_decimal_columns(std::string_view record, int first, int last, double& value) {
  return read_decimal(columns(record, first, last), value, true);
}

// Digits with an implied leading point: "0006703" is 0.0006703. A field
// written with its point is read as it stands.
bool read_implied_point_columns(std::string_view record, int first, int last, double& value) {
  const std::string_view field = columns(record, first, last);
  if (field.find('.') != std::string_view::npos) return read_decimal(field, value, true);
  DecimalDigits number;
  for (char c : field) {
    if (c == ' ' || c == '+') continue;
    if (c < '0' || c > '9' || number.exponent <= -19) return false;
    number.digits = number.digits * 10 + static_cast<uint64_t>(c - '0');
    --number.exponent;
  }
  return number.exponent < 0 && decimal_value(number, value);
}

// The drag term's layout: a sign, digits with an implied leading point, then
// the power of ten with its sign ("-11606-4" is -0.11606e-4; without a sign
// of its own the power is the field's last digit).
bool read_exponent_columns(std::string_view record, int first, int last, double& value) {
  PackedText packed;
  packed.columns_of(record, first, last);
  std::string_view field = packed.view();
  DecimalDigits number;
  number.negative = !field.empty() && field.front() == '-';
  if (number.negative) field.remove_prefix(1);
  if (!packed.complete() || field.size() < 2) return false;
  const std::size_t power = field.find('-');
  const std::size_t split = power != std::string_view::npos ? power : field.size() - 1;
  const std::string_view mantissa = field.substr(0, split);
  const std::string_view exponent = field.substr(split);
  int32_t ten_power = 0;
  const auto [stop, error] = std::from_chars(exponent.data(), exponent.data() + exponent.size(), ten_power);
  if (mantissa.empty() || mantissa.size() > 19 || error != std::errc() ||
      stop != exponent.data() + exponent.size() || ten_power < -99 || ten_power > 99) {
    return false;
  }
  for (char c : mantissa) {
    if (c < '0' || c > '9') return false;
    number.digits = number.digits * 10 + static_cast<uint64_t>(c - '0');
  }
  number.exponent = ten_power - static_cast<int32_t>(mantissa.size());
  return decimal_value(number, value);
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
  const std::string_view digits = columns(record, 24, 32);
  const bool ok = digits.substr(0, 1) == "." && read_decimal(digits, fraction, true) && fraction < 1.0 &&
                  read_exponent_columns(record, 54, 61, mean.bstar);
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
