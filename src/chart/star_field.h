// The bright stars of one date: their places precessed from J2000 to the
// date once, then seen from the site at any sidereal time of that night.
#pragma once

#include <vector>

#include "chart/sky_place.h"

namespace vespera::chart {

struct VisibleStar {
  Horizontal seen;
  double magnitude = 0.0;
};

class StarField {
 public:
  // The stars' places referred to the equator and equinox of the date.
  explicit StarField(double julian_day);

  // The stars above the horizon at the local sidereal time (degrees),
  // seen from the latitude.
  std::vector<VisibleStar> visible(double local_sidereal_degrees, double latitude) const;

 private:
  struct Place {
    double ra;  // radians
    double sin_dec, cos_dec;
    double magnitude;
  };
  std::vector<Place> places_;
};

}  // namespace vespera::chart
