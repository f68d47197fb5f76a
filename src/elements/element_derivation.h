// The derivation of an ElementSet from the numbers of a two-line element set:
// the semi-major axis, the secular drift of the node and the perigee, and the
// move of the epoch back to the perigee passage that precedes it.
#pragma once

#include "elements/element_set.h"

namespace vespera {

// The numbers of line 2 as decoded (the eccentricity rule already applied).
struct LineTwoElements {
  float inclinationDeg = 0.0f;
  float nodeDeg = 0.0f;         // right ascension of the ascending node, degrees
  float eccentricity = 0.0f;
  float perigeeDeg = 0.0f;      // argument of perigee, degrees
  float meanAnomalyDeg = 0.0f;
  float meanMotion = 0.0f;      // revolutions per day
};

// The secular drift of the orbit per radian of mean anomaly.
struct SecularRates {
  float node = 0.0f;     // change of the node's right ascension, radians per radian
  float perigee = 0.0f;  // change of the argument of perigee, radians per radian
};

// semiMajorAxisKm: the semi-major axis in km of an orbit of `meanMotion`
// revolutions per day (meanMotion > 0): 6.6229515 / n^(2/3) earth radii of
// 6378.388 km.
float semiMajorAxisKm(float meanMotion);

// secularRatesPerRevolution: the drift of the node and of the argument of
// perigee per radian of mean anomaly from the earth's zonal harmonics J2 and J4.
// Given: inclination (radians), semi-major axis (km), eccentricity (0 <= e < 1).
// Returned: the two rates; the node rate is negative for a prograde orbit.
SecularRates secularRatesPerRevolution(float inclination, float semiMajorAxis,
                                       float eccentricity);

// Orbits of this many revolutions per day or fewer are not predicted: their
// sets are passed over without a message, in every form of element file.
inline constexpr float kLowestMeanMotion = 4.0f;

// deriveElementSet: completes `set` from line 2's numbers. On entry `set`
// holds the epoch (epochDay, epochFraction = fraction of the day as read) and
// meanMotionDot from line 1. On return the epoch is moved to the perigee
// passage before it (epochFraction may become negative), with meanMotion,
// nodeRa and argPerigee at that passage, and the inclination, eccentricity and
// per-revolution drifts filled in.
// Returns false, leaving `set` unusable, when the numbers are no orbit: an
// eccentricity outside 0 <= e < 1, a mean motion that is not positive, or a
// derived value that is not finite.
bool deriveElementSet(const LineTwoElements& line2, ElementSet& set);

}  // namespace vespera
