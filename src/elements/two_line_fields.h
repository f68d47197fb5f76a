// The fields of an element set's two lines, decoded column by column: those
// the compact model reads (cut at its columns, through decodeColumnField) and
// the mean elements at full precision for the SGP4 model. The readers of
// every element file form hand their sets through these, so that one set
// gives the same ElementSet whatever form it came in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "elements/element_derivation.h"
#include "elements/mean_elements.h"

namespace vespera {

// The numbers of line 1 that the compact model reads.
struct LineOneFields {
  int32_t epochDay = 0;          // day number of the epoch's day
  float epochFraction = 0.0f;    // fraction of the day, six decimals (columns 24-30)
  float meanMotionDot = 0.0f;    // half the mean motion's derivative (columns 33-42)
};

// decode_set_number: the catalogue number of either line, columns 3-7, in
// digits or in the Alpha-5 form. False when it does not decode.
bool decode_set_number(std::string_view record, int32_t& ncat);

// decode_line_one: the epoch (columns 19-20 year, 21-23 day of the year,
// 24-30 fraction) and the mean motion's derivative (33-42). A two-digit year
// below 55 is 20yy, else 19yy. False when a field does not decode.
bool decode_line_one(std::string_view record, std::FILE* console, LineOneFields& fields);
// decode_line_one_reals: the epoch's fraction (24-30) and the derivative
// (33-42) alone, for a set whose epoch day is known otherwise.
bool decode_line_one_reals(std::string_view record, LineOneFields& fields);

// decode_line_two: inclination (9-15), node (18-24), eccentricity (27-32,
// digits with an implied leading point when 1 or more), perigee (35-41), mean
// anomaly (44-50) and mean motion (53-61). False when a field does not decode.
bool decode_line_two(std::string_view record, LineTwoElements& line2);

// read_line_one_mean / read_line_two_mean: the mean elements of each line at
// the full width of the standard layout: the epoch's fraction (24-32) and
// the drag term (54-61, digits with an implied leading point and a power of
// ten) of line 1; inclination (9-16), node (18-25), eccentricity (27-33),
// perigee (35-42), mean anomaly (44-51) and mean motion (53-63) of line 2.
// Blanks and plus signs are skipped. False when a field does not read; the
// compact model does not need them, so a set is never refused for them.
bool read_line_one_mean(std::string_view record, MeanElements& mean);
bool read_line_two_mean(std::string_view record, MeanElements& mean);

}  // namespace vespera
