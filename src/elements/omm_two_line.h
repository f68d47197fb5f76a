// The two-line set that an OMM record stands for. The record's values are
// written into the columns of the two lines as a distributor writes a
// two-line set (each value rounded to its field's decimals), and the lines
// are then decoded like those of a two-line file; so a record whose values
// are those of a two-line set gives that set's ElementSet, bit for bit. The
// mean elements are taken from the record at its own precision.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "elements/mean_elements.h"
#include "elements/omm_record.h"
#include "vocabulary/fixed_text.h"

namespace vespera {

// The 70 columns of a line of a two-line set.
using LineText = FixedText<70>;

struct OmmTwoLineSet {
  FixedText<16> name;     // as a name line gives it, or the designator's
  int32_t epochDay = 0;   // day number of the epoch's day (to the fraction's eight decimals)
  LineText line1;         // the columns of line 1 that the reader decodes
  LineText line2;         // the same of line 2
  MeanElements mean;      // valid
};

// omm_catalogue_number: NORAD_CAT_ID, a whole number from 1 to 339999; none
// when the record lacks it or holds anything else.
std::optional<int32_t> omm_catalogue_number(const OmmRecord& record);

// omm_two_line_set: the set of a record with catalogue number `ncat`; none
// when a value is missing (all but OBJECT_NAME and OBJECT_ID are needed) or
// does not decode, when EPHEMERIS_TYPE is given and is not 0 (other types
// belong to other theories), when the epoch's year lies outside 1950-2099,
// or when a value does not fit the columns of its field.
std::optional<OmmTwoLineSet> omm_two_line_set(const OmmRecord& record, int32_t ncat);

// international_designator: OBJECT_ID as line 1 writes it, "1998-067A" as
// "98067A"; any other text unchanged.
std::string international_designator(std::string_view object_id);

}  // namespace vespera
