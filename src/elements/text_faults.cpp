#include "elements/text_faults.h"

#include <cstdint>

namespace vespera {
namespace {

// The length of the UTF-8 sequence at `at`, 0 when it is not well formed.
std::size_t sequence_length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  uint8_t low = 0x80;   // the bounds of the second byte, which exclude
  uint8_t high = 0xBF;  // overlong forms, surrogates and values past U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::size_t first_invalid_utf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = sequence_length(text, at);
    if (length == 0) return at;
    at += length;
  }
  return text.size();
}

std::size_t unclosed_string_start(std::string_view text) {
  std::size_t open = text.size();
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (open == text.size()) {
      if (c == '"') open = at;
    } else if (c == '\\') {
      ++at;
    } else if (c == '"') {
      open = text.size();
    } else if (c == '\n' || c == '\r') {
      return open;  // a string never holds a line end
    }
  }
  return open;
}

std::size_t line_start(std::string_view text, std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  const std::size_t end = text.substr(0, offset).find_last_of("\r\n");
  return end == std::string_view::npos ? 0 : end + 1;
}

}  // namespace vespera
