#include "sgp4/deep_space_periodics.h"

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

// Below this inclination the Lyddane form is used, radians.
constexpr double kLyddaneInclination = 0.2;

// The periodic changes of the elements: e, i, mean anomaly, perigee plus
// cos i times node, and sin i times node.
struct PeriodicChanges {
  double e = 0.0, i = 0.0, l = 0.0, gh = 0.0, h = 0.0;
};

PeriodicChanges body_changes(const BodyPeriodics& p, double minutes) {
  const double m = p.anomaly_at_epoch + p.mean_motion * minutes;
  const double f = m + 2.0 * p.eccentricity * std::sin(m);
  const double sin_f = std::sin(f);
  const double f2 = 0.5 * sin_f * sin_f - 0.25;
  const double f3 = -0.5 * sin_f * std::cos(f);
  return {p.e2 * f2 + p.e3 * f3, p.i2 * f2 + p.i3 * f3, p.l2 * f2 + p.l3 * f3 + p.l4 * sin_f,
          p.gh2 * f2 + p.gh3 * f3 + p.gh4 * sin_f, p.h2 * f2 + p.h3 * f3};
}

// The Lyddane form: node, perigee and mean anomaly from the changes applied
// to sin i sin node, sin i cos node and the mean longitude.
void lyddane(const PeriodicChanges& c, OperationMode mode, OrbitElements& e) {
  const double sin_i = std::sin(e.inclination);
  const double cos_i = std::cos(e.inclination);
  const double sin_node = std::sin(e.node);
  const double cos_node = std::cos(e.node);
  const double alpha = sin_i * sin_node + (c.h * cos_node + c.i * cos_i * sin_node);
  const double beta = sin_i * cos_node + (-c.h * sin_node + c.i * cos_i * cos_node);
  double node = std::fmod(e.node, kTwoPi);
  if (node < 0.0 && mode == OperationMode::kAfspc) node += kTwoPi;
  const double longitude = e.mean_anomaly + e.argument_of_perigee + cos_i * node +
                           (c.l + c.gh - c.i * node * sin_i);
  const double previous = node;
  node = std::atan2(alpha, beta);
  if (node < 0.0 && mode == OperationMode::kAfspc) node += kTwoPi;
  if (std::fabs(previous - node) > kPi) node += node < previous ? kTwoPi : -kTwoPi;
  e.mean_anomaly += c.l;
  e.node = node;
  e.argument_of_perigee = longitude - e.mean_anomaly - cos_i * node;
}

}  // namespace

OrbitElements add_lunar_solar_periodics(const LunarSolarTerms& terms, double minutes, OperationMode mode,
                                        const OrbitElements& secular) {
  const PeriodicChanges sun = body_changes(terms.sun_periodics, minutes);
  const PeriodicChanges moon = body_changes(terms.moon_periodics, minutes);
  const PeriodicChanges c{sun.e + moon.e, sun.i + moon.i, sun.l + moon.l, sun.gh + moon.gh, sun.h + moon.h};
  OrbitElements e = secular;
  e.inclination += c.i;
  e.eccentricity += c.e;
  if (e.inclination >= kLyddaneInclination) {
    const double node_change = c.h / std::sin(e.inclination);
    e.argument_of_perigee += c.gh - std::cos(e.inclination) * node_change;
    e.node += node_change;
    e.mean_anomaly += c.l;
  } else {
    lyddane(c, mode, e);
  }
  return e;
}

}  // namespace vespera::sgp4
