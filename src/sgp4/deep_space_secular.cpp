#include "sgp4/deep_space_secular.h"

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

// Inclinations within this of 0 or pi (3 degrees) have no node rate.
constexpr double kEquatorialLimit = 5.2359877e-2;

// One body's rates. The theory's h rate is sin i times the node rate, and
// its gh rate that of the perigee plus cos i times the node.
LunarSolarRates body_rates(const BodyCoupling& c, double body_mean_motion, double e2, double inclination) {
  const double n = body_mean_motion;
  LunarSolarRates r;
  r.eccentricity = c.s1 * n * c.s5;
  r.inclination = c.s2 * n * (c.z11 + c.z13);
  r.mean_anomaly = -n * c.s3 * (c.z1 + c.z3 - 14.0 - 6.0 * e2);
  const double gh = c.s4 * n * (c.z31 + c.z33 - 6.0);
  double h = -n * c.s2 * (c.z21 + c.z23);
  if (inclination < kEquatorialLimit || inclination > kPi - kEquatorialLimit) h = 0.0;
  const double sin_i = std::sin(inclination);
  const double cos_i = std::cos(inclination);
  r.node = sin_i != 0.0 ? h / sin_i : h;
  r.perigee = gh - cos_i * r.node;
  return r;
}

}  // namespace

LunarSolarRates lunar_solar_rates(const LunarSolarTerms& terms, double inclination, double eccentricity) {
  const double e2 = eccentricity * eccentricity;
  const LunarSolarRates sun = body_rates(terms.sun, terms.sun_periodics.mean_motion, e2, inclination);
  const LunarSolarRates moon = body_rates(terms.moon, terms.moon_periodics.mean_motion, e2, inclination);
  return {sun.eccentricity + moon.eccentricity, sun.inclination + moon.inclination,
          sun.mean_anomaly + moon.mean_anomaly, sun.perigee + moon.perigee, sun.node + moon.node};
}

}  // namespace vespera::sgp4
