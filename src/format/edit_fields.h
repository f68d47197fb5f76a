// The edit routines behind the formatted records: each writes one field of a
// given width. They are the single place where integers, reals, logicals and
// texts are turned into characters, independent of any locale.
//
// Each put_*_onto_blanks routine writes one field of exactly `width`
// characters at `field`, which must already hold `width` blanks: it writes
// only what is not blank, and returns field + width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vespera {

// Iw: `value` right-justified in `width` columns, a minus sign for negatives,
// no plus sign; `width` asterisks when it does not fit.
inline char* put_integer_onto_blanks(char* field, int32_t value, int width);

// Fw.d: `value` rounded (from its exact binary value) to `decimals` decimals,
// right-justified in `width` columns. The zero before the point is written
// unless dropping it alone makes the value fit; a negative value that rounds
// to zero has no minus sign; with no decimals the point ends the number.
// `width` asterisks when it does not fit or the value is not finite.
char* put_real_onto_blanks(char* field, double value, int width, int decimals);

// Lw: T or F right-justified in `width` columns.
char* put_logical_onto_blanks(char* field, bool value, int width);

// Aw: the first `width` characters of `text`; a shorter text is
// right-justified (blank-padded on the left).
char* put_text_onto_blanks(char* field, std::string_view text, int width);

// copy_overlapping_words: copies `n` characters, sizeof(Word) <= n <=
// 2 sizeof(Word), as two words that overlap when n is below twice the size.
template <class Word>
inline void copy_overlapping_words(char* to, const char* from, std::size_t n) {
  Word head;
  Word tail;
  std::memcpy(&head, from, sizeof head);
  std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
  std::memcpy(to, &head, sizeof head);
  std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
}

// copy_text: copies `n` characters; the short texts of a record (up to 16
// characters) without a library call.
inline void copy_text(char* to, const char* from, std::size_t n) {
  if (n >= 8 && n <= 16) {
    copy_overlapping_words<uint64_t>(to, from, n);
  } else if (n >= 4 && n < 8) {
    copy_overlapping_words<uint32_t>(to, from, n);
  } else if (n > 0 && n < 4) {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  } else if (n > 16) {
    std::memcpy(to, from, n);
  }
}

// `width` asterisks at `field`: a value that does not fit.
char* put_asterisks(char* field, int width);

// The two digits of each number from 00 to 99, in order: "000102...9899".
extern const char kDigitPairs[200];

// put_digits_before: writes the decimal digits of `magnitude` (at least one)
// right-justified to end at `end`, two at a time, but never before `field`;
// returns where they begin, or null when they do not fit.
template <class Unsigned>
inline char* put_digits_before(char* end, const char* field, Unsigned magnitude) {
  char* p = end;
  while (magnitude >= 100) {
    if (p - field < 2) return nullptr;
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (magnitude % 100), 2);
    magnitude /= 100;
  }
  if (magnitude >= 10) {
    if (p - field < 2) return nullptr;
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * magnitude, 2);
  } else {
    if (p == field) return nullptr;
    *--p = static_cast<char>('0' + magnitude);
  }
  return p;
}

// Inline: the report writes millions of integer fields.
inline char* put_integer_onto_blanks(char* field, int32_t value, int width) {
  // The magnitude through uint32_t, so that the most negative value is safe.
  const bool negative = value < 0;
  const uint32_t magnitude =
      negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  char* p = put_digits_before(field + width, field, magnitude);
  if (p == nullptr) return put_asterisks(field, width);
  if (negative) {
    if (p == field) return put_asterisks(field, width);
    *--p = '-';
  }
  return field + width;
}

}  // namespace vespera
