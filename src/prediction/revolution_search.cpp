// next_candidate: the revolution-by-revolution search for a crossing of the
// observer's latitude near the observer's longitude, and the estimate of the
// point of the pass nearest the observer.
#include <cmath>
#include <cstdint>
#include <limits>

#include "prediction/angles.h"
#include "prediction/orbit.h"
#include "prediction/orbit_constants.h"

namespace vespera {

namespace {

double d(float x) { return static_cast<double>(x); }
float f(double x) { return static_cast<float>(x); }

// The eccentricity shrinks as the satellite decays; the refresh is made for
// sets whose mean motion changes by this much (rev/day) in a day or since the
// epoch.
constexpr float kDecayRefreshRate = 0.05f;
// Below this sine of the angle between the crossing and the observer, seen
// from the earth's centre, the observer is taken to lie on the crossing.
constexpr double kMinAngleSine = 9.999999974752427e-07;
// Longitude differences (radians) above which the start point is moved on by
// the earth's turning during the satellite's approach.
constexpr float kMinCorrectedLonDiff = 0.002f;

// Recomputes e, e_factor, a and p for the mean motion the set has reached at
// the candidate crossing. False when the satellite has decayed, or when the
// numbers give no ellipse.
bool refresh_for_decay(const ElementSet& set, OrbitSetup& orbit, const LatitudeCrossing& crossing) {
  const float t = revolutions_to_time(set, f(static_cast<double>(crossing.rev) + d(crossing.M)));
  const float n = f(2.0 * d(set.meanMotionDot) * d(t) + d(set.meanMotion));
  if (!(n < kDecayMeanMotion)) return false;  // decayed (or NaN)
  if (!(n > 0.0f)) return false;
  const float e = f((d(kDecayMeanMotion) - d(n)) * d(set.eccentricity) /
                    (d(kDecayMeanMotion) - d(set.meanMotion)));
  if (!(std::fabs(e) < 1.0f)) return false;
  set_orbit_shape(orbit, n, e);
  return true;
}

// The argument of latitude at which the satellite comes nearest the observer
// on the revolution of crossing j, from the crossing's longitude difference.
float nearest_point_u(const ElementSet& set, const SiteGeometry& site, const OrbitSetup& orbit,
                      int j) {
  // Longitude of the observer east of the crossing, in the sense of motion.
  float delta = orbit.crossings[j].lon_diff;
  if (j == 1) delta = -delta;
  if (orbit.cos_i < 0.0f) delta = -delta;

  // The observer's longitude from the node (x) and the great circle from the
  // node to the observer: w is the argument of latitude of the track's point
  // nearest the observer.
  const float x = f(d(orbit.dl_ref) + d(delta));
  const float c = f(std::cos(d(x)) * d(site.cos_lat));
  float s = f(std::sqrt(std::fabs(1.0 - d(c) * d(c))));
  float w;
  if (std::fabs(d(s)) >= kMinAngleSine) {
    if (x < 0.0f) s = -s;
    const float a1 = f(std::fabs(d(site.sin_lat)) / d(s));
    const float b1 = f(std::sqrt(std::fabs(1.0 - d(a1) * d(a1))));
    w = f(std::atan((d(orbit.sin_i) * d(a1) + std::fabs(d(orbit.cos_i)) * d(b1)) * d(s) / d(c)));
  } else {
    w = 0.0f;
  }
  if (c < 0.0f) w = f(d(w) + d(kPi));

  float du = f(d(w) - d(orbit.u_ref));
  if (j == 1) du = -du;
  if (std::fabs(delta) > kMinCorrectedLonDiff) {
    // The earth turns while the satellite moves by du: move on in proportion.
    float g = f(std::fabs(d(du) / d(delta) / d(set.meanMotion)) * d(du));
    if (orbit.cos_i < 0.0f) g = -g;
    du = f(d(du) + d(g));
  }
  return f(d(orbit.crossings[j].u) + d(du));
}

// Moves the search on by one revolution. False when the next crossing falls
// after the window's end (with the scope's margin), or the search cannot advance.
bool advance_revolution(const SearchScope& scope, OrbitSetup& orbit) {
  if (orbit.rev_base == std::numeric_limits<int32_t>::max()) return false;
  const float next_time = f(d(orbit.next_time) + d(orbit.period));
  // A period too small to change next_time would leave the search standing.
  if (!(next_time > orbit.next_time)) return false;
  orbit.rev_base += 1;
  orbit.next_time = next_time;
  if (d(orbit.next_time) > d(scope.window.end) + d(scope.windowMarginDays)) return false;
  for (int k = 0; k < orbit.crossing_count; ++k) {
    LatitudeCrossing& crossing = orbit.crossings[k];
    crossing.rev += 1;
    crossing.lon_diff = f(d(crossing.lon_diff) + d(orbit.rot_per_turn) * d(orbit.period));
    wrap_below(crossing.lon_diff, kPi, kTwoPi);
  }
  return true;
}

}  // namespace

bool next_candidate(const SearchScope& scope, OrbitSetup& orbit, bool advance_first, int& j,
                    float& u_star) {
  const ElementSet& set = scope.set;
  if (advance_first && !advance_revolution(scope, orbit)) return false;
  for (;;) {
    int k = 0;
    if (orbit.crossing_count == 2 &&
        std::fabs(orbit.crossings[1].lon_diff) < std::fabs(orbit.crossings[0].lon_diff)) {
      k = 1;
    }
    if (std::fabs(orbit.crossings[k].lon_diff) <= orbit.lon_window) {
      if (set.meanMotionDot >= kDecayRefreshRate ||
          2.0 * d(set.meanMotionDot) * d(orbit.dt_start) >= d(kDecayRefreshRate)) {
        if (!refresh_for_decay(set, orbit, orbit.crossings[k])) return false;
      }
      j = k;
      u_star = nearest_point_u(set, scope.site, orbit, k);
      return true;
    }
    scope.stop.throw_if_requested();
    if (!advance_revolution(scope, orbit)) return false;
  }
}

}  // namespace vespera
