#include "sgp4/lunar_solar_terms.h"

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

// The sun: eccentricity, mean motion (rad/min), the coupling constant
// (n'^2 per n, scaled), the obliquity and the argument of perigee of its
// apparent orbit; its mean anomaly at 1900 January 0.5 and per day.
constexpr double kSunEccentricity = 0.01675;
constexpr double kSunMeanMotion = 1.19459e-5;
constexpr double kSunCoupling = 2.9864797e-6;
constexpr double kSinObliquity = 0.39785416;
constexpr double kCosObliquity = 0.91744867;
constexpr double kSunCosPerigee = 0.1945905;
constexpr double kSunSinPerigee = -0.98088458;
// The moon: the same, and the elements of its orbit on the equator.
constexpr double kMoonEccentricity = 0.05490;
constexpr double kMoonMeanMotion = 1.5835218e-4;
constexpr double kMoonCoupling = 4.7968065e-7;

// One body's orbit against the equator: perigee g (from the node on the
// ecliptic or equator), inclination, and node measured from the satellite's.
struct BodyOrbit {
  double cos_g = 0.0, sin_g = 0.0;
  double cos_i = 0.0, sin_i = 0.0;
  double cos_h = 0.0, sin_h = 0.0;
  double coupling = 0.0;
};

// The satellite's orbit: cos and sin of its inclination and argument of
// perigee, its eccentricity and mean motion.
struct SatelliteOrbit {
  double cos_i = 0.0, sin_i = 0.0;
  double cos_w = 0.0, sin_w = 0.0;
  double e = 0.0, e2 = 0.0;
  double n = 0.0;
};

// The direction cosines of the body's perigee and its normal in the
// satellite's orbit frame (a1..a10, x1..x8 of the theory), then the z and s
// coefficients.
BodyCoupling couple(const BodyOrbit& b, const SatelliteOrbit& s) {
  const double a1 = b.cos_g * b.cos_h + b.sin_g * b.cos_i * b.sin_h;
  const double a3 = -b.sin_g * b.cos_h + b.cos_g * b.cos_i * b.sin_h;
  const double a7 = -b.cos_g * b.sin_h + b.sin_g * b.cos_i * b.cos_h;
  const double a8 = b.sin_g * b.sin_i;
  const double a9 = b.sin_g * b.sin_h + b.cos_g * b.cos_i * b.cos_h;
  const double a10 = b.cos_g * b.sin_i;
  const double a2 = s.cos_i * a7 + s.sin_i * a8;
  const double a4 = s.cos_i * a9 + s.sin_i * a10;
  const double a5 = -s.sin_i * a7 + s.cos_i * a8;
  const double a6 = -s.sin_i * a9 + s.cos_i * a10;
  const double x1 = a1 * s.cos_w + a2 * s.sin_w;
  const double x2 = a3 * s.cos_w + a4 * s.sin_w;
  const double x3 = -a1 * s.sin_w + a2 * s.cos_w;
  const double x4 = -a3 * s.sin_w + a4 * s.cos_w;
  const double x5 = a5 * s.sin_w;
  const double x6 = a6 * s.sin_w;
  const double x7 = a5 * s.cos_w;
  const double x8 = a6 * s.cos_w;
  const double beta2 = 1.0 - s.e2;
  BodyCoupling c;
  c.z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
  c.z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
  c.z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
  c.z1 = 3.0 * (a1 * a1 + a2 * a2) + c.z31 * s.e2;
  c.z2 = 6.0 * (a1 * a3 + a2 * a4) + c.z32 * s.e2;
  c.z3 = 3.0 * (a3 * a3 + a4 * a4) + c.z33 * s.e2;
  c.z11 = -6.0 * a1 * a5 + s.e2 * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
  c.z12 = -6.0 * (a1 * a6 + a3 * a5) + s.e2 * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
  c.z13 = -6.0 * a3 * a6 + s.e2 * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
  c.z21 = 6.0 * a2 * a5 + s.e2 * (24.0 * x1 * x5 - 6.0 * x3 * x7);
  c.z22 = 6.0 * (a4 * a5 + a2 * a6) + s.e2 * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
  c.z23 = 6.0 * a4 * a6 + s.e2 * (24.0 * x2 * x6 - 6.0 * x4 * x8);
  c.z1 = c.z1 + c.z1 + beta2 * c.z31;
  c.z2 = c.z2 + c.z2 + beta2 * c.z32;
  c.z3 = c.z3 + c.z3 + beta2 * c.z33;
  c.s3 = b.coupling / s.n;
  c.s2 = -0.5 * c.s3 / std::sqrt(beta2);
  c.s4 = c.s3 * std::sqrt(beta2);
  c.s1 = -15.0 * s.e * c.s4;
  c.s5 = x1 * x3 + x2 * x4;
  c.s6 = x2 * x3 + x1 * x4;
  c.s7 = x2 * x4 - x1 * x3;
  return c;
}

