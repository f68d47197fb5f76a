#include "sgp4/sgp4_error.h"

namespace vespera::sgp4 {

const char* error_text(Sgp4Error error) {
  switch (error) {
    case Sgp4Error::kNone:
      return "no error";
    case Sgp4Error::kMeanElements:
      return "mean elements out of range: eccentricity >= 1 or < -0.001, or semi-major axis < 0.95 earth radii";
    case Sgp4Error::kMeanMotion:
      return "mean motion less than or equal to zero";
    case Sgp4Error::kPerturbedEccentricity:
      return "perturbed eccentricity outside 0..1";
    case Sgp4Error::kSemiLatusRectum:
      return "semi-latus rectum less than zero";
    case Sgp4Error::kSubOrbitalEpoch:
      return "epoch elements are sub-orbital";
    case Sgp4Error::kDecayed:
      return "satellite has decayed";
  }
  return "unknown error";
}

}  // namespace vespera::sgp4
