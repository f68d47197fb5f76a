#include "run/field_scanner.h"

#include <ctime>

#include "format/text_record.h"

namespace vespera {

namespace {

bool is_separator(char c) { return c == ' ' || c == ','; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || is_lower(c); }
char upper(char c) { return is_lower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void FieldScanner::set_line(std::string_view text) {
  line = fixed_record(text, kLineLength);
  position = 1;
}

int16_t FieldScanner::next_token() {
  if (position > kLineLength) return tokenKind = kTokenNone;
  while (is_separator(at(position))) {
    ++position;
    if (position > kLineLength) return tokenKind = kTokenNone;
  }
  tokenStart = position;
  const char c = at(position);

  if (is_letter(c)) {
    word.clear();
    word[0] = upper(c);
    wordLength = 1;
    ++position;
    while (position <= kLineLength && !is_separator(at(position))) {
      if (wordLength < static_cast<int16_t>(kWordLength)) word[static_cast<std::size_t>(wordLength++)] = upper(at(position));
      ++position;
    }
    return tokenKind = kTokenWord;
  }

  // A number. The whole part accumulates in unsigned 32-bit arithmetic, which
  // wraps exactly as 32-bit signed hardware arithmetic does, without overflow.
  bool negative = false;
  bool point_seen = false;
  bool nonzero_fraction = false;
  uint32_t whole = 0;
  float divisor = 1.0f;
  if (c == '-') {
    negative = true;
  } else if (c == '+') {
  } else if (c == '.') {
    point_seen = true;
    realValue = 0.0f;
  } else if (is_digit(c)) {
    whole = static_cast<uint32_t>(c - '0');
  } else {
    word.clear();
    word[0] = c;
    wordLength = 1;
    ++position;
    return tokenKind = kTokenOther;
  }

  for (;;) {
    ++position;
    if (position > kLineLength) break;
    const char next = at(position);
    if (next == '.') {
      // A point (a further one too) starts the fraction from the whole part.
      realValue = static_cast<float>(static_cast<int32_t>(whole));
      divisor = 1.0f;
      point_seen = true;
    } else if (is_digit(next)) {
      const int digit = next - '0';
      if (!point_seen) {
        whole = whole * 10u + static_cast<uint32_t>(digit);
      } else {
        divisor = static_cast<float>(static_cast<double>(divisor) * 10.0);
        realValue = static_cast<float>(static_cast<double>(realValue) +
                                       static_cast<double>(digit) / static_cast<double>(divisor));
        if (digit != 0) nonzero_fraction = true;
      }
    } else {
      break;  // not consumed: it starts the next token
    }
  }

  if (negative) {
    whole = 0u - whole;
    realValue = -realValue;
  }
  integerValue = static_cast<int32_t>(whole);
  if (!nonzero_fraction) {
    realValue = static_cast<float>(integerValue);
    return tokenKind = kTokenInteger;
  }
  return tokenKind = kTokenReal;
}

int FieldScanner::read_real_field(float& value, float default_value) {
  const int16_t kind = next_token();
  if (kind == kTokenInteger || kind == kTokenReal) {
    value = realValue;
    return 0;
  }
  value = default_value;
  return 1;
}

int FieldScanner::read_integer_field(int32_t& value, int32_t default_value) {
  if (next_token() == kTokenInteger) {
    value = integerValue;
    return 0;
  }
  value = default_value;
  return 1;
}

int FieldScanner::read_logical_field(bool& value) {
  if (next_token() == kTokenWord && wordLength == 1 && (word[0] == 'T' || word[0] == 'F')) {
    value = word[0] == 'T';
    return 0;
  }
  return 1;
}

int first_word(std::string_view field, FixedText<40>& destination) {
  const std::string_view text = field.substr(0, 40);
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 1;
  const std::size_t end = text.find(' ', first);
  destination.assign(text.substr(first, end == std::string_view::npos ? end : end - first));
  return 0;
}

CalendarDate today_date() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  CalendarDate date;
  date.year = static_cast<int16_t>(local.tm_year + 1900);
  date.month = static_cast<int16_t>(local.tm_mon + 1);
  date.day = static_cast<int16_t>(local.tm_mday);
  return date;
}

}  // namespace vespera
