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

// Inline: the report writes millions of integer fields.
inline char* put_integer_onto_blanks(char* field, int32_t value, int width) {
  // The magnitude through uint32_t, so that the most negative value is safe.
  const bool negative = value < 0;
  uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  // Digits from the right end of the field toward its start.
  char* p = field + width;
  do {
    if (p == field) return put_asterisks(field, width);
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) {
    if (p == field) return put_asterisks(field, width);
    *--p = '-';
  }
  return field + width;
}

}  // namespace vespera
