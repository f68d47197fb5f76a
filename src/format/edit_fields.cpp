#include "format/edit_fields.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vespera {

namespace {

void append_asterisks(std::string& out, int width) { out.append(static_cast<std::size_t>(width), '*'); }

// Appends `digits` right-justified in `width` columns, with a leading minus
// sign when `negative`; asterisks when sign and digits do not fit.
void append_justified(std::string& out, bool negative, std::string_view digits, int width) {
  const std::size_t length = digits.size() + (negative ? 1 : 0);
  if (length > static_cast<std::size_t>(width)) {
    append_asterisks(out, width);
    return;
  }
  out.append(static_cast<std::size_t>(width) - length, ' ');
  if (negative) out.push_back('-');
  out.append(digits);
}

// The magnitude `value` (>= 0, finite) in fixed notation with `decimals`
// decimals, correctly rounded, a point always present.
void fixed_digits(double value, int decimals, std::string& scratch, char* small, std::size_t small_size,
                  std::string_view& digits) {
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
