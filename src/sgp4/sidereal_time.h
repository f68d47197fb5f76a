// Greenwich mean sidereal time.
//
// gmst_iau82: the IAU 1982 expression (Aoki et al., "The new definition of
// universal time", A&A 105, 1982) of GMST in seconds, 24110.54841 +
// 8640184.812866 T + 0.093104 T^2 - 6.2e-6 T^3 with T in Julian centuries of
// UT1 from J2000, plus the UT1 time of day; written, as in Vallado et al.,
// "Revisiting Spacetrack Report #3" (AIAA 2006-6753, the gstime routine), as
// one polynomial in T counted from the given instant. Given the UT1 Julian
// date in two parts (any split; the sum is the date). Returns radians in
// [0, 2 pi). This is the angle that turns TEME into the earth-fixed frame
// (about the pole, polar motion aside).
//
// epoch_sidereal_time: the sidereal time at an element set's epoch as the
// deep-space terms take it. kImproved: gmst_iau82 of the epoch. kAfspc: the
// original report's expression from its 1970 January 1.0 reference (Hoots
// and Roehrich, Spacetrack Report No. 3, 1980, section 10, THETAG, with the
// small quadratic term of later versions). Given the epoch in days since
// 1949 December 31 0h UTC. Returns radians in [0, 2 pi) (kImproved) or
// (-2 pi, 2 pi) (kAfspc, as the original computed it).
#pragma once

#include "sgp4/mean_elements.h"

namespace vespera::sgp4 {

double gmst_iau82(double jd_ut1, double jd_ut1_fraction);

double epoch_sidereal_time(double days_since_1950, OperationMode mode);

}  // namespace vespera::sgp4
