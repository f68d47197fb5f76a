// MeanElements: an element set's mean elements at full precision, as its file
// gives them, for the SGP4 orbit theory that made them. The compact model's
// ElementSet is derived from the same set with its own column rules; these
// values are kept beside it, in double precision and unconverted.
#pragma once

#include <cstdint>

namespace vespera {

struct MeanElements {
  bool valid = false;             // every field below was read
  int32_t epochDay = 0;           // day number of the epoch's day
  double epochDayFraction = 0.0;  // time of day of the epoch, UTC, days (0 <= f < 1)
  double meanMotion = 0.0;        // revolutions per day (Kozai mean motion of the set)
  double eccentricity = 0.0;
  double inclinationDeg = 0.0;
  double nodeDeg = 0.0;           // right ascension of the ascending node, degrees
  double argPerigeeDeg = 0.0;     // argument of perigee, degrees
  double meanAnomalyDeg = 0.0;
  double bstar = 0.0;             // drag term, 1/earth radii

  friend bool operator==(const MeanElements&, const MeanElements&) = default;
};

}  // namespace vespera
