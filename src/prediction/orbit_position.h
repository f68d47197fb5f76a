// Points of the orbit: time from the revolution count, time from the argument
// of latitude, and the sub-satellite point. Declared in prediction/orbit.h;
// defined inline here, since every trial point of a pass goes through them
// and they are cheaper as part of the observation that uses them.
#pragma once

#include <cmath>
#include <cstdint>

#include "prediction/angles.h"
#include "prediction/orbit.h"

namespace vespera {

namespace orbit_position {

inline double d(float x) { return static_cast<double>(x); }
inline float f(double x) { return static_cast<float>(x); }

// A trial point is kept within this many revolutions of its crossing.
inline constexpr double kHalfRevolution = 0.5;
// Whole revolutions a trial point may be moved to reach its crossing's
// revolution (the mean anomalies differ by less than 1.5 revolutions).
inline constexpr int kMaxRevolutionMoves = 2;

// Eccentric anomaly E from the true anomaly, and sin E.
inline void eccentric_anomaly(const OrbitSetup& orbit, float nu, float& E, double& sin_E) {
  E = f(2.0 * std::atan(std::tan(d(nu) / 2.0) * d(orbit.e_factor)));
  sin_E = std::sin(d(E));
}

// The mean anomaly in revolutions from the eccentric anomaly and its sine.
inline float mean_anomaly_revolutions(const OrbitSetup& orbit, float E, double sin_E) {
  return f((d(E) - d(orbit.e) * sin_E) / d(kTwoPi));
}

// West longitude (radians, [0, 2 pi]) of the point of the orbit `node_lon`
// radians east of the node, `since_epoch` days after the epoch: the earth's
// turn relative to the orbit plane since the epoch, less node_lon, from the
// node's west longitude at the epoch.
inline float west_longitude(const OrbitSetup& orbit, float since_epoch, float node_lon) {
  int32_t turns;
  float g;
  split_turns(f(d(since_epoch) / d(orbit.rel_rot_period)), kTwoPi, turns, g);
  float west = f(d(g) - d(node_lon) + d(orbit.node_angle0));
  wrap_two_pi(west);
  return west;
}

}  // namespace orbit_position

inline float revolutions_to_time(const ElementSet& set, float revolutions) {
  using orbit_position::d;
  using orbit_position::f;
  const double R = revolutions;
  const double n0 = set.meanMotion;
  const double ndot = set.meanMotionDot;
  const float t0 = f(R / n0);
  const double rate_term = ndot * d(t0) + n0;
  return f(d(t0) - (rate_term * d(t0) - R) / (ndot * d(t0) + rate_term));
}

inline OrbitPoint time_of_u(const ElementSet& set, const OrbitSetup& orbit, int j, float u) {
  using orbit_position::d;
  using orbit_position::f;
  const LatitudeCrossing& crossing = orbit.crossings[j];
  OrbitPoint point;
  if (u < 0.0f) u = f(d(u) + d(kTwoPi));
  if (u > kTwoPi) u = f(d(u) - d(kTwoPi));
  point.u = u;
  point.nu = f(d(u) - ((static_cast<double>(crossing.rev) + d(crossing.M)) * d(set.perigeePerRev) +
                       d(set.argPerigee)));
  float E;
  double sin_E;
  orbit_position::eccentric_anomaly(orbit, point.nu, E, sin_E);
  point.cos_nu = std::cos(d(point.nu));
  point.sin_u = std::sin(d(u));
  point.cos_u = std::cos(d(u));
  float M = orbit_position::mean_anomaly_revolutions(orbit, E, sin_E);
  // The revolution of the crossing: the point lies within half a revolution of it.
  float dM = f(d(crossing.M) - d(M));
  for (int moves = 0; moves < orbit_position::kMaxRevolutionMoves &&
                      std::fabs(d(dM)) >= orbit_position::kHalfRevolution;
       ++moves) {
    M = f(d(M) + (dM < 0.0f ? -1.0 : 1.0));
    dM = f(d(crossing.M) - d(M));
  }
  point.M = M;
  point.revolutions = f(static_cast<double>(crossing.rev) + d(M));
  point.since_epoch = revolutions_to_time(set, point.revolutions);
  point.time = f(d(point.since_epoch) + d(orbit.epoch_time));
  return point;
}

inline SubsatellitePoint subsatellite_point(const OrbitSetup& orbit, const SiteGeometry& site,
                                            const OrbitPoint& point) {
  using orbit_position::d;
  using orbit_position::f;
  SubsatellitePoint sub;
  sub.r = f(d(orbit.p) / (point.cos_nu * d(orbit.e) + 1.0));
  sub.height = f(d(sub.r) - d(site.site_radius));
  sub.sin_lat = f(d(orbit.sin_i) * point.sin_u);
  sub.cos_lat = f(std::sqrt(1.0 - d(sub.sin_lat) * d(sub.sin_lat)));

  // Longitude east of the node, measured in the direction of motion.
  const double cos_u = point.cos_u;
  const double sin_u = point.sin_u;
  float node_lon;
  if (cos_u != 0.0) {
    node_lon = f(std::atan(std::fabs(d(orbit.cos_i)) * sin_u / cos_u));
    if (cos_u < 0.0) node_lon = f(d(node_lon) + d(kPi));
  } else {
    node_lon = kHalfPi;
    if (sin_u < 0.0) node_lon = f(d(node_lon) + d(kPi));
  }
  if (orbit.cos_i < 0.0f) node_lon = -node_lon;
  sub.node_lon = node_lon;
  sub.west_lon = orbit_position::west_longitude(orbit, point.since_epoch, node_lon);
  return sub;
}

}  // namespace vespera
