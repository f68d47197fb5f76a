// TemeState: the result of one propagation, in the true-equator mean-equinox
// (TEME) frame of the element set's theory.
#pragma once

#include <array>
#include <limits>

#include "sgp4/sgp4_error.h"

namespace vespera::sgp4 {

struct TemeState {
  // kNone, or the reason the state could not be computed. With kDecayed the
  // vectors are computed (the point lies inside the earth); with any other
  // error they are NaN.
  Sgp4Error error = Sgp4Error::kNone;
  std::array<double, 3> position_km{};
  std::array<double, 3> velocity_km_s{};
  // The mean anomaly of the propagated mean elements at that time (after
  // the secular, drag and lunar-solar terms, before the short periodics),
  // radians, reduced by whole turns but of either sign; NaN when the
  // elements could not be propagated.
  double mean_anomaly = std::numeric_limits<double>::quiet_NaN();
};

}  // namespace vespera::sgp4
