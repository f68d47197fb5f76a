// decodeColumnField: the decoder of a whole or real number held in fixed
// columns of a text record (element files and magnitude files).
//
// Given: a record, its 1-based inclusive column range (columns beyond the
// record's end count as blank), and the destination, a whole number (int32_t)
// or a real (float).
// Returned: the value in the destination; on failure the shared error flag is
// set and the destination keeps the value it held. The decoder never clears
// the flag: a caller clears it before a group of fields and tests it after.
//
// Rules: blanks and '+' are skipped wherever they stand; '-' makes the value
// negative (repeated, it never toggles); '.' marks the decimals of a real (and
// is an error in a whole-number field); any other character is an error, and
// so is a field without a digit. A real's digits are taken as a whole count
// and scaled by the single-precision 0.1 ... 0.0000001 for 1 to 7 decimals.
// A digit string too long for a 32-bit integer, or a real with more than seven
// decimals, does not decode.
#pragma once

#include <cstdint>
#include <string_view>

namespace vespera {

void decodeColumnField(std::string_view record, int first, int last, int32_t& value,
                       bool& errorFlag);
void decodeColumnField(std::string_view record, int first, int last, float& value,
                       bool& errorFlag);

}  // namespace vespera
