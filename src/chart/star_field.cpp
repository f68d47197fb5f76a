#include "chart/star_field.h"

#include <cmath>

#include "chart/bright_stars.h"

namespace vespera::chart {

namespace {

constexpr double kRadian = 3.14159265358979323846 / 180.0;

}  // namespace

StarField::StarField(double julian_day) {
  places_.reserve(kBrightStars.size());
  for (const BrightStar& star : kBrightStars) {
    const Equatorial of_date = precess(Equatorial{star.raHours * 15.0, star.decDegrees}, kJ2000, julian_day);
    const double dec = of_date.decDegrees * kRadian;
    places_.push_back(Place{of_date.raDegrees * kRadian, std::sin(dec), std::cos(dec), star.magnitude});
  }
}

std::vector<VisibleStar> StarField::visible(double local_sidereal_degrees, double latitude) const {
  const double lst = local_sidereal_degrees * kRadian, phi = latitude * kRadian;
  const double sin_phi = std::sin(phi), cos_phi = std::cos(phi);
  std::vector<VisibleStar> stars;
  for (const Place& p : places_) {
    const double h = lst - p.ra;
    const double cos_h = std::cos(h);
    const double sin_alt = sin_phi * p.sin_dec + cos_phi * p.cos_dec * cos_h;
    if (sin_alt <= 0.0) continue;
    const double azimuth = std::atan2(-p.cos_dec * std::sin(h), p.sin_dec * cos_phi - p.cos_dec * cos_h * sin_phi);
    stars.push_back(VisibleStar{Horizontal{std::asin(std::fmin(1.0, sin_alt)) / kRadian,
                                           wrap_degrees(azimuth / kRadian)},
                                p.magnitude});
  }
  return stars;
}

}  // namespace vespera::chart
