// ElementSet: one satellite's orbit as the prediction engine uses it. The epoch
// is moved to the perigee passage before the set is stored. The mean elements
// as read travel with it for the SGP4 model.
#pragma once

#include <cstdint>

#include "elements/mean_elements.h"
#include "vocabulary/fixed_text.h"

namespace vespera {

struct ElementSet {
  FixedText<16> name;          // name line columns 1-14 + 2 blanks, or line 1 columns 10-18 + 7 blanks
  int32_t ncat = 0;            // catalogue number
  int32_t epochDay = 0;        // day number of the epoch's day
  float epochFraction = 0.0f;  // perigee passage before the epoch, days from epochDay (may be negative)
  float nodeRa = 0.0f;         // right ascension of the ascending node at that perigee passage, radians
  float argPerigee = 0.0f;     // argument of perigee at that passage, radians
  float meanMotion = 0.0f;     // revolutions per day at that passage
  float meanMotionDot = 0.0f;  // half the first derivative of the mean motion, rev/day^2, as read
  float inclination = 0.0f;    // radians
  float eccentricity = 0.0f;
  float nodePerRev = 0.0f;     // change of nodeRa per revolution, radians
  float perigeePerRev = 0.0f;  // change of argPerigee per revolution, radians
  MeanElements mean;           // the set's mean elements at full precision
};

}  // namespace vespera
