#include "prediction/observation.h"

#include <cmath>

#include "prediction/angles.h"
#include "prediction/illumination.h"
#include "prediction/orbit_constants.h"
#include "prediction/point_filters.h"

namespace vespera {

namespace {

// At or above this cosine of the geocentric angle the satellite counts as
// straight overhead: altitude pi/2, azimuth 0, and a small stand-in sine.
constexpr float kOverheadCosGamma = 0.99999952f;
constexpr float kOverheadSinGamma = 1.0e-5f;
// Declinations closer to a pole than this sine are held at it.
constexpr double kLargestSinDec = 0.9999989867210388;
constexpr float kHeldSinDec = 0.99999899f;

double d(float x) { return static_cast<double>(x); }

// A trial point before any value is computed; copied rather than built in
// place, which compilers do with a slow block fill and a re-read.
const PointObservation kFreshPoint{};

bool overhead(const PointObservation& point) { return point.cos_gamma >= kOverheadCosGamma; }

// Geometry, stage 1: the sub-satellite point and the geocentric angle to it
// from the site. Returns the height of the satellite above the plane of the
// observer's horizon (miles).
float place_over_ground(const SiteGeometry& site, const SubsatellitePoint& ground,
                        PointObservation& point) {
  point.r = ground.r;
  point.height = ground.height;
  point.sin_lat_s = ground.sin_lat;
  point.cos_lat_s = ground.cos_lat;
  point.west_lon = ground.west_lon;
  float dlon_obs = static_cast<float>(d(ground.west_lon) - d(site.longitude));
  wrap_below(dlon_obs, kPi, kTwoPi);
  point.dlon_obs = dlon_obs;
  point.cos_gamma = static_cast<float>(d(site.sin_lat) * d(point.sin_lat_s) +
                                       d(site.cos_lat) * d(point.cos_lat_s) * std::cos(d(dlon_obs)));
  return static_cast<float>(d(point.r) * d(point.cos_gamma) - d(site.site_radius));
}

// Geometry, stage 2: the range and the sine and cosine of the altitude.
void place_in_range(const SiteGeometry& site, float vertical, PointObservation& point) {
  const double cos_gamma = point.cos_gamma;
  point.sin_gamma =
      overhead(point) ? kOverheadSinGamma : static_cast<float>(std::sqrt(1.0 - cos_gamma * cos_gamma));
  point.range = static_cast<float>(std::sqrt(d(site.site_radius) * d(site.site_radius) +
                                             d(point.r) * d(point.r) -
                                             2.0 * d(site.site_radius) * d(point.r) * cos_gamma));
  point.sin_alt = static_cast<float>(d(vertical) / d(point.range));
  point.cos_alt = static_cast<float>(d(point.r) * d(point.sin_gamma) / d(point.range));
}

// Geometry, stage 3: the altitude itself.
void find_altitude(PointObservation& point) {
  point.altitude = overhead(point)
                       ? kHalfPi
                       : static_cast<float>(std::atan(d(point.sin_alt) / d(point.cos_alt)));
}

// Geometry, stage 4: the azimuth from north through east. Returns the
// cosine of the azimuth, which the declination needs.
float place_in_azimuth(const SiteGeometry& site, PointObservation& point) {
  if (overhead(point)) {
    point.azimuth = 0.0f;
    return 1.0f;
  }
  const float cos_az = static_cast<float>((d(point.sin_lat_s) - d(site.sin_lat) * d(point.cos_gamma)) /
                                          (d(site.cos_lat) * d(point.sin_gamma)));
  point.azimuth = clamped_arccos(cos_az);
  // West of the observer the azimuth lies beyond south.
  if (point.dlon_obs > 0.0f) point.azimuth = static_cast<float>(d(kTwoPi) - d(point.azimuth));
  return cos_az;
}

// Geometry, stage 5: the topocentric declination of the date.
void place_in_declination(const SiteGeometry& site, float cos_az, PointObservation& point) {
  float sin_dec = static_cast<float>(d(cos_az) * d(point.cos_alt) * d(site.cos_lat) +
                                     d(point.sin_alt) * d(site.sin_lat));
  if (std::fabs(d(sin_dec)) > kLargestSinDec) sin_dec = std::copysign(kHeldSinDec, sin_dec);
  point.sin_dec = sin_dec;
  point.cos_dec = static_cast<float>(std::sqrt(1.0 - d(sin_dec) * d(sin_dec)));
  point.dec = static_cast<float>(std::atan2(d(sin_dec), d(point.cos_dec)));
  point.out_dec = static_cast<float>(d(point.dec) * d(kDegreesPerRadian));
}

// Geometry, stage 6: the topocentric right ascension of the date, from the
// hour angle (west of the meridian for an eastern azimuth below pi).
void place_in_right_ascension(const SiteGeometry& site, PointObservation& point) {
  float hour_angle = clamped_arccos(
      static_cast<float>((d(point.sin_alt) - d(point.sin_dec) * d(site.sin_lat)) /
                         (d(site.cos_lat) * d(point.cos_dec))));
  if (point.azimuth >= kPi) hour_angle = static_cast<float>(d(kTwoPi) - d(hour_angle));
  float ra = static_cast<float>(d(hour_angle) - d(site.longitude) +
                                gmst_radians(point.time, site.start_sidereal));
  wrap_two_pi(ra);
  point.ra = ra;
}

// At or below the minimum altitude. The altitude's arctangent is taken
// (once, by `altitude`) only where the prepared bounds leave the answer open.
template <class FindAltitude>
bool below_minimum_altitude(PointObservation& point, const ObservationFilters& filters,
                            FindAltitude altitude) {
  AltitudeVerdict verdict = AltitudeVerdict::Undecided;
  if (!overhead(point)) {
    verdict = altitude_verdict(filters.altitude_limit, d(point.sin_alt) / d(point.cos_alt));
  }
  if (verdict != AltitudeVerdict::Undecided) return verdict == AltitudeVerdict::Below;
  altitude();
  return point.altitude <= filters.minAltitude;
}

}  // namespace

ObservationFilters observation_filters(const RunSettings& settings,
                                       int32_t defaultMagnitudeBoundary) {
  ObservationFilters filters;
  filters.rangeLimitOn = settings.rangeLimitOn;
  filters.rangeLimit = settings.rangeLimit;
  filters.minAltitude = settings.minAltitude;
  filters.altitude_limit = prepare_altitude_limit(settings.minAltitude);
  filters.altAzLimits = settings.altAzLimits;
  filters.altitudeMin = settings.altitudeMin;
  filters.altitudeMax = settings.altitudeMax;
  filters.azimuthMin = settings.azimuthMin;
  filters.azimuthMax = settings.azimuthMax;
  filters.raDecLimits = settings.raDecLimits;
  filters.raMin = settings.raMin;
  filters.raMax = settings.raMax;
  filters.decMin = settings.decMin;
  filters.decMax = settings.decMax;
  filters.ignoreShadow = settings.ignoreShadow;
  filters.radarFormat = settings.radarFormat;
  filters.magnitudeLimit = settings.magnitudeLimit;
  filters.defaultMagnitudeBoundary = defaultMagnitudeBoundary;
  return filters;
}

bool outside_time_window(float time, const ObservingWindow& window, PointOutcome& outcome) {
  if (time < window.start) {
    outcome = PointOutcome::Reject;
    return true;
  }
  // Beyond the window's margin lies no revolution the day's search can use.
  if (d(time) > d(window.end) + d(kWindowMarginDays)) {
    outcome = PointOutcome::EndOfSet;
    return true;
  }
  if (time > window.end) {
    outcome = PointOutcome::Reject;
    return true;
  }
  return false;
}

bool in_wrapped_window(float x, float low, float high) {
  if (low < high) return low <= x && x <= high;
  return x >= low || x <= high;
}

void refer_to_equinox(const SiteGeometry& site, PointObservation& point) {
  const double ra = point.ra;
  point.out_ra = static_cast<float>(ra * d(kHoursPerRadian) -
                                    d(site.precession_dec) * (d(point.sin_dec) / d(point.cos_dec)) *
                                        std::sin(ra) -
                                    d(site.precession_ra));
  if (point.out_ra < 0.0f) point.out_ra = static_cast<float>(d(point.out_ra) + 24.0);
  point.out_dec =
      static_cast<float>(d(point.out_dec) - d(site.precession_dec) * 15.0 * std::cos(ra));
}

PointOutcome observe_placed_point(const ObservationScope& scope, const OrbitPoint& placed,
                                  const WalkSun& sun, PointObservation& point) {
  point = kFreshPoint;
  point.time = placed.time;
  point.since_epoch = placed.since_epoch;
  point.revolutions = placed.revolutions;
  PointOutcome outcome;
  if (outside_time_window(point.time, scope.night.window, outcome)) return outcome;

  const SubsatellitePoint ground = subsatellite_point(scope.orbit, scope.site, placed);
  return observe_from_ground(scope, ground, sun, point);
}

PointOutcome observe_from_ground(const ObservationScope& scope, const SubsatellitePoint& ground,
                                 const WalkSun& sun, PointObservation& point) {
  const SiteGeometry& site = scope.site;
  const ObservationFilters& filters = scope.filters;

  // The altitude, found once where a filter or the stored prediction needs it.
  bool altitude_found = false;
  const auto altitude = [&] {
    if (!altitude_found) find_altitude(point);
    altitude_found = true;
  };

  const float vertical = place_over_ground(site, ground, point);
  if (below_horizon_plane(vertical)) return PointOutcome::Reject;
  place_in_range(site, vertical, point);
  if (beyond_range_limit(point, filters)) return PointOutcome::Reject;
  if (below_minimum_altitude(point, filters, altitude)) return PointOutcome::Reject;
  if (illuminate(point, sun, site, filters.ignoreShadow)) return PointOutcome::Shadow;
  if (filters.altAzLimits) altitude();
  if (below_altitude_window(point, filters)) return PointOutcome::Reject;
  if (above_altitude_window(point, filters)) return PointOutcome::Skip;
  const float cos_az = place_in_azimuth(site, point);
  if (outside_azimuth_window(point, filters)) return PointOutcome::Skip;

  // The radar layout prints neither sky coordinates nor magnitudes.
  if (!filters.radarFormat) {
    place_in_declination(site, cos_az, point);
    if (outside_declination_window(point, filters)) return PointOutcome::Skip;
    place_in_right_ascension(site, point);
    if (outside_right_ascension_window(point, filters)) return PointOutcome::Skip;
    if (too_faint(point, sun, scope.magnitude, filters)) return PointOutcome::TooFaint;
    refer_to_equinox(site, point);
  }
  altitude();
  return PointOutcome::Accept;
}

bool probe_point(const ObservationScope& scope, float u, SkyDirection& direction) {
  OrbitPoint placed;
  if (!place_trial_point(scope, u, placed)) return false;
  return probe_from_ground(scope.site, subsatellite_point(scope.orbit, scope.site, placed),
                           direction);
}

bool probe_from_ground(const SiteGeometry& site, const SubsatellitePoint& ground,
                       SkyDirection& direction) {
  PointObservation point = kFreshPoint;
  const float vertical = place_over_ground(site, ground, point);
  if (below_horizon_plane(vertical)) return false;
  place_in_range(site, vertical, point);
  place_in_azimuth(site, point);
  direction = SkyDirection{point.azimuth, point.sin_alt, point.cos_alt};
  return true;
}

}  // namespace vespera
