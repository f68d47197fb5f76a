#include "sgp4/osculating_state.h"

#include <cmath>
#include <limits>

#include "sgp4/turns.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The long-period term of the mean longitude has 1 + cos i in its divisor:
// held at this near 180 degrees.
constexpr double kMinOnePlusCosI = 1.5e-12;

// The eccentricity vector with its long-period term, and the mean longitude
// less the node (U of the report).
struct LongPeriod {
  double axn = 0.0, ayn = 0.0;
  double u = 0.0;
};

LongPeriod long_period(const OrbitElements& e, double sin_i, double cos_i) {
  const double one_plus_cos = std::fabs(cos_i + 1.0) > kMinOnePlusCosI ? 1.0 + cos_i : kMinOnePlusCosI;
  const double longitude_coef = -0.25 * kJ3OverJ2 * sin_i * (3.0 + 5.0 * cos_i) / one_plus_cos;
  const double ay_coef = -0.5 * kJ3OverJ2 * sin_i;
  const double inv_p = 1.0 / (e.semi_major_axis * (1.0 - e.eccentricity * e.eccentricity));
  LongPeriod lp;
  lp.axn = e.eccentricity * std::cos(e.argument_of_perigee);
  lp.ayn = e.eccentricity * std::sin(e.argument_of_perigee) + inv_p * ay_coef;
  const double longitude =
      e.mean_anomaly + e.argument_of_perigee + e.node + inv_p * longitude_coef * lp.axn;
  lp.u = remainder_of_turns(longitude - e.node);
  return lp;
}

// Kepler's equation for E + omega: sin and cos of the solution. They are
// those of the last iterate whose correction was computed, as the theory's
// iteration leaves them.
struct KeplerSolution {
  double sin_ew = 0.0, cos_ew = 1.0;
};

KeplerSolution solve_kepler(const LongPeriod& lp) {
  KeplerSolution s;
  double ew = lp.u;
  double correction = 9999.9;
  for (int iteration = 0; iteration < 10 && std::fabs(correction) >= 1.0e-12; ++iteration) {
    s.sin_ew = std::sin(ew);
    s.cos_ew = std::cos(ew);
    correction = (lp.u - lp.ayn * s.cos_ew + lp.axn * s.sin_ew - ew) /
                 (1.0 - s.cos_ew * lp.axn - s.sin_ew * lp.ayn);
    if (std::fabs(correction) >= 0.95) correction = correction > 0.0 ? 0.95 : -0.95;
    ew += correction;
  }
  return s;
}

// The osculating radius r (earth radii), argument of latitude, node,
// inclination, and the radial and transverse speeds (canonical units).
struct Osculating {
  double r = 0.0, u = 0.0, node = 0.0, inclination = 0.0;
  double r_dot = 0.0, r_f_dot = 0.0;
};

Osculating short_periodics(const OrbitElements& e, const LongPeriod& lp, const KeplerSolution& k, double sin_i,
                           double cos_i, double p_l) {
  const double a = e.semi_major_axis;
  const double e_cos_e = lp.axn * k.cos_ew + lp.ayn * k.sin_ew;
  const double e_sin_e = lp.axn * k.sin_ew - lp.ayn * k.cos_ew;
  const double r = a * (1.0 - e_cos_e);
  const double beta_l = std::sqrt(1.0 - (lp.axn * lp.axn + lp.ayn * lp.ayn));
  const double t = e_sin_e / (1.0 + beta_l);
  const double sin_u = a / r * (k.sin_ew - lp.ayn - lp.axn * t);
  const double cos_u = a / r * (k.cos_ew - lp.axn + lp.ayn * t);
  const double sin_2u = (cos_u + cos_u) * sin_u;
  const double cos_2u = 1.0 - 2.0 * sin_u * sin_u;
  const double cos2 = cos_i * cos_i;
  const double k2_over_p = 0.5 * kJ2 / p_l;
  const double k2_over_p2 = k2_over_p / p_l;
  const double con41 = 3.0 * cos2 - 1.0;
  const double n_over_ke = e.mean_motion / kKePerMinute;
  Osculating o;
  o.r = r * (1.0 - 1.5 * k2_over_p2 * beta_l * con41) + 0.5 * k2_over_p * (1.0 - cos2) * cos_2u;
  o.u = std::atan2(sin_u, cos_u) - 0.25 * k2_over_p2 * (7.0 * cos2 - 1.0) * sin_2u;
  o.node = e.node + 1.5 * k2_over_p2 * cos_i * sin_2u;
  o.inclination = e.inclination + 1.5 * k2_over_p2 * cos_i * sin_i * cos_2u;
  o.r_dot = std::sqrt(a) * e_sin_e / r - n_over_ke * k2_over_p * (1.0 - cos2) * sin_2u;
  o.r_f_dot = std::sqrt(p_l) / r + n_over_ke * k2_over_p * ((1.0 - cos2) * cos_2u + 1.5 * con41);
  return o;
}

// The unit vectors towards the satellite (U) and along its motion (V) in
// TEME, and the state in km and km/s.
TemeState to_teme(const Osculating& o) {
  const double sin_u = std::sin(o.u), cos_u = std::cos(o.u);
  const double sin_node = std::sin(o.node), cos_node = std::cos(o.node);
  const double sin_i = std::sin(o.inclination), cos_i = std::cos(o.inclination);
  const double mx = -sin_node * cos_i;
  const double my = cos_node * cos_i;
  const double ux = mx * sin_u + cos_node * cos_u;
  const double uy = my * sin_u + sin_node * cos_u;
  const double uz = sin_i * sin_u;
  const double vx = mx * cos_u - cos_node * sin_u;
  const double vy = my * cos_u - sin_node * sin_u;
  const double vz = sin_i * cos_u;
  const double r_km = o.r * kEarthRadiusKm;
  TemeState s;
  s.error = o.r < 1.0 ? Sgp4Error::kDecayed : Sgp4Error::kNone;
  s.position_km = {r_km * ux, r_km * uy, r_km * uz};
  s.velocity_km_s = {(o.r_dot * ux + o.r_f_dot * vx) * kCanonicalSpeedKmPerSecond,
                     (o.r_dot * uy + o.r_f_dot * vy) * kCanonicalSpeedKmPerSecond,
                     (o.r_dot * uz + o.r_f_dot * vz) * kCanonicalSpeedKmPerSecond};
  return s;
}

}  // namespace

TemeState osculating_state(const OrbitElements& elements) {
  const double sin_i = std::sin(elements.inclination);
  const double cos_i = std::cos(elements.inclination);
  const LongPeriod lp = long_period(elements, sin_i, cos_i);
  const KeplerSolution k = solve_kepler(lp);
  const double p_l = elements.semi_major_axis * (1.0 - (lp.axn * lp.axn + lp.ayn * lp.ayn));
  if (!(p_l >= 0.0)) return {Sgp4Error::kSemiLatusRectum, {kNaN, kNaN, kNaN}, {kNaN, kNaN, kNaN}};
  return to_teme(short_periodics(elements, lp, k, sin_i, cos_i, p_l));
}

}  // namespace vespera::sgp4
