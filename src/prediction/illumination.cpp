#include "prediction/illumination.h"

#include <cmath>
#include <limits>

#include "prediction/angles.h"

namespace vespera {

WalkSun sun_at_walk_start(const SunTrack& track, float time) {
  const float delta =
      static_cast<float>(static_cast<double>(time) - static_cast<double>(track.reference_time));
  const double d = delta;
  WalkSun sun;
  sun.ra =
      static_cast<float>(static_cast<double>(track.ra) + static_cast<double>(track.ra_per_day) * d);
  sun.sin_dec = static_cast<float>(static_cast<double>(track.sin_dec) +
                                   static_cast<double>(track.sin_dec_per_day) * d);
  sun.cos_dec = static_cast<float>(static_cast<double>(track.cos_dec) +
                                   static_cast<double>(track.cos_dec_per_day) * d);
  return sun;
}

bool illuminate(PointObservation& point, const WalkSun& sun, const SiteGeometry& site,
                bool ignore_shadow) {
  // The sun's hour angle at Greenwich: the west longitude of the sub-solar point.
  const float sun_hour_angle = static_cast<float>(gmst_radians(point.time, site.start_sidereal) -
                                                  static_cast<double>(sun.ra));

  float cos_psi = static_cast<float>(
      std::cos(static_cast<double>(sun_hour_angle) - static_cast<double>(point.west_lon)) *
          static_cast<double>(point.cos_lat_s) * static_cast<double>(sun.cos_dec) +
      static_cast<double>(point.sin_lat_s) * static_cast<double>(sun.sin_dec));
  return shade(point, cos_psi, site, ignore_shadow);
}

bool shade(PointObservation& point, float cos_psi, const SiteGeometry& site, bool ignore_shadow) {
  if (cos_psi > 0.0f) cos_psi = 0.0f;  // over the day side
  point.cos_psi = cos_psi;

  // Distance from the shadow axis is r sin(psi); the shadow is a cylinder of
  // the site radius. Straight behind the earth (and where rounding makes
  // |cos_psi| exceed 1) the boundary is infinitely far up: deep shadow.
  const double off_axis_squared = 1.0 - static_cast<double>(cos_psi) * static_cast<double>(cos_psi);
  if (off_axis_squared > 0.0) {
    point.shadow_height =
        static_cast<float>(static_cast<double>(point.r) -
                           static_cast<double>(site.site_radius) / std::sqrt(off_axis_squared));
  } else {
    point.shadow_height = -std::numeric_limits<float>::infinity();
  }

  return !ignore_shadow && shadow_margin(point) < 0.0;
}

}  // namespace vespera
