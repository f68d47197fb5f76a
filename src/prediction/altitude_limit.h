// The minimum-altitude test of a trial point without its arctangent where
// the answer is certain. A point's altitude is the single-precision
// arctangent of sin_alt / cos_alt; tangents of angles a little below and a
// little above the limit bound the ratios whose altitude is certainly at or
// below it, or certainly above it. Only a ratio between the two needs the
// arctangent to decide, so points that go no further (below the limit, in
// shadow, too faint) are spared it; an accepted point still gets its exact
// altitude. The bounds are prepared once per run, for the run's limit.
#pragma once

namespace vespera {

struct AltitudeLimit {
  bool usable = false;     // false: every ratio is undecided
  double tan_below = 0.0;  // ratios below: altitude certainly at or below the limit
  double tan_above = 0.0;  // ratios above: altitude certainly above the limit
};

// prepare_altitude_limit: the bounds for the limit `min_altitude` (radians).
// Limits within two float steps of +-1.5 radians, and NaN, are left unusable.
AltitudeLimit prepare_altitude_limit(float min_altitude);

enum class AltitudeVerdict { Below, Above, Undecided };

// altitude_verdict: given the bounds prepared for a limit and ratio =
// sin_alt / cos_alt (double), whether the altitude float(atan(ratio)) is
// certainly at or below the limit, certainly above it, or needs the arctangent.
inline AltitudeVerdict altitude_verdict(const AltitudeLimit& test, double ratio) {
  if (!test.usable) return AltitudeVerdict::Undecided;
  if (ratio > test.tan_above) return AltitudeVerdict::Above;
  if (ratio < test.tan_below) return AltitudeVerdict::Below;
  return AltitudeVerdict::Undecided;  // also a ratio that is not a number
}

}  // namespace vespera
