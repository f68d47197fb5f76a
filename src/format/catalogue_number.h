// Catalogue numbers in five columns. Numbers up to 99999 are written in
// digits; 100000 to 339999 only fit in the Alpha-5 form: a capital letter for
// the ten-thousands (A = 10, B = 11, ..., H = 17, J = 18, ..., N = 22,
// P = 23, ..., Z = 33; I and O are not used) followed by four digits, so that
// A0000 is 100000, T0189 is 270189 and Z9999 is 339999.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "vocabulary/fixed_text.h"

namespace vespera {

// The first number that needs the Alpha-5 form, and the largest it can hold.
inline constexpr int32_t kFirstAlpha5Number = 100000;
inline constexpr int32_t kLargestAlpha5Number = 339999;

// alpha5_number: the number of a five-character Alpha-5 text (a capital
// letter other than I and O, then four digits); none for anything else,
// digits-only texts included.
std::optional<int32_t> alpha5_number(std::string_view text);

// decodeCatalogueNumber: a catalogue number in columns first..last of a
// record (1-based, inclusive). A field whose first column holds a capital
// letter is read in the Alpha-5 form: the field is five columns, the letter
// and four digits; anything else in them is an error. Any other field is a
// whole number of decodeColumnField, with its rules and its error flag (set on
// failure, never cleared; the destination keeps its value).
void decodeCatalogueNumber(std::string_view record, int first, int last, int32_t& value,
                           bool& errorFlag);

// catalogue_number_field: the five columns in which a report or message
// writes catalogue number `ncat`: Alpha-5 for 100000 to 339999, else the
// number as the descriptor I5 writes it (asterisks when it does not fit).
FixedText<5> catalogue_number_field(int32_t ncat);

}  // namespace vespera
