#include "format/column_decoder.h"

#include <cstddef>

namespace vespera {
namespace {

// Scale factors for 1 to 7 decimals, as single-precision constants.
constexpr float kDecimalScale[8] = {1.0f,    0.1f,    0.01f,    0.001f,
                                    0.0001f, 0.00001f, 0.000001f, 0.0000001f};
constexpr int kMaxDecimals = 7;

struct DecodedDigits {
  uint32_t magnitude = 0;  // the digits as a whole count
  int decimals = 0;
  bool negative = false;
  bool ok = false;
};

// Scans columns first..last; `allow_point` is true for a real field.
DecodedDigits scan_field(std::string_view record, int first, int last, bool allow_point) {
  DecodedDigits out;
  bool point_seen = false;
  bool digit_seen = false;
  // The largest magnitude a negated or plain int32 can hold.
  constexpr uint32_t kLimit = 2147483648u;
  for (int column = first; column <= last; ++column) {
    const std::size_t index = static_cast<std::size_t>(column - 1);
    const char c = (column >= 1 && index < record.size()) ? record[index] : ' ';
    if (c == ' ' || c == '+') continue;
    if (c == '-') {
      out.negative = true;
    } else if (c == '.') {
      if (!allow_point) return out;
      point_seen = true;
    } else if (c >= '0' && c <= '9') {
      const uint32_t d = static_cast<uint32_t>(c - '0');
      if (out.magnitude > (kLimit - d) / 10u) return out;  // too long for 32 bits
      out.magnitude = out.magnitude * 10u + d;
      digit_seen = true;
      if (point_seen) ++out.decimals;
    } else {
      return out;
    }
  }
  out.ok = digit_seen && out.decimals <= kMaxDecimals;
  return out;
}

}  // namespace

void decodeColumnField(std::string_view record, int first, int last, int32_t& value,
                       bool& errorFlag) {
  const DecodedDigits digits = scan_field(record, first, last, false);
  if (!digits.ok || (!digits.negative && digits.magnitude > 2147483647u)) {
    errorFlag = true;
    return;
  }
  // Negation through 64 bits: -2147483648 is representable, nothing overflows.
  const int64_t whole = static_cast<int64_t>(digits.magnitude);
  value = static_cast<int32_t>(digits.negative ? -whole : whole);
}

void decodeColumnField(std::string_view record, int first, int last, float& value,
                       bool& errorFlag) {
  const DecodedDigits digits = scan_field(record, first, last, true);
  if (!digits.ok || digits.magnitude > 2147483647u) {
    errorFlag = true;
    return;
  }
  float real = static_cast<float>(static_cast<int32_t>(digits.magnitude));
  if (digits.decimals > 0) real = real * kDecimalScale[digits.decimals];
  value = digits.negative ? -real : real;
}

}  // namespace vespera
