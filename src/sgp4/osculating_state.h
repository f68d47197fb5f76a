// osculating_state: position and velocity from the mean elements at a time.
// Adds the long-period J3 terms to the mean longitude and to the
// eccentricity vector (axN, ayN), solves Kepler's equation for E + omega by
// Newton's method (at most 10 iterations, each correction held within 0.95
// rad, stopping below 1e-12 rad), adds the short-period J2 terms to the
// radius, argument of latitude, node, inclination and the two velocity
// components, and turns the result into the TEME frame.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), section 6 (the SGP4
// model, from "Add the long-period periodic terms" to the position and
// velocity vectors); Vallado et al., "Revisiting Spacetrack Report #3",
// AIAA 2006-6753, section IV (the bounded Newton step, the 180-degree guard
// of the long-period term, the checks of the semi-latus rectum and radius).
//
// Given the elements after the secular terms (and for a deep-space orbit the
// lunar-solar periodics); the short-period terms take their inclination.
// Returns the state in km and km/s; error kSemiLatusRectum (vectors NaN) or
// kDecayed (vectors computed) when those checks fail.
#pragma once

#include "sgp4/orbit_elements.h"
#include "sgp4/teme_state.h"

namespace vespera::sgp4 {

TemeState osculating_state(const OrbitElements& elements);

}  // namespace vespera::sgp4
