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
  char* p = field + width;
  for (int i = 0; i < decimals; ++i) {
    if (p == field) return put_asterisks(field, width);
    *--p = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  if (p == field) return put_asterisks(field, width);
  *--p = '.';
  if (units != 0) {
    do {
      if (p == field) return put_asterisks(field, width);
      *--p = static_cast<char>('0' + units % 10);
      units /= 10;
    } while (units != 0);
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
