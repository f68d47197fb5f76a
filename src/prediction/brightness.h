// Brightness: the visual magnitude of a lit trial point from the standard
// magnitude, the range, the phase angle and atmospheric extinction, with the
// magnitude-limit test, and the standard magnitude estimated from a satellite's
// cross-section when none is known.
#pragma once

#include <cstdint>

#include "magnitudes/magnitude_catalogue.h"
#include "prediction/point_observation.h"
#include "vocabulary/fixed_text.h"

namespace vespera {

// Range at which the standard magnitude holds: 1000 km in statute miles.
inline constexpr float kStandardRangeMiles = 621.37f;
// Extinction, magnitudes per unit of air mass above one.
inline constexpr float kExtinctionPerAirMass = 0.3f;

// default_standard_magnitude: 4.0 for a catalogue number above the boundary
// (a newer, typically larger object), 7.0 at or below it.
float default_standard_magnitude(int32_t ncat, int32_t default_boundary);

// cross_section_magnitude: given a catalogue number and the catalogue's
// 4-character cross-section text (a decimal number in square metres, blanks
// before it allowed), returns 6.5 - 2.5 log10(x) for a cross-section x > 0.
// Four blanks, a zero value, or any other character (a blank after the
// decimal point included) give the default of default_standard_magnitude.
float cross_section_magnitude(int32_t ncat, const FixedText<4>& cross_section,
                              int32_t default_boundary);

// phase_function: F = (cos_beta + 2.001 + cos_beta |cos_beta|) x 0.25; 1.00025
// fully lit (phase 0), 0.50025 at phase 90 degrees, 0.00025 at 180 degrees.
float phase_function(float cos_beta);

// magnitude_offset: dm = 2.5 log10((range / 621.37)^2 / F) + 0.3 / sin_alt - 0.3,
// the change from the standard magnitude for the range (miles), the phase
// function and the air mass 1 / sin_alt.
float magnitude_offset(float range, float phase_function_value, float sin_alt);

// estimate_brightness: given a point with its topocentric ra, sin_dec,
// cos_dec, range and sin_alt, the walk's sun, the standard magnitude m_std
// (20.0 when unknown) with the cross-section text, the catalogue number, the
// magnitude limit and the default-magnitude boundary. Sets point.cos_beta and
// point.magnitude (m = m_std + dm, also for an unknown m_std); for a point
// that passes, point.phase_angle (whole degrees) and point.bright_enough.
// Returns true when the point is too faint: m above the limit, or, for an
// unknown m_std, the cross-section estimate + dm above the limit.
bool estimate_brightness(PointObservation& point, const WalkSun& sun, float m_std,
                         const FixedText<4>& cross_section, int32_t ncat, float magnitude_limit,
                         int32_t default_boundary);

// The standard magnitude of one satellite as the catalogue gives it (brief
// lookup): 20.0 when unknown, with the cross-section text. Looked up once for
// each element set searched.
struct StandardMagnitude {
  int32_t ncat = 0;
  float magnitude = kUnknownMagnitude;
  FixedText<4> crossSection;
};

// standard_magnitude: the brief lookup of catalogue number `ncat`.
StandardMagnitude standard_magnitude(const MagnitudeCatalogue& catalogue, int32_t ncat);

}  // namespace vespera
