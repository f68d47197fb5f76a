// Decimal numbers of element files read into double precision, correctly
// rounded, so that one number written in two files (a two-line set's fixed
// columns, an OMM record's text) gives one double, bit for bit.
#pragma once

#include <cstdint>
#include <string_view>

namespace vespera {

// The digits of a decimal number: value = ±digits × 10^exponent.
struct DecimalDigits {
  uint64_t digits = 0;
  int32_t exponent = 0;
  bool negative = false;
  bool exact = true;  // every digit is held in `digits`
};

// read_decimal: the number written in `text`: an optional sign, digits with
// an optional point (".5", "5." and "0.5" all read), an optional exponent
// ("E-3", "e+05"). With `in_columns`, blanks and plus signs anywhere are
// passed over, as in the fixed columns of a two-line set. False when the
// text is no such number or its value is not finite.
bool read_decimal(std::string_view text, double& value, bool in_columns = false);

// decimal_value: ±digits × 10^exponent correctly rounded; false when it is
// not finite.
bool decimal_value(const DecimalDigits& number, double& value);

}  // namespace vespera
