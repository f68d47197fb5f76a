// TemeState: the result of one propagation, in the true-equator mean-equinox
// (TEME) frame of the element set's theory.
#pragma once

#include <array>

#include "sgp4/sgp4_error.h"

namespace vespera::sgp4 {

struct TemeState {
  // kNone, or the reason the state could not be computed. With kDecayed the
  // vectors are computed (the point lies inside the earth); with any other
  // error they are NaN.
  Sgp4Error error = Sgp4Error::kNone;
  std::array<double, 3> position_km{};
  std::array<double, 3> velocity_km_s{};
};

}  // namespace vespera::sgp4
