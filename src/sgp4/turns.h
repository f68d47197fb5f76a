// remainder_of_turns: x less its whole turns of 2 pi, toward zero (the sign
// of x kept), as fmod(x, 2 pi) computes it, by one division and one
// truncation instead of fmod's exact long division: the same value for
// |x| < 4 pi, within a few units in the last place of x beyond. The
// propagation reduces several angles at every call.
#pragma once

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {

inline double remainder_of_turns(double x) { return x - kTwoPi * std::trunc(x / kTwoPi); }

}  // namespace vespera::sgp4
