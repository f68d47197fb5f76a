#include "prediction/observation.h"

#include <cmath>

#include "prediction/angles.h"
#include "prediction/brightness.h"
#include "prediction/illumination.h"
#include "prediction/orbit_constants.h"

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

}  // namespace

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

PointOutcome observe_point(EngineContext& context, const OrbitSetup& orbit, int j, float u,
                           bool probe, int walk_state, WalkSun& sun, PointObservation& point) {
  point = kFreshPoint;
  if (!std::isfinite(u)) return PointOutcome::Reject;

  const OrbitPoint placed = time_of_u(context.current, orbit, j, u);
  point.time = placed.time;
  point.since_epoch = placed.since_epoch;
  point.revolutions = placed.revolutions;
  if (!std::isfinite(point.time)) return PointOutcome::Reject;

  if (!probe) {
    PointOutcome outcome;
    if (outside_time_window(point.time, context.night.window, outcome)) return outcome;
  }
  point.day_part = static_cast<float>(d(point.time) - std::trunc(d(point.time)));

  const SubsatellitePoint ground = subsatellite_point(orbit, context.site, placed);
  return observe_from_ground(context, ground, probe, walk_state, sun, point);
}

PointOutcome observe_from_ground(EngineContext& context, const SubsatellitePoint& ground,
                                 bool probe, int walk_state, WalkSun& sun,
                                 PointObservation& point) {
  const SiteGeometry& site = context.site;
  const RunSettings& settings = context.settings;

  point.r = ground.r;
  point.height = ground.height;
  point.sin_lat_s = ground.sin_lat;
  point.cos_lat_s = ground.cos_lat;
  point.west_lon = ground.west_lon;
  float dlon_obs = static_cast<float>(d(ground.west_lon) - d(site.longitude));
  wrap_below(dlon_obs, kPi, kTwoPi);
  point.dlon_obs = dlon_obs;

  // Horizon plane: the satellite must stand above the plane through the
  // observer square to the site's radius. A value that is not a number fails.
  const float cos_gamma =
      static_cast<float>(d(site.sin_lat) * d(point.sin_lat_s) +
                         d(site.cos_lat) * d(point.cos_lat_s) * std::cos(d(dlon_obs)));
  point.cos_gamma = cos_gamma;
  const float vertical = static_cast<float>(d(point.r) * d(cos_gamma) - d(site.site_radius));
  if (!(vertical > 0.0f)) return PointOutcome::Reject;

  const bool overhead = cos_gamma >= kOverheadCosGamma;
  point.sin_gamma = overhead ? kOverheadSinGamma
                             : static_cast<float>(std::sqrt(1.0 - d(cos_gamma) * d(cos_gamma)));
  point.range = static_cast<float>(
      std::sqrt(d(site.site_radius) * d(site.site_radius) + d(point.r) * d(point.r) -
                2.0 * d(site.site_radius) * d(point.r) * d(cos_gamma)));
  point.sin_alt = static_cast<float>(d(vertical) / d(point.range));
  point.cos_alt = static_cast<float>(d(point.r) * d(point.sin_gamma) / d(point.range));

  // The altitude, computed where a filter or the stored prediction needs it.
  bool altitude_known = false;
  auto find_altitude = [&] {
    if (altitude_known) return;
    point.altitude =
        overhead ? kHalfPi : static_cast<float>(std::atan(d(point.sin_alt) / d(point.cos_alt)));
    altitude_known = true;
  };

  if (!probe) {
    if (settings.rangeLimitOn && point.range > settings.rangeLimit) return PointOutcome::Reject;

    AltitudeVerdict verdict = AltitudeVerdict::Undecided;
    if (!overhead) {
      verdict = altitude_verdict(context.altitude_limit, settings.minAltitude,
                                 d(point.sin_alt) / d(point.cos_alt));
    }
    if (verdict == AltitudeVerdict::Undecided) {
      find_altitude();
      verdict = point.altitude <= settings.minAltitude ? AltitudeVerdict::Below
                                                       : AltitudeVerdict::Above;
    }
    if (verdict == AltitudeVerdict::Below) return PointOutcome::Reject;

    if (illuminate(point, walk_state, context.night.sun, site, settings.ignoreShadow, sun)) {
      return PointOutcome::Shadow;
    }

    if (settings.altAzLimits) {
      find_altitude();
      if (point.altitude < settings.altitudeMin) return PointOutcome::Reject;
      if (point.altitude > settings.altitudeMax) return PointOutcome::Skip;
    }
  }

  float cos_az = 1.0f;
  if (overhead) {
    point.azimuth = 0.0f;
  } else {
    cos_az = static_cast<float>((d(point.sin_lat_s) - d(site.sin_lat) * d(cos_gamma)) /
                                (d(site.cos_lat) * d(point.sin_gamma)));
    point.azimuth = clamped_arccos(cos_az);
    // West of the observer the azimuth lies beyond south.
    if (dlon_obs > 0.0f) point.azimuth = static_cast<float>(d(kTwoPi) - d(point.azimuth));
  }
  // The direction probe needs no more than the azimuth and the altitude's sine and cosine.
  if (probe) return PointOutcome::Accept;

  if (settings.altAzLimits &&
      !in_wrapped_window(point.azimuth, settings.azimuthMin, settings.azimuthMax)) {
    return PointOutcome::Skip;
  }

  // The radar layout prints neither sky coordinates nor magnitudes.
  if (settings.radarFormat) {
    find_altitude();
    return PointOutcome::Accept;
  }

  float sin_dec = static_cast<float>(d(cos_az) * d(point.cos_alt) * d(site.cos_lat) +
                                     d(point.sin_alt) * d(site.sin_lat));
  if (std::fabs(d(sin_dec)) > kLargestSinDec) sin_dec = std::copysign(kHeldSinDec, sin_dec);
  point.sin_dec = sin_dec;
  point.cos_dec = static_cast<float>(std::sqrt(1.0 - d(sin_dec) * d(sin_dec)));
  point.dec = static_cast<float>(std::atan2(d(sin_dec), d(point.cos_dec)));
  if (settings.raDecLimits && (point.dec < settings.decMin || point.dec > settings.decMax)) {
    return PointOutcome::Skip;
  }
  point.out_dec = static_cast<float>(d(point.dec) * d(kDegreesPerRadian));

  // Hour angle, west of the meridian for an eastern azimuth below pi.
  float hour_angle = clamped_arccos(static_cast<float>(
      (d(point.sin_alt) - d(sin_dec) * d(site.sin_lat)) / (d(site.cos_lat) * d(point.cos_dec))));
  if (point.azimuth >= kPi) hour_angle = static_cast<float>(d(kTwoPi) - d(hour_angle));
  float ra = static_cast<float>(d(hour_angle) - d(site.longitude) +
                                gmst_radians(point.time, site.start_sidereal));
  wrap_two_pi(ra);
  point.ra = ra;
  if (settings.raDecLimits && !in_wrapped_window(ra, settings.raMin, settings.raMax)) {
    return PointOutcome::Skip;
  }

  if (brightness(context, point, sun, context.current.ncat)) return PointOutcome::TooFaint;

  // Referred from the equator of the date to the requested equinox.
  point.out_ra = static_cast<float>(d(ra) * d(kHoursPerRadian) -
                                    d(site.precession_dec) * (d(sin_dec) / d(point.cos_dec)) *
                                        std::sin(d(ra)) -
                                    d(site.precession_ra));
  if (point.out_ra < 0.0f) point.out_ra = static_cast<float>(d(point.out_ra) + 24.0);
  point.out_dec =
      static_cast<float>(d(point.out_dec) - d(site.precession_dec) * 15.0 * std::cos(d(ra)));
  find_altitude();
  return PointOutcome::Accept;
}

}  // namespace vespera
