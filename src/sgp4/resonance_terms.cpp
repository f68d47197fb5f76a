#include "sgp4/resonance_terms.h"

#include <cmath>

#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

// The tesseral harmonics' strengths (the theory's Q and root constants).
constexpr double kQ22 = 1.7891679e-6;
constexpr double kQ31 = 2.1460748e-6;
constexpr double kQ33 = 2.2123015e-7;
constexpr double kRoot22 = 1.7891679e-6;
constexpr double kRoot32 = 3.7393792e-7;
constexpr double kRoot44 = 7.3636953e-9;
constexpr double kRoot52 = 1.1428639e-7;
constexpr double kRoot54 = 2.1765803e-9;

Resonance resonance_of(double n, double e) {
  if (n > 0.0034906585 && n < 0.0052359877) return Resonance::kSynchronous;
  if (n >= 8.26e-3 && n <= 9.24e-3 && e >= 0.5) return Resonance::kHalfDay;
  return Resonance::kNone;
}

void synchronous_terms(const MeanElements& el, double a_over_n, double n, ResonanceTerms& r) {
  const double e2 = el.eccentricity * el.eccentricity;
  const double cos_i = std::cos(el.inclination);
  const double sin_i = std::sin(el.inclination);
  const double g200 = 1.0 + e2 * (-2.5 + 0.8125 * e2);
  const double g310 = 1.0 + 2.0 * e2;
  const double g300 = 1.0 + e2 * (-6.0 + 6.60937 * e2);
  const double f220 = 0.75 * (1.0 + cos_i) * (1.0 + cos_i);
  const double f311 = 0.9375 * sin_i * sin_i * (1.0 + 3.0 * cos_i) - 0.75 * (1.0 + cos_i);
  const double f330 = 1.875 * (1.0 + cos_i) * (1.0 + cos_i) * (1.0 + cos_i);
  const double del = 3.0 * n * n * a_over_n * a_over_n;
  r.del2 = 2.0 * del * f220 * g200 * kQ22;
  r.del3 = 3.0 * del * f330 * g300 * kQ33 * a_over_n;
  r.del1 = del * f311 * g310 * kQ31 * a_over_n;
}

// The eccentricity functions G_lmpq of the half-day terms: polynomial fits
// in e over ranges of e.
struct HalfDayG {
  double g201, g211, g310, g322, g410, g422, g520, g521, g532, g533;
};

HalfDayG half_day_g(double e) {
  const double e2 = e * e;
  const double e3 = e * e2;
  HalfDayG g{};
  g.g201 = -0.306 - (e - 0.64) * 0.440;
  if (e <= 0.65) {
    g.g211 = 3.616 - 13.2470 * e + 16.2900 * e2;
    g.g310 = -19.302 + 117.3900 * e - 228.4190 * e2 + 156.5910 * e3;
    g.g322 = -18.9068 + 109.7927 * e - 214.6334 * e2 + 146.5816 * e3;
    g.g410 = -41.122 + 242.6940 * e - 471.0940 * e2 + 313.9530 * e3;
    g.g422 = -146.407 + 841.8800 * e - 1629.014 * e2 + 1083.4350 * e3;
    g.g520 = -532.114 + 3017.977 * e - 5740.032 * e2 + 3708.2760 * e3;
  } else {
    g.g211 = -72.099 + 331.819 * e - 508.738 * e2 + 266.724 * e3;
    g.g310 = -346.844 + 1582.851 * e - 2415.925 * e2 + 1246.113 * e3;
    g.g322 = -342.585 + 1554.908 * e - 2366.899 * e2 + 1215.972 * e3;
    g.g410 = -1052.797 + 4758.686 * e - 7193.992 * e2 + 3651.957 * e3;
    g.g422 = -3581.690 + 16178.110 * e - 24462.770 * e2 + 12422.520 * e3;
    g.g520 = e > 0.715 ? -5149.66 + 29936.92 * e - 54087.36 * e2 + 31324.56 * e3
                       : 1464.74 - 4664.75 * e + 3763.64 * e2;
  }
  if (e < 0.7) {
    g.g533 = -919.22770 + 4988.6100 * e - 9064.7700 * e2 + 5542.21 * e3;
    g.g521 = -822.71072 + 4568.6173 * e - 8491.4146 * e2 + 5337.524 * e3;
    g.g532 = -853.66600 + 4690.2500 * e - 8624.7700 * e2 + 5341.4 * e3;
  } else {
    g.g533 = -37995.780 + 161616.52 * e - 229838.20 * e2 + 109377.94 * e3;
    g.g521 = -51752.104 + 218913.95 * e - 309468.16 * e2 + 146349.42 * e3;
    g.g532 = -40023.880 + 170470.89 * e - 242699.48 * e2 + 115605.82 * e3;
  }
  return g;
}

