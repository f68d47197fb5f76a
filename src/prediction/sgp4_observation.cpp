#include "prediction/sgp4_observation.h"

#include <cmath>

#include "prediction/angles.h"
#include "prediction/illumination.h"
#include "prediction/point_filters.h"
#include "prediction/teme_to_observer.h"
#include "sgp4/wgs72.h"
#include "vocabulary/units.h"

namespace vespera {

namespace {

using sgp4::kMinutesPerDay;
constexpr double kDegreesPerRadianDouble = 180.0 / sgp4::kPi;
// Declinations closer to a pole than this sine are held at it, as in the
// compact model (the referral to the equinox divides by cos dec).
constexpr double kLargestSinDec = 0.9999989867210388;
constexpr float kHeldSinDec = 0.99999899f;

float to_float(double x) { return static_cast<float>(x); }

// Kilometres to the engine's statute miles (the report turns them back with
// the same factor).
float miles(double km) { return to_float(km / static_cast<double>(kKilometresPerMile)); }

// The point's place in time: days since the epoch and the revolution count
// whose fraction is the part of the revolution since the perigee.
void place_in_time(const SatelliteFix& fix, PointObservation& point) {
  point.since_epoch = to_float(fix.minutes / kMinutesPerDay);
  point.revolutions = to_float(fix.mean_anomaly / kTwoPiDouble);
}

// Range and the sine and cosine of the altitude from the site.
void place_in_range(const TopocentricView& view, PointObservation& point) {
  point.range = miles(view.range_km);
  point.sin_alt = to_float(view.up_km / view.range_km);
  point.cos_alt = to_float(std::hypot(view.east_km, view.north_km) / view.range_km);
}

// At or below the minimum altitude: the sine of the altitude against the
// sine of the minimum (the same test, without the arctangent); the altitude
// is found for the points that pass.
bool below_minimum_altitude(const TopocentricView& view, const ObservationFilters& filters,
                            PointObservation& point) {
  if (!(view.up_km / view.range_km > std::sin(static_cast<double>(filters.minAltitude)))) return true;
  point.altitude = to_float(altitude_of(view));
  return false;
}

// The geocentric place: distance, height above the ellipsoid, the
// sub-satellite latitude (geocentric) and west longitude.
void place_over_earth(const SatelliteFix& fix, const SiteGeometry& site, PointObservation& point) {
  const Vector3& r = fix.earth_fixed.position_km;
  const double distance = length(r);
  point.r = miles(distance);
  point.height = miles(height_above_ellipsoid_km(r));
  point.sin_lat_s = to_float(r[2] / distance);
  point.cos_lat_s = to_float(std::hypot(r[0], r[1]) / distance);
  float west = to_float(-std::atan2(r[1], r[0]));
  wrap_two_pi(west);
  point.west_lon = west;
  float dlon_obs = to_float(static_cast<double>(west) - static_cast<double>(site.longitude));
  wrap_below(dlon_obs, kPi, kTwoPi);
  point.dlon_obs = dlon_obs;
}

// Topocentric right ascension and declination of the date.
void place_in_equator(const TopocentricView& view, const SatelliteFix& fix, PointObservation& point) {
  const EquatorialDirection direction = topocentric_equatorial(view, fix.earth_fixed);
  float sin_dec = to_float(direction.sin_dec);
  float cos_dec = to_float(direction.cos_dec);
  if (std::fabs(static_cast<double>(sin_dec)) > kLargestSinDec) {
    sin_dec = std::copysign(kHeldSinDec, sin_dec);
    cos_dec = to_float(std::sqrt(1.0 - static_cast<double>(sin_dec) * static_cast<double>(sin_dec)));
  }
  point.sin_dec = sin_dec;
  point.cos_dec = cos_dec;
  const double dec = std::atan2(static_cast<double>(sin_dec), static_cast<double>(cos_dec));
  point.dec = to_float(dec);
  point.out_dec = to_float(dec * kDegreesPerRadianDouble);
  point.ra = to_float(direction.ra);
}

}  // namespace

float sun_angle_cosine(const Vector3& teme_km, const WalkSun& sun) {
  const double ra = sun.ra;
  const double cos_dec = sun.cos_dec;
  const Vector3 toward_sun{cos_dec * std::cos(ra), cos_dec * std::sin(ra),
                           static_cast<double>(sun.sin_dec)};
  return to_float(dot(teme_km, toward_sun) / length(teme_km));
}

PointOutcome observe_sgp4_point(const ObservationScope& scope, Sgp4Observer& sgp4, float time,
                                const WalkSun& sun, PointObservation& point) {
  point = PointObservation{};
  point.time = time;
  PointOutcome outcome;
  if (outside_time_window(time, scope.night.window, outcome)) return outcome;
  SatelliteFix fix;
  if (!sgp4.ephemeris.locate(time, fix)) return PointOutcome::EndOfSet;
  place_in_time(fix, point);

  const SiteGeometry& site = scope.site;
  const ObservationFilters& filters = scope.filters;
  const TopocentricView view = topocentric_view(fix.earth_fixed.position_km, sgp4.site);
  if (!(view.up_km > 0.0)) return PointOutcome::Reject;  // below the horizon plane
  place_in_range(view, point);
  if (beyond_range_limit(point, filters)) return PointOutcome::Reject;
  if (below_minimum_altitude(view, filters, point)) return PointOutcome::Reject;
  place_over_earth(fix, site, point);
  if (shade(point, sun_angle_cosine(fix.teme_km, sun), site, filters.ignoreShadow)) {
    return PointOutcome::Shadow;
  }
  if (below_altitude_window(point, filters)) return PointOutcome::Reject;
  if (above_altitude_window(point, filters)) return PointOutcome::Skip;
  point.azimuth = to_float(azimuth_of(view));
  if (outside_azimuth_window(point, filters)) return PointOutcome::Skip;

  // The radar layout prints neither sky coordinates nor magnitudes.
  if (!filters.radarFormat) {
    place_in_equator(view, fix, point);
    if (outside_declination_window(point, filters)) return PointOutcome::Skip;
    if (outside_right_ascension_window(point, filters)) return PointOutcome::Skip;
    if (too_faint(point, sun, scope.magnitude, filters)) return PointOutcome::TooFaint;
    refer_to_equinox(site, point);
  }
  sgp4.accepted = true;
  sgp4.last_time = time;
  sgp4.last = fix;
  return PointOutcome::Accept;
}

bool probe_sgp4_point(Sgp4Observer& sgp4, float time, SkyDirection& direction) {
  if (!sgp4.accepted) return false;
  const double dt = (static_cast<double>(time) - static_cast<double>(sgp4.last_time)) * kSecondsPerDay;
  const double gmst = sidereal_angle(sgp4.ephemeris.start_day_number(), static_cast<double>(time));
  const EarthFixedState fixed = teme_to_earth_fixed(carried_on(sgp4.last, dt), sgp4.last.teme_km_s, gmst);
  const TopocentricView view = topocentric_view(fixed.position_km, sgp4.site);
  if (!(view.up_km > 0.0)) return false;
  PointObservation point;
  place_in_range(view, point);
  direction = SkyDirection{to_float(azimuth_of(view)), point.sin_alt, point.cos_alt};
  return true;
}

PointOutcome Sgp4TrialPoints::observe(float u, PointObservation& point) {
  OrbitPoint placed;
  if (!place_trial_point(scope_, u, placed)) {
    point = PointObservation{};
    return PointOutcome::Reject;
  }
  return observe_sgp4_point(scope_, sgp4_, placed.time, sun_.at(scope_.night.sun, placed.time), point);
}

bool Sgp4TrialPoints::probe(float u, SkyDirection& direction) {
  OrbitPoint placed;
  return place_trial_point(scope_, u, placed) && probe_sgp4_point(sgp4_, placed.time, direction);
}

}  // namespace vespera