BodyPeriodics periodics(const BodyCoupling& c, double body_e, double satellite_e2) {
  BodyPeriodics p;
  p.e2 = 2.0 * c.s1 * c.s6;
  p.e3 = 2.0 * c.s1 * c.s7;
  p.i2 = 2.0 * c.s2 * c.z12;
  p.i3 = 2.0 * c.s2 * (c.z13 - c.z11);
  p.l2 = -2.0 * c.s3 * c.z2;
  p.l3 = -2.0 * c.s3 * (c.z3 - c.z1);
  p.l4 = -2.0 * c.s3 * (-21.0 - 9.0 * satellite_e2) * body_e;
  p.gh2 = 2.0 * c.s4 * c.z32;
  p.gh3 = 2.0 * c.s4 * (c.z33 - c.z31);
  p.gh4 = -18.0 * c.s4 * body_e;
  p.h2 = -2.0 * c.s2 * c.z22;
  p.h3 = -2.0 * c.s2 * (c.z23 - c.z21);
  p.eccentricity = body_e;
  return p;
}

// The moon's orbit at the epoch (day: days since 1900 January 0.5): its node
// on the ecliptic goes round in 18.6 years, which moves its inclination to
// the equator, its node on the equator and its perigee from that node.
struct MoonAtEpoch {
  double cos_i = 0.0, sin_i = 0.0;
  double cos_h = 0.0, sin_h = 0.0;  // node on the equator
  double cos_g = 0.0, sin_g = 0.0;  // perigee from that node
  double gamma = 0.0;               // mean longitude of the perigee
};

MoonAtEpoch moon_at_epoch(double day) {
  const double node = std::fmod(4.5236020 - 9.2422029e-4 * day, kTwoPi);
  const double sin_node = std::sin(node);
  const double cos_node = std::cos(node);
  MoonAtEpoch m;
  m.cos_i = 0.91375164 - 0.03568096 * cos_node;
  m.sin_i = std::sqrt(1.0 - m.cos_i * m.cos_i);
  m.sin_h = 0.089683511 * sin_node / m.sin_i;
  m.cos_h = std::sqrt(1.0 - m.sin_h * m.sin_h);
  m.gamma = 5.8351514 + 0.0019443680 * day;
  const double y = kSinObliquity * sin_node / m.sin_i;
  const double x = m.cos_h * cos_node + kCosObliquity * m.sin_h * sin_node;
  const double g = m.gamma + std::atan2(y, x) - node;
  m.cos_g = std::cos(g);
  m.sin_g = std::sin(g);
  return m;
}

}  // namespace

LunarSolarTerms lunar_solar_terms(const MeanElements& elements, double days_since_1950, double mean_motion) {
  SatelliteOrbit s;
  s.cos_i = std::cos(elements.inclination);
  s.sin_i = std::sin(elements.inclination);
  s.cos_w = std::cos(elements.argument_of_perigee);
  s.sin_w = std::sin(elements.argument_of_perigee);
  s.e = elements.eccentricity;
  s.e2 = s.e * s.e;
  s.n = mean_motion;
  const double cos_node = std::cos(elements.node);
  const double sin_node = std::sin(elements.node);

  const double day = days_since_1950 + 18261.5;  // days since 1900 January 0.5
  const MoonAtEpoch moon = moon_at_epoch(day);
  const BodyOrbit sun_orbit{kSunCosPerigee, kSunSinPerigee, kCosObliquity, kSinObliquity,
                            cos_node,       sin_node,       kSunCoupling};
  const BodyOrbit moon_orbit{moon.cos_g, moon.sin_g, moon.cos_i, moon.sin_i,
                             moon.cos_h * cos_node + moon.sin_h * sin_node,
                             sin_node * moon.cos_h - cos_node * moon.sin_h, kMoonCoupling};
  LunarSolarTerms terms;
  terms.sun = couple(sun_orbit, s);
  terms.moon = couple(moon_orbit, s);
  terms.sun_periodics = periodics(terms.sun, kSunEccentricity, s.e2);
  terms.moon_periodics = periodics(terms.moon, kMoonEccentricity, s.e2);
  terms.sun_periodics.anomaly_at_epoch = std::fmod(6.2565837 + 0.017201977 * day, kTwoPi);
  terms.sun_periodics.mean_motion = kSunMeanMotion;
  terms.moon_periodics.anomaly_at_epoch = std::fmod(4.7199672 + 0.22997150 * day - moon.gamma, kTwoPi);
  terms.moon_periodics.mean_motion = kMoonMeanMotion;
  return terms;
}

}  // namespace vespera::sgp4