// The inclination functions F_lmp of the half-day terms.
struct HalfDayF {
  double f220, f221, f321, f322, f441, f442, f522, f523, f542, f543;
};

HalfDayF half_day_f(double inclination) {
  const double c = std::cos(inclination);
  const double s = std::sin(inclination);
  const double c2 = c * c;
  const double s2 = s * s;
  HalfDayF f{};
  f.f220 = 0.75 * (1.0 + 2.0 * c + c2);
  f.f221 = 1.5 * s2;
  f.f321 = 1.875 * s * (1.0 - 2.0 * c - 3.0 * c2);
  f.f322 = -1.875 * s * (1.0 + 2.0 * c - 3.0 * c2);
  f.f441 = 35.0 * s2 * f.f220;
  f.f442 = 39.3750 * s2 * s2;
  f.f522 = 9.84375 * s * (s2 * (1.0 - 2.0 * c - 5.0 * c2) + 0.33333333 * (-2.0 + 4.0 * c + 6.0 * c2));
  f.f523 = s * (4.92187512 * s2 * (-2.0 - 4.0 * c + 10.0 * c2) + 6.56250012 * (1.0 + 2.0 * c - 3.0 * c2));
  f.f542 = 29.53125 * s * (2.0 - 8.0 * c + c2 * (-12.0 + 8.0 * c + 10.0 * c2));
  f.f543 = 29.53125 * s * (-2.0 - 8.0 * c + c2 * (12.0 + 8.0 * c - 10.0 * c2));
  return f;
}

void half_day_terms(const MeanElements& el, double a_over_n, double n, ResonanceTerms& r) {
  const HalfDayG g = half_day_g(el.eccentricity);
  const HalfDayF f = half_day_f(el.inclination);
  double scale = 3.0 * n * n * a_over_n * a_over_n;  // grows by a/n per degree l
  r.d2201 = scale * kRoot22 * f.f220 * g.g201;
  r.d2211 = scale * kRoot22 * f.f221 * g.g211;
  scale *= a_over_n;
  r.d3210 = scale * kRoot32 * f.f321 * g.g310;
  r.d3222 = scale * kRoot32 * f.f322 * g.g322;
  scale *= a_over_n;
  r.d4410 = 2.0 * scale * kRoot44 * f.f441 * g.g410;
  r.d4422 = 2.0 * scale * kRoot44 * f.f442 * g.g422;
  scale *= a_over_n;
  r.d5220 = scale * kRoot52 * f.f522 * g.g520;
  r.d5232 = scale * kRoot52 * f.f523 * g.g532;
  r.d5421 = 2.0 * scale * kRoot54 * f.f542 * g.g521;
  r.d5433 = 2.0 * scale * kRoot54 * f.f543 * g.g533;
}

}  // namespace

ResonanceTerms resonance_terms(const MeanElements& elements, const NearEarthTerms& near_earth,
                               const LunarSolarRates& rates, double sidereal_at_epoch) {
  ResonanceTerms r;
  const double n = near_earth.mean_motion;
  r.kind = resonance_of(n, elements.eccentricity);
  r.mean_motion = n;
  r.sidereal_at_epoch = sidereal_at_epoch;
  r.perigee_at_epoch = elements.argument_of_perigee;
  r.perigee_rate = near_earth.perigee_rate;
  if (r.kind == Resonance::kNone) return r;
  const double a_over_n = std::pow(n / kKePerMinute, kTwoThirds);  // 1 / a in earth radii
  const double theta = std::fmod(sidereal_at_epoch, kTwoPi);
  const double m_rate = near_earth.mean_anomaly_rate + rates.mean_anomaly;
  if (r.kind == Resonance::kSynchronous) {
    synchronous_terms(elements, a_over_n, n, r);
    r.angle_at_epoch =
        std::fmod(elements.mean_anomaly + elements.node + elements.argument_of_perigee - theta, kTwoPi);
    r.angle_rate_offset = m_rate + near_earth.perigee_rate + near_earth.node_rate - kEarthRotationRadPerMinute +
                          rates.perigee + rates.node - n;
  } else {
    half_day_terms(elements, a_over_n, n, r);
    r.angle_at_epoch = std::fmod(elements.mean_anomaly + elements.node + elements.node - theta - theta, kTwoPi);
    r.angle_rate_offset = m_rate + 2.0 * (near_earth.node_rate + rates.node - kEarthRotationRadPerMinute) - n;
  }
  return r;
}

}  // namespace vespera::sgp4
