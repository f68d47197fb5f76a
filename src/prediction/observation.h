// Observation geometry and filters: for one trial point of a pass, where the
// satellite stands in the observer's sky (range, altitude, azimuth, right
// ascension and declination), whether it is lit and bright enough, and which
// of the run's filters it fails. The verdict tells the pass walk how to go on.
#pragma once

#include <cstdint>

#include "prediction/engine_context.h"
#include "prediction/orbit.h"

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

// The values of one trial point (single precision). Angles in radians,
// distances in statute miles, times in engine days.
struct PointObservation {
  float time = 0.0f;                         // engine time T
  float day_part = 0.0f;                     // T minus T truncated toward zero
  float since_epoch = 0.0f;                  // t, days since the element epoch
  float revolutions = 0.0f;                  // total revolutions since the epoch
  float r = 0.0f;                            // geocentric distance
  float height = 0.0f;                       // r minus the site radius
  float sin_lat_s = 0.0f, cos_lat_s = 1.0f;  // sub-satellite latitude
  float west_lon = 0.0f;                     // west longitude W of the sub-satellite point
  float dlon_obs = 0.0f;                     // W minus the site's west longitude, in [-pi, pi)
  float cos_gamma = 0.0f, sin_gamma = 0.0f;  // geocentric angle site - sub-satellite point
  float range = 0.0f;                        // observer to satellite
  float sin_alt = 0.0f, cos_alt = 1.0f;
  // Set for a point that passes, and for any point whose minimum-altitude
  // test or altitude window needs it; 0 otherwise (see AltitudeLimit).
  float altitude = 0.0f;
  float azimuth = 0.0f;  // from north through east, [0, 2 pi]
  float sin_dec = 0.0f, cos_dec = 1.0f, dec = 0.0f, ra = 0.0f;  // topocentric, of the date
  float out_ra = 0.0f;   // hours, referred to the requested equinox
  float out_dec = 0.0f;  // degrees, referred to the requested equinox

  // Illumination (set when the point reaches the shadow test).
  float cos_psi = 0.0f;  // cosine of the angle satellite - sun at the earth's centre, <= 0
  // Miles above the shadow cylinder; -infinity straight behind the earth.
  float shadow_height = 0.0f;
  // Brightness (set when the point reaches the magnitude test).
  float cos_beta = 0.0f;       // cosine of the phase angle
  float magnitude = 0.0f;      // estimated visual magnitude m
  int32_t phase_angle = 0;     // whole degrees, set for a point that passes
  bool bright_enough = false;  // passed the magnitude test
};

// The sun as one pass walk sees it: taken from the day's SunTrack at the
// walk's first point (walk state 0) and kept unchanged for the rest of the walk.
struct WalkSun {
  float ra = 0.0f;       // right ascension, radians
  float sin_dec = 0.0f;  // sine and cosine of the declination
  float cos_dec = 1.0f;
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

// observe_point: given the argument of latitude u on crossing j (0-based) of
// `orbit`, evaluates the trial point and returns its outcome; `point` receives
// the values computed up to the step where the point ended. `probe` marks the
// direction probe after a stored prediction: then only the time placement, the
// sub-satellite point, the horizon test, range and altitude and the azimuth are
// computed, and the horizon test is the only filter (Reject or Accept).
// `walk_state` 0 (the walk's first point) takes the walk's sun from the day's
// SunTrack into `sun`. The walk's own u is not changed: the normalised u stays
// inside. A u or a time that is not a finite number is rejected.
PointOutcome observe_point(EngineContext& context, const OrbitSetup& orbit, int j, float u,
                           bool probe, int walk_state, WalkSun& sun, PointObservation& point);

// The part of observe_point that follows the placement of the point on the
// orbit: given `point` with its time values filled in and the sub-satellite
// point `ground`, runs the sky geometry and every filter after the time window.
PointOutcome observe_from_ground(EngineContext& context, const SubsatellitePoint& ground,
                                 bool probe, int walk_state, WalkSun& sun, PointObservation& point);

}  // namespace vespera
