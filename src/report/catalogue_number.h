// The catalogue number (NCAT) of a pass as the report prints it: the one
// place where the report's reader turns those columns into a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vespera {

// read_catalogue_number: the number in the columns of a catalogue number
// (right-justified digits after blanks, or, from 100000 on, the Alpha-5 form,
// A0057 for 100057, as catalogue_number_field writes them); nullopt when the
// columns hold none.
std::optional<int32_t> read_catalogue_number(std::string_view columns);

}  // namespace vespera
