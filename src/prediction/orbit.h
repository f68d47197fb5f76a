// The orbit model and the revolution search. The model is a Keplerian ellipse
// whose mean motion changes linearly with time, whose node and perigee turn by
// fixed amounts per revolution and whose eccentricity shrinks to zero as the
// satellite decays. Positions are computed from the argument of latitude u;
// time follows from u through Kepler's equation and the revolution count.
//
// The search does not step through time: it tracks, revolution by revolution,
// where the ground track reaches the observer's latitude (one or two crossings)
// and hands a revolution to the pass walk only when a crossing lies within
// lon_window of the observer's longitude.
#pragma once

#include <cstdint>

#include "elements/element_set.h"
#include "prediction/night.h"
#include "prediction/orbit_constants.h"
#include "prediction/site_geometry.h"
#include "vocabulary/stop_request.h"

namespace vespera {

// One point where the ground track reaches the observer's latitude.
struct LatitudeCrossing {
  float u = 0.0f;         // argument of latitude of the crossing, radians
  float dl = 0.0f;        // longitude of the crossing east of the node, radians
  float M = 0.0f;         // mean anomaly of the crossing, revolutions, [0, 1)
  int32_t rev = 0;        // whole revolutions from the epoch
  float lon_diff = 0.0f;  // crossing west longitude minus the observer's, radians
};

// The orbit of the current element set for one day (all single precision).
struct OrbitSetup {
  float sin_i = 0.0f, cos_i = 0.0f;
  float lat_margin = 0.0f;
  float lon_window = 0.0f;      // acceptance half-width, radians
  float epoch_time = 0.0f;      // tE, engine days
  float dt_start = 0.0f;        // window start - 0.01 - tE, days
  float n_now = 0.0f;           // mean motion at the window start, rev/day
  float node_angle0 = 0.0f;     // west longitude of the ascending node at the epoch
  float rel_rot_period = 0.0f;  // days for the earth to turn once relative to the orbit plane
  float rot_per_turn = 0.0f;    // radians per day
  float perigee_factor = 0.0f;
  float a = 0.0f;         // semi-major axis, miles
  float e = 0.0f;         // eccentricity in use
  float e_factor = 0.0f;  // sqrt((1 - e) / (1 + e))
  float p = 0.0f;         // semi-latus rectum, miles
  float period = 0.0f;    // P, days between successive crossings
  int32_t rev_base = 0;
  float next_time = 0.0f;  // engine time of the earliest crossing under test
  int crossing_count = 0;  // 1 or 2
  LatitudeCrossing crossings[2];
  float u_ref = 0.0f;   // first crossing's u before any hemisphere shift
  float dl_ref = 0.0f;  // |dl_1|, or pi/2 for a single crossing
};

// A point of the orbit placed in time by time_of_u.
struct OrbitPoint {
  float u = 0.0f;            // normalised argument of latitude
  float nu = 0.0f;           // true anomaly
  float M = 0.0f;            // mean anomaly, revolutions
  float revolutions = 0.0f;  // total revolutions since the epoch
  float since_epoch = 0.0f;  // t, days since the epoch
  float time = 0.0f;         // T, engine time
  // cos nu, sin u and cos u in double, for subsatellite_point. time_of_u
  // takes them together with its own sine, before its divisions: the
  // library's trigonometric routines wait for every arithmetic operation
  // still in flight, so calling them first saves that wait.
  double cos_nu = 1.0;
  double sin_u = 0.0;
  double cos_u = 1.0;
};

// The sub-satellite point of an orbit point.
struct SubsatellitePoint {
  float r = 0.0f;       // geocentric distance, miles
  float height = 0.0f;  // r minus the site radius, miles
  float sin_lat = 0.0f, cos_lat = 1.0f;
  float node_lon = 0.0f;  // longitude east of the node, radians
  float west_lon = 0.0f;  // west longitude W, radians
};

// Whether the search goes on after a candidate revolution.
enum class SearchStep { NextRevolution, SetFinished };

// What the search of one element set on one day reads besides its OrbitSetup.
struct SearchScope {
  const ElementSet& set;
  const SiteGeometry& site;
  const ObservingWindow& window;
  int32_t minAltitudeDeg;  // below 20 degrees the acceptance width is widened
  StopToken stop;          // asked at every revolution the search moves on
  // Added to the acceptance width, radians: the SGP4 model's passes lie up
  // to a degree from the compact orbit's.
  float lonWindowMargin = 0.0f;
  // Days around the window in which crossings are searched.
  float windowMarginDays = kWindowMarginDays;
};

// setup_orbit: fills `orbit` for the set and the day's window: the orbit's
// constants, the acceptance width and the one or two latitude crossings of the
// first revolution to test. Returns false when the set is skipped for the day:
// a mean motion at the window start of 4.0 rev/day or less or 16.65 or more,
// or numbers that give no usable orbit (an eccentricity of 1 or more, a
// period between crossings that is not a positive finite number, a
// revolution count beyond 32 bits, NaN).
bool setup_orbit(const SearchScope& scope, OrbitSetup& orbit);

// set_orbit_shape: the size and shape of the ellipse for a mean motion n
// (rev/day) and an eccentricity e: a = 26249.041 / n^(2/3) miles, e,
// e_factor = sqrt((1 - e) / (1 + e)) and the semi-latus rectum p (miles).
void set_orbit_shape(OrbitSetup& orbit, float mean_motion, float eccentricity);

// next_candidate: moves on revolution by revolution (testing the current one
// first when `advance_first` is false) until a crossing lies within
// lon_window of the observer; then gives its crossing index j (0 or 1) and
// the argument of latitude u_star at which the satellite comes nearest the
// observer, and returns true. Returns false when the set is finished for the
// day: the next crossing falls after the window end + 0.01 day, the satellite
// has decayed (mean motion 16.65 rev/day), or the search can make no progress.
bool next_candidate(const SearchScope& scope, OrbitSetup& orbit, bool advance_first, int& j,
                    float& u_star);

// revolutions_to_time: days since the epoch at which the revolution count
// n0 t + ndot t^2 reaches R (one Newton step from R / n0, no convergence
// test). Negative R gives a time before the epoch.
inline float revolutions_to_time(const ElementSet& set, float revolutions);

// time_of_u: places the argument of latitude u (radians; brought into
// [0, 2 pi] by one turn at most) on the revolution of crossing j, within half
// a revolution of the crossing, and gives its true and mean anomaly, total
// revolutions since the epoch, days since the epoch and engine time.
inline OrbitPoint time_of_u(const ElementSet& set, const OrbitSetup& orbit, int j, float u);

// subsatellite_point: geocentric distance and height above the site radius
// (miles), sub-satellite latitude (sine, cosine), longitude east of the node
// and west longitude (radians, [0, 2 pi]) of a point from time_of_u (whose
// cos_nu, sin_u and cos_u it uses).
inline SubsatellitePoint subsatellite_point(const OrbitSetup& orbit, const SiteGeometry& site,
                                            const OrbitPoint& point);

}  // namespace vespera

// The inline definitions of revolutions_to_time, time_of_u and subsatellite_point.
#include "prediction/orbit_position.h"  // IWYU pragma: export
