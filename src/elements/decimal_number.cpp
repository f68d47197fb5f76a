#include "elements/decimal_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vespera {
namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int32_t kLargestExactPower = 22;
constexpr uint64_t kLargestExactInteger = uint64_t{1} << 53;
// Digits are gathered while the count stays below 1e17, so that no digit
// overflows it: 17 or more significant digits.
constexpr uint64_t kAccumulateBelow = 100000000000000000ULL;
constexpr int32_t kExponentLimit = 100000;  // beyond it every value is 0 or infinite

// Reads the digits and point of `text` from `at` into `number`; leaves `at`
// on the first character that is neither. False without a digit.
bool scan_digits(std::string_view text, bool in_columns, std::size_t& at, DecimalDigits& number) {
  bool any = false;
  int32_t point = 0;  // 1 once the point is seen
  int32_t exponent = 0;
  uint64_t value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    const auto digit = static_cast<unsigned>(c - '0');
    if (digit < 10) {
      any = true;
      if (value < kAccumulateBelow) {
        value = value * 10 + digit;
        exponent -= point;
      } else {
        number.exact = false;  // the library reads such a number itself
      }
    } else if (c == '.' && point == 0) {
      point = 1;
    } else if (!(in_columns && (c == ' ' || c == '+'))) {
      break;
    }
  }
  number.digits = value;
  number.exponent = exponent;
  return any;
}

// Reads an exponent ("e-3") from `at` to the end of `text` into `number`.
bool scan_exponent(std::string_view text, std::size_t at, DecimalDigits& number) {
  if (at == text.size()) return true;
  if (text[at] != 'e' && text[at] != 'E') return false;
  ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  if (at == text.size()) return false;
  int32_t power = 0;
  for (; at < text.size(); ++at) {
    const auto digit = static_cast<unsigned>(text[at] - '0');
    if (digit >= 10) return false;
    if (power < kExponentLimit) power = power * 10 + static_cast<int32_t>(digit);
  }
  number.exponent += negative ? -power : power;
  return true;
}

// Reads the whole of `text` into `number`; false when it is malformed.
bool scan(std::string_view text, bool in_columns, DecimalDigits& number) {
  std::size_t at = 0;
  while (in_columns && at < text.size() && (text[at] == ' ' || text[at] == '+')) ++at;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) number.negative = text[at++] == '-';
  return scan_digits(text, in_columns, at, number) && scan_exponent(text, at, number);
}

}  // namespace

bool decimal_value(const DecimalDigits& number, double& value) {
  // One exact integer and one exact power of ten: a single correctly
  // rounded multiplication or division.
  if (number.exact && number.digits <= kLargestExactInteger && number.exponent >= -kLargestExactPower &&
      number.exponent <= kLargestExactPower) {
    const double whole = static_cast<double>(number.digits);
    value = number.exponent < 0 ? whole / kExactPowersOfTen[-number.exponent]
                                : whole * kExactPowersOfTen[number.exponent];
    if (number.negative) value = -value;
    return true;
  }
  // Otherwise the library's correctly rounded reading of the same number.
  char text[64];
  char* end = text;
  if (number.negative) *end++ = '-';
  end = std::to_chars(end, text + sizeof text / 2, number.digits).ptr;
  *end++ = 'e';
  end = std::to_chars(end, text + sizeof text, number.exponent).ptr;
  const auto [stop, error] = std::from_chars(text, end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

bool read_decimal(std::string_view text, double& value, bool in_columns) {
  DecimalDigits number;
  if (!scan(text, in_columns, number)) return false;
  if (!number.exact) {
    // More digits than are gathered: the library reads the text itself.
    std::string packed;
    for (char c : text) {
      if (!in_columns || (c != ' ' && c != '+')) packed.push_back(c);
    }
    if (!packed.empty() && packed.front() == '+') packed.erase(0, 1);
    const auto [stop, error] = std::from_chars(packed.data(), packed.data() + packed.size(), value);
    return error == std::errc() && stop == packed.data() + packed.size() && std::isfinite(value);
  }
  return decimal_value(number, value);
}

}  // namespace vespera
