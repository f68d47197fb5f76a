// Illumination: whether the earth's shadow hides a trial point, and how far
// above the shadow it stands.
#pragma once

#include <cmath>

#include "prediction/night.h"
#include "prediction/point_observation.h"
#include "prediction/site_geometry.h"

namespace vespera {

// Miles of allowance above the shadow boundary per unit of |cos_psi|: a point
// must stand this much higher to count as lit the deeper it is behind the earth.
inline constexpr double kShadowAllowanceMiles = 40.0;

// sun_at_walk_start: the walk's sun at engine time `time`, from the day's
// track (right ascension and the sine and cosine of the declination, each
// moved on linearly from the track's reference time).
WalkSun sun_at_walk_start(const SunTrack& track, float time);

// The sun of one walk: taken at the time of the walk's first point (u*) and
// held for the rest of the walk.
class WalkStartSun {
 public:
  // A walk starts: the sun is taken again at its first point.
  void forget() { taken_ = false; }
  const WalkSun& at(const SunTrack& track, float time) {
    if (!taken_) {
      sun_ = sun_at_walk_start(track, time);
      taken_ = true;
    }
    return sun_;
  }

 private:
  WalkSun sun_;
  bool taken_ = false;
};

// illuminate: given a trial point with its time, sub-satellite point and r
// filled in, the walk's sun and the site. Sets point.cos_psi (clamped to 0
// over the day side) and point.shadow_height (miles above a shadow cylinder
// of the site radius; -infinity for a satellite straight behind the earth,
// with no division by zero). Returns true when the point is in shadow: |cos_psi| x 40 miles above
// shadow_height, unless `ignore_shadow` is set. A point exactly at the
// allowance is lit.
bool illuminate(PointObservation& point, const WalkSun& sun, const SiteGeometry& site,
                bool ignore_shadow);

// shadow_margin: how far (miles) a point that shade has seen stands above
// the shadow's edge less the allowance: in shadow when negative.
inline double shadow_margin(const PointObservation& point) {
  return static_cast<double>(point.shadow_height) -
         std::fabs(static_cast<double>(point.cos_psi)) * kShadowAllowanceMiles;
}

// shade: the shadow test of illuminate, given the cosine of the angle
// between the satellite's and the sun's directions from the earth's centre
// (before clamping) and a point with r filled in. Sets point.cos_psi and
// point.shadow_height as illuminate does; returns true in shadow.
bool shade(PointObservation& point, float cos_psi, const SiteGeometry& site, bool ignore_shadow);

}  // namespace vespera
