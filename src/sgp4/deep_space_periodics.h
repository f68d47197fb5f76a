// add_lunar_solar_periodics: adds the long-period periodic terms of the sun
// and the moon to the eccentricity, inclination, node, argument of perigee
// and mean anomaly of a deep-space orbit at a time. Each body's terms are
// functions of its true anomaly, taken from its mean anomaly by the
// equation of the centre to first order in its eccentricity.
//
// At inclinations of 0.2 rad (11.46 deg) and above the node and perigee
// terms are added directly; below that, where dividing by sin i would blow
// them up, the terms are applied to the non-singular elements sin i sin node,
// sin i cos node and the mean longitude (Lyddane's modification) and the
// node recovered by atan2, kept on the same turn as before. The choice is
// made on the inclination after its periodic term. In kAfspc mode a negative
// node is raised by one turn before the mean longitude is formed and again
// after the atan2, as the operational version of the theory does.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 10 (DEEP,
// the periodics entry); Vallado et al., "Revisiting Spacetrack Report #3",
// AIAA 2006-6753, sections IV.B and V (the Lyddane choice on the perturbed
// inclination, the quadrant of the recovered node).
//
// Given the terms, the time in minutes from the epoch and the elements after
// the secular terms (radians). Returns them with the periodics added; the
// semi-major axis and mean motion are unchanged.
#pragma once

#include "sgp4/lunar_solar_terms.h"
#include "sgp4/mean_elements.h"
#include "sgp4/orbit_elements.h"

namespace vespera::sgp4 {

OrbitElements add_lunar_solar_periodics(const LunarSolarTerms& terms, double minutes, OperationMode mode,
                                        const OrbitElements& secular);

}  // namespace vespera::sgp4
