// setup_orbit: the orbit of one element set for one day's window and the
// latitude crossings of the first revolution to test.
#include <cmath>
#include <cstdint>

#include "prediction/angles.h"
#include "prediction/orbit.h"
#include "prediction/orbit_constants.h"

namespace vespera {

namespace {

double d(float x) { return static_cast<double>(x); }
float f(double x) { return static_cast<float>(x); }

// Acceptance half-width of a crossing's longitude difference, before the
// allowances, from how far the track's highest latitude exceeds the
// observer's: the closer the track turns to the observer's latitude, the
// wider the band of longitudes from which a pass can be seen.
float base_lon_window(float lat_margin, float cos_lat) {
  float width;
  if (lat_margin > 0.61f) {
    width = 0.8f;
  } else if (lat_margin > 0.35f) {
    width = 0.9f;
  } else if (lat_margin > 0.17f) {
    width = 1.0f;
  } else if (lat_margin > 0.07f) {
    width = 1.1f;
  } else {
    width = 1.3f;
  }
  return f(d(width) / d(cos_lat));
}

// Below this minimum altitude (degrees) passes lower in the sky count, so the
// acceptance width grows by kLowAltitudeAllowance radians.
constexpr int32_t kLowAltitudeDeg = 20;
constexpr float kLowAltitudeAllowance = 0.17f;
// Apogee allowance: an orbit reaching more than kApogeeClearanceMiles above
// the site radius is seen from further away; the width grows by
// kApogeeAllowancePerThousandMiles radians per 1000 miles beyond it.
constexpr double kApogeeClearanceMiles = 1000.0;
constexpr float kApogeeAllowancePerThousandMiles = 0.37f;
// At or above this ratio of sin(latitude) to sin(inclination) the track turns
// at the observer's latitude: one crossing at the track's highest point.
constexpr float kSingleCrossingRatio = 0.99f;
// Revolution counts must leave room for a day's revolutions in 32 bits.
constexpr double kMaxRevolutionCount = 1.0e9;

// Places crossing k of revolution rev_base in time: its mean anomaly and time
// since the epoch. Returns the time since the epoch.
float place_crossing(const ElementSet& set, const OrbitSetup& orbit, LatitudeCrossing& crossing) {
  const float nu = f(d(crossing.u) - (d(set.perigeePerRev) * static_cast<double>(orbit.rev_base) +
                                      d(set.argPerigee)));
  float E;
  double sin_E;
  orbit_position::eccentric_anomaly(orbit, nu, E, sin_E);
  crossing.M = orbit_position::mean_anomaly_revolutions(orbit, E, sin_E);
  if (crossing.M < 0.0f) crossing.M = f(d(crossing.M) + 1.0);
  return revolutions_to_time(set, f(static_cast<double>(orbit.rev_base) + d(crossing.M)));
}

// West longitude, less the observer's, of the crossing `dl` radians east of
// the node, t days after the epoch: in [-pi, pi) (or just above pi when the
// difference came from 3 pi).
float crossing_lon_diff(const OrbitSetup& orbit, const SiteGeometry& site, float t, float dl) {
  const float west = orbit_position::west_longitude(orbit, t, dl);
  float lon_diff = f(d(west) - d(site.longitude));
  wrap_below(lon_diff, kPi, kTwoPi);
  return lon_diff;
}

}  // namespace

void set_orbit_shape(OrbitSetup& orbit, float mean_motion, float eccentricity) {
  const double e = eccentricity;
  orbit.e = eccentricity;
  orbit.e_factor = f(std::sqrt((1.0 - e) / (1.0 + e)));
  orbit.a = f(kSemiMajorAxisOneRevMiles / std::pow(d(mean_motion), d(kTwoThirds)));
  orbit.p = f((e + 1.0) * (1.0 - e) * d(orbit.a));
}

namespace {

// The acceptance width: how far west or east of the observer a crossing may
// lie for the revolution to be walked.
void set_acceptance_width(const SearchScope& scope, OrbitSetup& orbit) {
  orbit.lat_margin = f(d(kHalfPi) - std::fabs(d(kHalfPi) - d(scope.set.inclination)) -
                       std::fabs(d(scope.site.latitude)));
  orbit.lon_window = base_lon_window(orbit.lat_margin, scope.site.cos_lat);
  if (scope.minAltitudeDeg < kLowAltitudeDeg) {
    orbit.lon_window = f(d(orbit.lon_window) + d(kLowAltitudeAllowance));
  }
  if (scope.lonWindowMargin > 0.0f) {
    orbit.lon_window = f(d(orbit.lon_window) + d(scope.lonWindowMargin));
  }
}

// The orbit's constants for the mean motion at the window start: the node's
// place, the earth's turning under the orbit plane and the ellipse. False
// for a mean motion outside the predicted range or an eccentricity of 1 or more.
bool set_orbit_constants(const SearchScope& scope, OrbitSetup& orbit) {
  const ElementSet& set = scope.set;
  orbit.sin_i = f(std::sin(d(set.inclination)));
  orbit.cos_i = f(std::cos(d(set.inclination)));
  orbit.epoch_time = f(static_cast<double>(int64_t{set.epochDay} - int64_t{scope.site.start_day_number}) +
                       d(set.epochFraction));
  orbit.dt_start = f(d(scope.window.start) - d(scope.windowMarginDays) - d(orbit.epoch_time));
  orbit.n_now = f(d(set.meanMotion) + 2.0 * d(set.meanMotionDot) * d(orbit.dt_start));
  if (!(orbit.n_now > kMinMeanMotion && orbit.n_now < kDecayMeanMotion)) return false;
  if (!(std::fabs(set.eccentricity) < 1.0f)) return false;

  orbit.node_angle0 = f((d(orbit.epoch_time) * d(kSiderealPerSolarDay) +
                         d(scope.site.start_sidereal) + d(set.epochFraction)) *
                            d(kTwoPi) -
                        d(set.nodeRa));
  orbit.rel_rot_period =
      f(1.0 / (d(kEarthTurnsPerDay) - d(set.nodePerRev) * d(orbit.n_now) / d(kTwoPi)));
  orbit.rot_per_turn = f(d(kTwoPi) / d(orbit.rel_rot_period));
  orbit.perigee_factor = f(1.0 - d(set.perigeePerRev) / d(kTwoPi));
  set_orbit_shape(orbit, orbit.n_now, set.eccentricity);

  // Apogee allowance: a high apogee widens the acceptance width.
  const float apogee_excess = f((d(orbit.a) * (1.0 + d(orbit.e)) - d(scope.site.site_radius) -
                                 kApogeeClearanceMiles) *
                                d(0.001f));
  if (apogee_excess > 0.0f) {
    orbit.lon_window =
        f(d(orbit.lon_window) + d(kApogeeAllowancePerThousandMiles) * d(apogee_excess));
  }
  return true;
}

// Where the ground track reaches the observer's latitude: one crossing at the
// track's turning latitude, or two. S is pi with the sign of cos i: the
// second crossing lies that far round from the first as seen from the node.
void find_latitude_crossings(const SiteGeometry& site, OrbitSetup& orbit) {
  const float S = orbit.cos_i < 0.0f ? -kPi : kPi;
  LatitudeCrossing* c = orbit.crossings;
  const float q = f(std::fabs(d(site.sin_lat) / d(orbit.sin_i)));
  if (!(q < kSingleCrossingRatio)) {
    // Includes an equatorial orbit seen from the equator (0 / 0).
    orbit.crossing_count = 1;
    c[0].u = kHalfPi;
    orbit.u_ref = kHalfPi;
    c[0].dl = orbit.cos_i < 0.0f ? -kHalfPi : kHalfPi;
    orbit.dl_ref = kHalfPi;
  } else {
    orbit.crossing_count = 2;
    const float tau = f(d(q) / std::sqrt(1.0 - d(q) * d(q)));
    c[0].u = f(std::atan(d(tau)));
    orbit.u_ref = c[0].u;
    c[0].dl = f(std::atan(d(orbit.cos_i) * d(tau)));
    orbit.dl_ref = std::fabs(c[0].dl);
    c[1].u = f(d(kPi) - d(c[0].u));
    c[1].dl = f(d(S) - d(c[0].dl));
  }
  if (site.sin_lat < 0.0f) {
    // Southern observer: the crossings of the descending half of the track.
    for (int k = 0; k < orbit.crossing_count; ++k) {
      c[k].u = f(d(c[k].u) + d(kPi));
      c[k].dl = f(d(c[k].dl) + d(S));
    }
  }
}

// The crossings of the revolution in which the window (less its margin)
// starts, placed in time and in longitude, and the period between crossings.
// False when the revolution count or the times are no usable numbers.
bool place_first_revolution(const SearchScope& scope, OrbitSetup& orbit) {
  const ElementSet& set = scope.set;
  const double revs_to_start =
      (d(set.meanMotionDot) * d(orbit.dt_start) + d(set.meanMotion)) * d(orbit.dt_start);
  if (!(std::fabs(revs_to_start) < kMaxRevolutionCount)) return false;
  orbit.rev_base = static_cast<int32_t>(revs_to_start);
  if (orbit.dt_start < 0.0f) orbit.rev_base -= 1;

  LatitudeCrossing* c = orbit.crossings;
  for (int k = 0; k < orbit.crossing_count; ++k) {
    const float t = place_crossing(set, orbit, c[k]);
    const float T = f(d(t) + d(orbit.epoch_time));
    if (k == 0) {
      orbit.next_time = T;
      orbit.period =
          f(d(orbit.perigee_factor) / (2.0 * d(set.meanMotionDot) * d(t) + d(set.meanMotion)));
    } else if (orbit.next_time > T) {
      // The second crossing comes first: the first belongs to the revolution before.
      orbit.next_time = f(d(orbit.next_time) - d(orbit.period));
      c[0].rev -= 1;
      c[0].lon_diff = f(d(c[0].lon_diff) - d(orbit.rot_per_turn) * d(orbit.period));
    }
    c[k].rev = orbit.rev_base;
    c[k].lon_diff = crossing_lon_diff(orbit, scope.site, t, c[k].dl);
  }
  // A period between crossings that is not a positive finite number would
  // leave the search standing still or running backward.
  return orbit.period > 0.0f && std::isfinite(orbit.period) && std::isfinite(orbit.next_time);
}

}  // namespace

bool setup_orbit(const SearchScope& scope, OrbitSetup& orbit) {
  orbit = OrbitSetup{};
  set_acceptance_width(scope, orbit);
  if (!set_orbit_constants(scope, orbit)) return false;
  find_latitude_crossings(scope.site, orbit);
  return place_first_revolution(scope, orbit);
}

}  // namespace vespera
