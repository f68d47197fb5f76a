#include "format/edit_fields.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace vespera {

namespace {

std::size_t columns(int width) { return static_cast<std::size_t>(width); }

// Decimal places for which the exact scaling below is used.
constexpr int kMaxScaledDecimals = 8;
constexpr double kPowersOfTen[kMaxScaledDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4,
                                                          1e5, 1e6, 1e7, 1e8};
// The same powers as whole numbers: units of 10^-d in one whole.
constexpr uint64_t kUnitScales[kMaxScaledDecimals + 1] = {1,      10,      100,      1000,     10000,
                                                          100000, 1000000, 10000000, 100000000};

// The common case, fast: a value with a single-precision significand (every
// real of the system is one) times 10^d, d <= 8, is exact in double, so
// rounding that product to a whole number (ties to even, as in the general
// path) rounds the exact binary value. Gives the value in units of 10^-d and
// returns true; false when the value is not such a case.
bool scaled_units(double magnitude, int decimals, uint64_t& units) {
  if (decimals > kMaxScaledDecimals || !(magnitude < 1e15)) return false;
  if (static_cast<double>(static_cast<float>(magnitude)) != magnitude) return false;
  const double scaled = magnitude * kPowersOfTen[decimals];
  if (!(scaled < 9e15)) return false;
  // The whole number nearest to `scaled`, as nearbyint gives it: below 2^52
  // adding and taking away 2^52 rounds it in the current rounding mode;
  // from 2^52 on a double is whole.
  constexpr double kTwoTo52 = 4503599627370496.0;
  const double whole = scaled < kTwoTo52 ? (scaled + kTwoTo52) - kTwoTo52 : scaled;
  units = static_cast<uint64_t>(whole);
  return true;
}

// Writes `digits` (the magnitude with its point), right-justified in the
// field with a leading minus sign when `negative`: the zero before the point
// dropped when that alone makes it fit, asterisks when it does not fit.
char* put_justified_real_onto_blanks(char* field, bool negative, std::string_view digits,
                                     int width) {
  if (negative && digits.find_first_not_of("0.") == std::string_view::npos) negative = false;
  std::size_t length = digits.size() + (negative ? 1 : 0);
  if (length > columns(width) && digits.front() == '0' && length - 1 == columns(width)) {
    digits.remove_prefix(1);  // "0.5" becomes ".5" when only that makes it fit
    --length;
  }
  if (length > columns(width)) return put_asterisks(field, width);
  char* p = field + (columns(width) - length);
  if (negative) *p++ = '-';
  std::memcpy(p, digits.data(), digits.size());
  return field + width;
}

// Fw.d of a finite value beyond the scaled case: the digits from the
// library's correctly rounded fixed notation.
char* put_general_real_onto_blanks(char* field, double value, int width, int decimals) {
  const double magnitude = std::fabs(value);
  char small[128];
  std::string scratch;
  char* first = small;
  // One byte is kept for the point that Fw.0 adds.
  auto result = std::to_chars(small, small + sizeof small - 1, magnitude,
                              std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) {
    // Very large values or many decimals: 309 integer digits at most.
    scratch.resize(static_cast<std::size_t>(decimals) + 330);
    first = scratch.data();
    result = std::to_chars(first, first + scratch.size() - 1, magnitude,
                           std::chars_format::fixed, decimals);
  }
  if (decimals == 0) *result.ptr++ = '.';
  return put_justified_real_onto_blanks(field, value < 0.0,
                                         std::string_view(first, static_cast<std::size_t>(result.ptr - first)),
                                         width);
}

}  // namespace

const char kDigitPairs[200] = {
    '0', '0', '0', '1', '0', '2', '0', '3', '0', '4', '0', '5', '0', '6', '0', '7', '0', '8', '0', '9',
    '1', '0', '1', '1', '1', '2', '1', '3', '1', '4', '1', '5', '1', '6', '1', '7', '1', '8', '1', '9',
    '2', '0', '2', '1', '2', '2', '2', '3', '2', '4', '2', '5', '2', '6', '2', '7', '2', '8', '2', '9',
    '3', '0', '3', '1', '3', '2', '3', '3', '3', '4', '3', '5', '3', '6', '3', '7', '3', '8', '3', '9',
    '4', '0', '4', '1', '4', '2', '4', '3', '4', '4', '4', '5', '4', '6', '4', '7', '4', '8', '4', '9',
    '5', '0', '5', '1', '5', '2', '5', '3', '5', '4', '5', '5', '5', '6', '5', '7', '5', '8', '5', '9',
    '6', '0', '6', '1', '6', '2', '6', '3', '6', '4', '6', '5', '6', '6', '6', '7', '6', '8', '6', '9',
    '7', '0', '7', '1', '7', '2', '7', '3', '7', '4', '7', '5', '7', '6', '7', '7', '7', '8', '7', '9',
    '8', '0', '8', '1', '8', '2', '8', '3', '8', '4', '8', '5', '8', '6', '8', '7', '8', '8', '8', '9',
    '9', '0', '9', '1', '9', '2', '9', '3', '9', '4', '9', '5', '9', '6', '9', '7', '9', '8', '9', '9'};

char* put_asterisks(char* field, int width) {
  std::memset(field, '*', columns(width));
  return field + width;
}

char* put_real_onto_blanks(char* field, double value, int width, int decimals) {
  if (!std::isfinite(value)) return put_asterisks(field, width);
  uint64_t units;
  if (!scaled_units(std::fabs(value), decimals, units)) {
    return put_general_real_onto_blanks(field, value, width, decimals);
  }
  // A negative value that rounds to zero (a negative zero too) has no sign.
  const bool negative = value < 0.0 && units != 0;
  // From the right end of the field: the decimals, the point, the whole
  // part, the sign; asterisks as soon as the field is too short.
  if (decimals + 1 > width) return put_asterisks(field, width);
  const uint64_t scale = kUnitScales[decimals];
  uint64_t whole = units / scale;
  uint64_t fraction = units % scale;
  char* p = field + width;
  for (int left = decimals; left > 0; left -= 2) {
    if (left == 1) {
      *--p = static_cast<char>('0' + fraction);
      break;
    }
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (fraction % 100), 2);
    fraction /= 100;
  }
  *--p = '.';
  if (whole != 0) {
    p = put_digits_before(p, field, whole);
    if (p == nullptr) return put_asterisks(field, width);
  } else {
    // The zero before the point is dropped when only that makes the value fit.
    const std::ptrdiff_t room = p - field;
    const std::ptrdiff_t sign = negative ? 1 : 0;
    if (room >= 1 + sign) {
      *--p = '0';
    } else if (room < sign) {
      return put_asterisks(field, width);
    }
  }
  if (negative) {
    if (p == field) return put_asterisks(field, width);
    *--p = '-';
  }
  return field + width;
}

char* put_logical_onto_blanks(char* field, bool value, int width) {
  field[width - 1] = value ? 'T' : 'F';
  return field + width;
}

char* put_text_onto_blanks(char* field, std::string_view text, int width) {
  const std::size_t w = columns(width);
  if (text.size() >= w) {
    copy_text(field, text.data(), w);
  } else {
    copy_text(field + (w - text.size()), text.data(), text.size());
  }
  return field + width;
}

}  // namespace vespera
