// The free-format scanner of control lines and console answers: values stand
// one after the other, separated by blanks or commas, in any columns. The
// scanner cuts a line of 80 columns into tokens and turns a token into an
// integer, a real, a logical or a word. Also the first word of a file-name
// field and today's local date.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vocabulary/fixed_text.h"

namespace vespera {

// Kinds of token found by next_token.
enum TokenKind : int16_t {
  kTokenNone = 0,     // the rest of the line is blanks and commas
  kTokenInteger = 1,  // a number without a non-zero fraction digit
  kTokenReal = 2,     // a number with a non-zero fraction digit
  kTokenWord = 3,     // a letter followed by anything but blank and comma
  kTokenOther = 4,    // any other single character (a tab included)
};

struct FieldScanner {
  static constexpr int16_t kLineLength = 80;
  static constexpr std::size_t kWordLength = 40;

  std::string line = std::string(kLineLength, ' ');  // blank-padded to 80 columns
  int16_t position = 1;    // column (1-based) where the next scan starts
  int16_t tokenStart = 0;  // first column of the last token found
  int16_t tokenKind = kTokenNone;
  FixedText<kWordLength> word;  // text of a word (upper-cased) or of an other-kind token
  int16_t wordLength = 0;
  int32_t integerValue = 0;
  float realValue = 0.0f;

  // Takes a new line (padded with blanks or cut to 80 columns) and sets the
  // position to column 1. tokenStart keeps the column of the last token found
  // until a token is found on the new line.
  void set_line(std::string_view text);

  // next_token: scans from `position` and fills tokenKind and the value
  // fields; leaves `position` on the first column after the token, or past
  // column 80. Returns the kind.
  //
  // Numbers: an optional sign, digits, and a decimal point anywhere. Digits
  // before the point build integerValue in 32-bit two's complement (a number
  // too large for it wraps as the hardware does); digits after it are added to
  // realValue in single precision. A further point starts the fraction again
  // from the whole part: "1.5.25" is the real 1.25, and stays a real once a
  // non-zero fraction digit has been seen ("1.5.0" is the real 1.0). A number
  // ends at the first character that is not a digit or point, which is not
  // consumed ("12AB" is the integer 12, then the word "AB").
  int16_t next_token();

  // read_real_field: scans one token. An integer or real gives value :=
  // realValue and returns 0; anything else gives value := default_value and
  // returns 1.
  int read_real_field(float& value, float default_value);

  // read_integer_field: scans one token. An integer gives value :=
  // integerValue and returns 0; anything else (a real with a non-zero
  // fraction included) gives value := default_value and returns 1.
  int read_integer_field(int32_t& value, int32_t default_value);

  // read_logical_field: scans one token. A one-character word T or F (either
  // case) gives true or false and returns 0; anything else returns 1 and
  // leaves value unchanged.
  int read_logical_field(bool& value);

  // The character in the given 1-based column.
  char at(int column) const { return line[static_cast<std::size_t>(column - 1)]; }
};

// first_word: the first blank-delimited word of a 40-character field (the
// text given is padded or cut to 40 characters; only the blank separates, a
// comma belongs to the word). Returns 0 and sets destination to the word,
// blank-padded; returns 1 for an all-blank field and leaves destination as it
// was.
int first_word(std::string_view field, FixedText<40>& destination);

// A calendar date: four-digit year, month 1-12, day 1-31.
struct CalendarDate {
  int16_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
};

// today_date: the local calendar date from the system clock and the local
// time zone.
CalendarDate today_date();

}  // namespace vespera
