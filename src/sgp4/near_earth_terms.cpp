#include "sgp4/near_earth_terms.h"

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

// The atmosphere's density function: the parameter s and (q0 - s)^4, both
// lowered for a perigee below 156 km (below 98 km s is held at 20 km).
struct DensityFunction {
  double s = 0.0;            // earth radii from the centre
  double q0_minus_s4 = 0.0;  // earth radii^4
};

DensityFunction density_function(double perigee_height_km) {
  double s_km = 78.0;
  if (perigee_height_km < 156.0) {
    s_km = perigee_height_km < 98.0 ? 20.0 : perigee_height_km - 78.0;
  }
  const double q0_minus_s = (120.0 - s_km) / kEarthRadiusKm;
  return {s_km / kEarthRadiusKm + 1.0, q0_minus_s * q0_minus_s * q0_minus_s * q0_minus_s};
}

// Quantities of the epoch orbit that the coefficients share.
struct EpochOrbit {
  double theta = 0.0;  // cos i0
  double theta2 = 0.0;
  double sin_i = 0.0;
  double e0 = 0.0;
  double beta2 = 0.0;  // 1 - e0^2
  double beta = 0.0;
};

EpochOrbit epoch_orbit(const MeanElements& elements) {
  EpochOrbit o;
  o.theta = std::cos(elements.inclination);
  o.theta2 = o.theta * o.theta;
  o.sin_i = std::sin(elements.inclination);
  o.e0 = elements.eccentricity;
  o.beta2 = 1.0 - o.e0 * o.e0;
  o.beta = std::sqrt(o.beta2);
  return o;
}

// Recovers n0'' and a0'' from the Kozai mean motion (delta1, a0, delta0 of
// the report). a0'' follows from n0'' by Kepler's third law.
void recover_mean_motion(const MeanElements& elements, const EpochOrbit& o, NearEarthTerms& terms) {
  const double a1 = std::pow(kKePerMinute / elements.mean_motion, kTwoThirds);
  const double k = 0.75 * kJ2 * (3.0 * o.theta2 - 1.0) / (o.beta * o.beta2);
  const double delta1 = k / (a1 * a1);
  const double a0 = a1 * (1.0 - delta1 * delta1 - delta1 * (1.0 / 3.0 + 134.0 * delta1 * delta1 / 81.0));
  const double delta0 = k / (a0 * a0);
  terms.mean_motion = elements.mean_motion / (1.0 + delta0);
  terms.semi_major_axis = std::pow(kKePerMinute / terms.mean_motion, kTwoThirds);
  terms.perigee_height_km = (terms.semi_major_axis * (1.0 - o.e0) - 1.0) * kEarthRadiusKm;
  terms.deep_space = kTwoPi / terms.mean_motion >= kDeepSpacePeriodMinutes;
  terms.simplified_drag = terms.perigee_height_km < 220.0 || terms.deep_space;
}

// D2..D4 and the coefficients of t^3..t^5 in the mean longitude, from C1,
// xi and s (earth radii).
void higher_drag_terms(double xi, double s, NearEarthTerms& terms) {
  const double a = terms.semi_major_axis;
  const double c1sq = terms.c1 * terms.c1;
  terms.d2 = 4.0 * a * xi * c1sq;
  const double temp = terms.d2 * xi * terms.c1 / 3.0;
  terms.d3 = (17.0 * a + s) * temp;
  terms.d4 = 0.5 * temp * a * xi * (221.0 * a + 31.0 * s) * terms.c1;
  terms.t3cof = terms.d2 + 2.0 * c1sq;
  terms.t4cof = 0.25 * (3.0 * terms.d3 + terms.c1 * (12.0 * terms.d2 + 10.0 * c1sq));
  terms.t5cof = 0.2 * (3.0 * terms.d4 + 12.0 * terms.c1 * terms.d3 + 6.0 * terms.d2 * terms.d2 +
                       15.0 * c1sq * (2.0 * terms.d2 + c1sq));
}

