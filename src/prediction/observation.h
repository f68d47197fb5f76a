// Observation geometry and filters: for one trial point of a pass, where the
// satellite stands in the observer's sky (range, altitude, azimuth, right
// ascension and declination), whether it is lit and bright enough, and which
// of the run's filters it fails. The geometry is computed in named stages;
// between them the filters are applied in their fixed order, each stage only
// as far as a filter or the stored prediction needs it. The outcome tells the
// pass walk how to go on.
#pragma once

#include <cmath>

#include <cstdint>

#include "prediction/altitude_limit.h"
#include "prediction/brightness.h"
#include "prediction/night.h"
#include "prediction/orbit.h"
#include "prediction/point_observation.h"
#include "prediction/site_geometry.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// Verdict on one trial point, in the order the filters are applied.
enum class PointOutcome {
  EndOfSet,  // beyond the window end by more than 0.01 day: no later revolution can help
  Reject,    // unusable; the walk in this direction ends
  Skip,      // outside an altitude-maximum, azimuth, RA or declination window; walk on past it
  Shadow,    // in the earth's shadow
  TooFaint,  // fainter than the magnitude limit
  Accept,
};

// The run's filters of a trial point (angles in radians, ranges in miles),
// prepared once per run.
struct ObservationFilters {
  bool rangeLimitOn = false;
  float rangeLimit = 0.0f;
  float minAltitude = 0.0f;
  AltitudeLimit altitude_limit;  // the minimum-altitude test prepared for minAltitude
  bool altAzLimits = false;
  float altitudeMin = 0.0f, altitudeMax = 0.0f, azimuthMin = 0.0f, azimuthMax = 0.0f;
  bool raDecLimits = false;
  float raMin = 0.0f, raMax = 0.0f, decMin = 0.0f, decMax = 0.0f;
  bool ignoreShadow = false;
  bool radarFormat = false;  // no sky coordinates and no brightness
  float magnitudeLimit = 0.0f;
  int32_t defaultMagnitudeBoundary = 0;
};

// observation_filters: the filters of a run's settings, with the altitude
// limit prepared, and the catalogue's default-magnitude boundary.
ObservationFilters observation_filters(const RunSettings& settings,
                                       int32_t defaultMagnitudeBoundary);

// What every trial point of one candidate revolution is observed against:
// the site, the run's filters, the night (window and sun), and the element
// set's orbit with the crossing j of the candidate and its standard magnitude.
// In the SGP4 model the orbit places the trial points in time only, and the
// SGP4 theory places the satellite at those times (sgp4_observation.h).
struct ObservationScope {
  const SiteGeometry& site;
  const ObservationFilters& filters;
  const NightState& night;
  const ElementSet& set;
  const OrbitSetup& orbit;
  int j = 0;
  StandardMagnitude magnitude;
};

// The direction of a probe point on the sky: what the direction of motion
// of a stored prediction is measured from.
struct SkyDirection {
  float azimuth = 0.0f;  // radians from north through east
  float sin_alt = 0.0f;
  float cos_alt = 1.0f;
};

// Time window test of a trial point at engine time `time`. Returns true and
// sets `outcome` (EndOfSet beyond window end + 0.01 day, Reject before the
// start or beyond the end by less) when the point lies outside the window;
// false when it lies inside (start and end included).
bool outside_time_window(float time, const ObservingWindow& window, PointOutcome& outcome);

// Whether x lies in the inclusive window [low, high]; when low is not below
// high the window runs through zero (x >= low or x <= high), so equal limits
// accept every value.
bool in_wrapped_window(float x, float low, float high);

// refer_to_equinox: sets out_ra (hours) and out_dec (degrees) of a point
// whose topocentric ra, sin_dec, cos_dec and out_dec (the declination of
// the date in degrees) are set: referred from the equator of the date to the
// requested equinox with the site's precession factors.
void refer_to_equinox(const SiteGeometry& site, PointObservation& point);

// place_trial_point: the argument of latitude u (radians) on the scope's
// crossing, placed in time. False when u or its time is not a finite number.
inline bool place_trial_point(const ObservationScope& scope, float u, OrbitPoint& placed) {
  if (!std::isfinite(u)) return false;
  placed = time_of_u(scope.set, scope.orbit, scope.j, u);
  return std::isfinite(placed.time);
}

// observe_placed_point: the trial point `placed`, seen with the walk's sun:
// the time window, the sky geometry and every filter. Returns the outcome;
// `point` receives the values computed up to the step where the point ended.
PointOutcome observe_placed_point(const ObservationScope& scope, const OrbitPoint& placed,
                                  const WalkSun& sun, PointObservation& point);

// observe_from_ground: the part of observe_placed_point after the time
// window: given `point` with its time values filled in and its sub-satellite
// point `ground`, the sky geometry and every filter in order.
PointOutcome observe_from_ground(const ObservationScope& scope, const SubsatellitePoint& ground,
                                 const WalkSun& sun, PointObservation& point);

// probe_point: the direction probe at u, a little further along the orbit
// than a stored prediction: only its place in the sky, with the horizon
// plane as the only test. False when the probe lies below that plane (or u
// is not a finite number).
bool probe_point(const ObservationScope& scope, float u, SkyDirection& direction);

// probe_from_ground: the part of probe_point after the placement in time.
bool probe_from_ground(const SiteGeometry& site, const SubsatellitePoint& ground,
                       SkyDirection& direction);

}  // namespace vespera
