// The edit routines behind the formatted records: each appends one field of a
// given width to a text. They are the single place where integers, reals,
// logicals and texts are turned into characters, independent of any locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vespera {

// Iw: `value` right-justified in `width` columns, a minus sign for negatives,
// no plus sign; `width` asterisks when it does not fit.
void append_integer_field(std::string& out, int32_t value, int width);

// Fw.d: `value` rounded (from its exact binary value) to `decimals` decimals,
// right-justified in `width` columns. The zero before the point is written
// unless dropping it alone makes the value fit; a negative value that rounds
// to zero has no minus sign; with no decimals the point ends the number.
// `width` asterisks when it does not fit or the value is not finite.
void append_real_field(std::string& out, double value, int width, int decimals);

// Lw: T or F right-justified in `width` columns.
void append_logical_field(std::string& out, bool value, int width);

// Aw: the first `width` characters of `text`; a shorter text is
// right-justified (blank-padded on the left).
void append_text_field(std::string& out, std::string_view text, int width);

}  // namespace vespera