// C1, C3 (as the perigee factor), C4, C5 and the drag factors of delta-M and
// the node.
void drag_coefficients(const MeanElements& elements, const EpochOrbit& o, double node_j2_rate,
                       NearEarthTerms& terms) {
  const DensityFunction density = density_function(terms.perigee_height_km);
  const double a = terms.semi_major_axis;
  const double n = terms.mean_motion;
  const double xi = 1.0 / (a - density.s);
  const double eta = a * o.e0 * xi;
  const double eta2 = eta * eta;
  const double e_eta = o.e0 * eta;
  const double psi2 = std::fabs(1.0 - eta2);
  const double coef = density.q0_minus_s4 * xi * xi * xi * xi;
  const double coef1 = coef / std::pow(psi2, 3.5);
  const double con41 = 3.0 * o.theta2 - 1.0;
  const double c2 = coef1 * n *
                    (a * (1.0 + 1.5 * eta2 + e_eta * (4.0 + eta2)) +
                     0.375 * kJ2 * xi / psi2 * con41 * (8.0 + 3.0 * eta2 * (8.0 + eta2)));
  terms.eta = eta;
  terms.c1 = elements.bstar * c2;
  const double c3 = o.e0 > 1.0e-4 ? -2.0 * coef * xi * kJ3OverJ2 * n * o.sin_i / o.e0 : 0.0;
  const double long_period = -3.0 * con41 * (1.0 - 2.0 * e_eta + eta2 * (1.5 - 0.5 * e_eta)) +
                             0.75 * (1.0 - o.theta2) * (2.0 * eta2 - e_eta * (1.0 + eta2)) *
                                 std::cos(2.0 * elements.argument_of_perigee);
  terms.c4 = 2.0 * n * coef1 * a * o.beta2 *
             (eta * (2.0 + 0.5 * eta2) + o.e0 * (0.5 + 2.0 * eta2) - kJ2 * xi / (a * psi2) * long_period);
  terms.c5 = 2.0 * coef1 * a * o.beta2 * (1.0 + 2.75 * (eta2 + e_eta) + e_eta * eta2);
  terms.perigee_drag = elements.bstar * c3 * std::cos(elements.argument_of_perigee);
  terms.anomaly_drag = o.e0 > 1.0e-4 ? -kTwoThirds * coef * elements.bstar / e_eta : 0.0;
  terms.node_drag = 3.5 * o.beta2 * node_j2_rate * terms.c1;
  terms.t2cof = 1.5 * terms.c1;
  const double cube = 1.0 + eta * std::cos(elements.mean_anomaly);
  terms.cube_at_epoch = cube * cube * cube;
  terms.sin_anomaly_at_epoch = std::sin(elements.mean_anomaly);
  if (!terms.simplified_drag) higher_drag_terms(xi, density.s, terms);
}

}  // namespace

NearEarthTerms near_earth_terms(const MeanElements& elements) {
  const EpochOrbit o = epoch_orbit(elements);
  NearEarthTerms terms;
  recover_mean_motion(elements, o, terms);
  // Secular rates: the J2 terms to second order and the J4 term.
  const double a = terms.semi_major_axis;
  const double n = terms.mean_motion;
  const double p2 = a * o.beta2 * a * o.beta2;  // (a0'' beta0^2)^2
  const double j2_rate = 1.5 * kJ2 * n / p2;
  const double j2_squared = 0.5 * j2_rate * kJ2 / p2;
  const double j4_rate = -0.46875 * kJ4 * n / (p2 * p2);
  const double theta4 = o.theta2 * o.theta2;
  terms.mean_anomaly_rate = n + 0.5 * j2_rate * o.beta * (3.0 * o.theta2 - 1.0) +
                            0.0625 * j2_squared * o.beta * (13.0 - 78.0 * o.theta2 + 137.0 * theta4);
  terms.perigee_rate = -0.5 * j2_rate * (1.0 - 5.0 * o.theta2) +
                       0.0625 * j2_squared * (7.0 - 114.0 * o.theta2 + 395.0 * theta4) +
                       j4_rate * (3.0 - 36.0 * o.theta2 + 49.0 * theta4);
  const double node_j2_rate = -j2_rate * o.theta;
  terms.node_rate =
      node_j2_rate + (0.5 * j2_squared * (4.0 - 19.0 * o.theta2) + 2.0 * j4_rate * (3.0 - 7.0 * o.theta2)) * o.theta;
  drag_coefficients(elements, o, node_j2_rate, terms);
  return terms;
}

}  // namespace vespera::sgp4
