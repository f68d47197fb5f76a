#include "prediction/brightness.h"

#include <cmath>

#include "prediction/angles.h"

namespace vespera {

float default_standard_magnitude(int32_t ncat, int32_t default_boundary) {
  return ncat > default_boundary ? 4.0f : 7.0f;
}

float cross_section_magnitude(int32_t ncat, const FixedText<4>& cross_section,
                              int32_t default_boundary) {
  const float fallback = default_standard_magnitude(ncat, default_boundary);
  if (cross_section.blank()) return fallback;

  float x = 0.0f;
  bool in_fraction = false;
  double divisor = 1.0;  // 10, 100, ... for the digits after the decimal point
  for (const char c : cross_section.chars) {
    const bool digit = c >= '0' && c <= '9';
    if (in_fraction) {
      if (!digit) return fallback;  // a blank after the point included
      divisor *= 10.0;
      x = static_cast<float>(static_cast<double>(x) + static_cast<double>(c - '0') / divisor);
    } else if (c == ' ') {
      continue;
    } else if (digit) {
      x = static_cast<float>(10.0 * static_cast<double>(x) + static_cast<double>(c - '0'));
    } else if (c == '.') {
      in_fraction = true;
    } else {
      return fallback;
    }
  }
  if (x > 0.0f) return static_cast<float>(6.5 - 2.5 * std::log10(static_cast<double>(x)));
  return fallback;
}

float phase_function(float cos_beta) {
  const double c = cos_beta;
  return static_cast<float>((c + static_cast<double>(2.001f) + c * std::fabs(c)) * 0.25);
}

float magnitude_offset(float range, float phase_function_value, float sin_alt) {
  const double scaled = static_cast<double>(range) / static_cast<double>(kStandardRangeMiles);
  const double extinction = kExtinctionPerAirMass;
  return static_cast<float>(
      2.5 * std::log10(scaled * scaled / static_cast<double>(phase_function_value)) +
      extinction / static_cast<double>(sin_alt) - extinction);
}

bool estimate_brightness(PointObservation& point, const WalkSun& sun, float m_std,
                         const FixedText<4>& cross_section, int32_t ncat, float magnitude_limit,
                         int32_t default_boundary) {
  point.bright_enough = false;
  const float cos_beta = static_cast<float>(
      -(static_cast<double>(sun.cos_dec) * static_cast<double>(point.cos_dec) *
            std::cos(static_cast<double>(sun.ra) - static_cast<double>(point.ra)) +
        static_cast<double>(sun.sin_dec) * static_cast<double>(point.sin_dec)));
  point.cos_beta = cos_beta;
  const float f = phase_function(cos_beta);
  const float dm = magnitude_offset(point.range, f, point.sin_alt);
  const float m = static_cast<float>(static_cast<double>(m_std) + static_cast<double>(dm));
  point.magnitude = m;

  bool too_faint;
  if (m_std == kUnknownMagnitude) {
    const float est = static_cast<float>(
        static_cast<double>(cross_section_magnitude(ncat, cross_section, default_boundary)) +
        static_cast<double>(dm));
    too_faint = est > magnitude_limit;
  } else {
    too_faint = m > magnitude_limit;
  }
  if (too_faint) return true;

  // clamped_arccos lies in [0, pi], so the whole degrees fit any integer.
  point.phase_angle = static_cast<int32_t>(static_cast<double>(clamped_arccos(cos_beta)) *
                                           static_cast<double>(kDegreesPerRadian));
  point.bright_enough = true;
  return false;
}

StandardMagnitude standard_magnitude(const MagnitudeCatalogue& catalogue, int32_t ncat) {
  const MagnitudeInfo info = lookupMagnitude(catalogue, ncat, LookupForm::Brief);
  return StandardMagnitude{ncat, info.magnitude, info.crossSection};
}

}  // namespace vespera
