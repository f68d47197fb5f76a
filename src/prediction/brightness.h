// Brightness: the visual magnitude of a lit trial point from the standard
// magnitude, the range, the phase angle and atmospheric extinction, with the
// magnitude-limit test, and the standard magnitude estimated from a satellite's
// cross-section when none is known.
#pragma once

#include <cstdint>

#include "vocabulary/fixed_text.h"
#include "prediction/engine_context.h"
#include "prediction/observation.h"

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

// brightness: looks the catalogue number up in the magnitude catalogue (brief
// form, into context.info) and applies estimate_brightness with the run's
// magnitude limit and context.defaultMagnitudeBoundary. Returns true when too faint.
bool brightness(EngineContext& context, PointObservation& point, const WalkSun& sun, int32_t ncat);

}  // namespace vespera
