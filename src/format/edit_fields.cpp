#include "format/edit_fields.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace vespera {

namespace {

void append_asterisks(std::string& out, int width) { out.append(static_cast<std::size_t>(width), '*'); }

// Appends `digits` right-justified in `width` columns, with a leading minus
// sign when `negative`; asterisks when sign and digits do not fit.
void append_justified(std::string& out, bool negative, std::string_view digits, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t length = digits.size() + (negative ? 1 : 0);
  if (length > w) {
    append_asterisks(out, width);
    return;
  }
  const std::size_t start = out.size();
  out.resize(start + w, ' ');
  char* field = out.data() + start + (w - length);
  if (negative) *field++ = '-';
  std::memcpy(field, digits.data(), digits.size());
}

// Decimal places for which the exact scaling below is used.
constexpr int kMaxScaledDecimals = 8;
constexpr double kPowersOfTen[kMaxScaledDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// The common case, fast: a value with a single-precision significand (every
// real of the system is one) times 10^d, d <= 8, is exact in double, so
// rounding that product to a whole number (ties to even, as in the general
// path) rounds the exact binary value. Returns false when the value is not
// such a case.
bool scaled_fixed_digits(double magnitude, int decimals, char* buffer, std::size_t size,
                         std::string_view& digits) {
  if (decimals > kMaxScaledDecimals || !(magnitude < 1e15)) return false;
  if (static_cast<double>(static_cast<float>(magnitude)) != magnitude) return false;
  const double scaled = magnitude * kPowersOfTen[decimals];
  if (!(scaled < 9e15)) return false;
  const uint64_t units = static_cast<uint64_t>(std::nearbyint(scaled));
  // The units as digits, with zeros in front so that at least one digit
  // stands before the point: 5 units at 2 decimals is "005", written "0.05".
  char units_digits[32];
  const std::size_t d = static_cast<std::size_t>(decimals);
  const auto result = std::to_chars(units_digits + d + 1, units_digits + sizeof units_digits, units);
  const std::size_t count = static_cast<std::size_t>(result.ptr - (units_digits + d + 1));
  const std::size_t zeros = count <= d ? d + 1 - count : 0;
  char* const first = units_digits + d + 1 - zeros;
  std::memset(first, '0', zeros);
  const std::size_t total = zeros + count;
  if (total + 1 > size) return false;
  const std::size_t integer_digits = total - d;
  char* p = buffer;
  std::memcpy(p, first, integer_digits);
  p += integer_digits;
  *p++ = '.';
  std::memcpy(p, first + integer_digits, d);
  p += d;
  digits = std::string_view(buffer, static_cast<std::size_t>(p - buffer));
  return true;
}

// The magnitude `value` (>= 0, finite) in fixed notation with `decimals`
// decimals, correctly rounded, a point always present.
void fixed_digits(double value, int decimals, std::string& scratch, char* small, std::size_t small_size,
                  std::string_view& digits) {
  if (scaled_fixed_digits(value, decimals, small, small_size, digits)) return;
  auto result = std::to_chars(small, small + small_size, value, std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) {
    if (decimals == 0) *result.ptr++ = '.';  // room kept below
    digits = std::string_view(small, static_cast<std::size_t>(result.ptr - small));
    return;
  }
  // Very large values or many decimals: 309 integer digits at most.
  scratch.resize(static_cast<std::size_t>(decimals) + 330);
  result = std::to_chars(scratch.data(), scratch.data() + scratch.size() - 1, value,
                         std::chars_format::fixed, decimals);
  if (decimals == 0) *result.ptr++ = '.';
  digits = std::string_view(scratch.data(), static_cast<std::size_t>(result.ptr - scratch.data()));
}

}  // namespace

void append_integer_field(std::string& out, int32_t value, int width) {
  // The magnitude through uint32_t, so that the most negative value is safe.
  const bool negative = value < 0;
  const uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  append_justified(out, negative, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)),
                   width);
}

void append_real_field(std::string& out, double value, int width, int decimals) {
  if (!std::isfinite(value)) {
    append_asterisks(out, width);
    return;
  }
  bool negative = value < 0.0;  // a negative zero has no sign
  char small[128];
  std::string scratch;
  std::string_view digits;
  // One byte of `small` is kept for the point that Fw.0 adds.
  fixed_digits(std::fabs(value), decimals, scratch, small, sizeof small - 1, digits);

  if (negative && digits.find_first_not_of("0.") == std::string_view::npos) negative = false;

  std::size_t length = digits.size() + (negative ? 1 : 0);
  if (length > static_cast<std::size_t>(width) && digits.front() == '0' &&
      length - 1 == static_cast<std::size_t>(width)) {
    digits.remove_prefix(1);  // "0.5" becomes ".5" when only that makes it fit
  }
  append_justified(out, negative, digits, width);
}

void append_logical_field(std::string& out, bool value, int width) {
  out.append(static_cast<std::size_t>(width) - 1, ' ');
  out.push_back(value ? 'T' : 'F');
}

void append_text_field(std::string& out, std::string_view text, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  if (text.size() >= w) {
    out.append(text.substr(0, w));
  } else {
    out.append(w - text.size(), ' ');
    out.append(text);
  }
}

}  // namespace vespera
