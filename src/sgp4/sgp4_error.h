// The outcome of a propagation: the error codes of the modern revision of the
// theory (Vallado et al., "Revisiting Spacetrack Report #3", AIAA 2006-6753),
// each with a short text.
#pragma once

namespace vespera::sgp4 {

enum class Sgp4Error {
  kNone = 0,
  kMeanElements = 1,           // eccentricity >= 1 or < -0.001, or semi-major axis < 0.95 earth radii
  kMeanMotion = 2,             // mean motion not above zero
  kPerturbedEccentricity = 3,  // eccentricity outside 0..1 after the lunar-solar periodics
  kSemiLatusRectum = 4,        // semi-latus rectum below zero
  kSubOrbitalEpoch = 5,        // epoch elements sub-orbital: no longer raised, kept for the numbering
  kDecayed = 6,                // the satellite is inside the earth (radius below one earth radius)
};

// error_text: the text of a code, e.g. "satellite has decayed"; "unknown
// error" for a value outside the enumeration.
const char* error_text(Sgp4Error error);

}  // namespace vespera::sgp4
