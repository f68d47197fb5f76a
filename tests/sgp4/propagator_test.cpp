// Properties of the propagator that hold for any element set: the state at
// the epoch lies on the orbit the elements describe, the velocity is the
// rate of the position, the results do not depend on the order of the calls
// (nor on a resonance cache), the deep-space model takes over at a period of
// 225 minutes, bad elements are refused with their error code, and no input
// gives a state without an error that is not a finite point outside the
// earth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sgp4/propagator.h"
#include "sgp4/verification_data.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4::test {
namespace {

double norm(const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// An element set from its published units (degrees, revolutions per day).
MeanElements elements(double inclination_deg, double node_deg, double e, double perigee_deg, double anomaly_deg,
                      double revs_per_day, double bstar = 1e-4) {
  MeanElements el;
  el.epoch_jd = 2460000.5;
  el.epoch_jd_fraction = 0.25;
  el.bstar = bstar;
  el.inclination = inclination_deg * kRadiansPerDegree;
  el.node = node_deg * kRadiansPerDegree;
  el.eccentricity = e;
  el.argument_of_perigee = perigee_deg * kRadiansPerDegree;
  el.mean_anomaly = anomaly_deg * kRadiansPerDegree;
  el.mean_motion = revs_per_day * kTwoPi / kMinutesPerDay;
  return el;
}

const MeanElements kLeo = elements(51.64, 32.98, 0.0003646, 28.72, 39.53, 15.5419);
const MeanElements kGeo = elements(0.05, 80.0, 0.0002, 300.0, 50.0, 1.0027);       // 24-hour resonance
const MeanElements kMolniya = elements(63.4, 280.0, 0.72, 270.0, 20.0, 2.0057);   // 12-hour resonance
const MeanElements kLowInclination = elements(7.0, 10.0, 0.58, 274.0, 25.0, 4.478);  // Lyddane form

Propagator propagator(const MeanElements& el, OperationMode mode = OperationMode::kImproved) {
  const Initialisation init = initialise(el, mode);
  EXPECT_EQ(init.error, Sgp4Error::kNone) << error_text(init.error);
  return *init.propagator;
}

TEST(Wgs72, KeIsTheSquareRootOfMuInEarthRadiiPerMinute) {
  const double ke = 60.0 / std::sqrt(kEarthRadiusKm * kEarthRadiusKm * kEarthRadiusKm / kEarthMuKm3PerS2);
  EXPECT_DOUBLE_EQ(kKePerMinute, ke);
}

TEST(Propagator, TheEpochStateOfANearCircularOrbitLiesOnItsCircle) {
  const TemeState s = propagator(kLeo).propagate(0.0);
  ASSERT_EQ(s.error, Sgp4Error::kNone);
  // a = (ke / n)^(2/3) earth radii; the short-period terms move r by a few km.
  const double a_km = std::pow(kKePerMinute / kLeo.mean_motion, kTwoThirds) * kEarthRadiusKm;
  EXPECT_GT(norm(s.position_km), a_km * (1.0 - kLeo.eccentricity) - 15.0);
  EXPECT_LT(norm(s.position_km), a_km * (1.0 + kLeo.eccentricity) + 15.0);
  EXPECT_NEAR(norm(s.velocity_km_s), std::sqrt(kEarthMuKm3PerS2 / a_km), 0.02);
}

// The velocity agrees with the central difference of the position over two
// seconds, within what the theory's truncated short-period terms allow.
TEST(Propagator, TheVelocityIsTheRateOfThePosition) {
  struct Row {
    const char* name;
    MeanElements el;
    double relative_tolerance;
  };
  const Row rows[] = {{"LEO", kLeo, 2e-5}, {"GEO", kGeo, 1e-4}, {"Molniya", kMolniya, 1e-3},
                      {"low inclination", kLowInclination, 3e-3}};
  for (const Row& row : rows) {
    const Propagator p = propagator(row.el);
    for (double t = -1440.0; t <= 2880.0; t += 97.0) {
      const TemeState before = p.propagate(t - 1.0 / 60.0);
      const TemeState after = p.propagate(t + 1.0 / 60.0);
      const TemeState at = p.propagate(t);
      ASSERT_EQ(at.error, Sgp4Error::kNone) << row.name << " at " << t;
      std::array<double, 3> difference{};
      for (int k = 0; k < 3; ++k) {
        difference[k] = (after.position_km[k] - before.position_km[k]) / 2.0 - at.velocity_km_s[k];
      }
      EXPECT_LT(norm(difference), row.relative_tolerance * norm(at.velocity_km_s)) << row.name << " at " << t;
    }
  }
}

bool same_state(const TemeState& a, const TemeState& b) {
  return a.error == b.error && a.position_km == b.position_km && a.velocity_km_s == b.velocity_km_s;
}

// The resonance integrator runs from the epoch on every call, or from a
// grid point in the caller's cache: either way, in any order of times, the
// states are the same to the last bit.
TEST(Propagator, ResultsDoNotDependOnTheOrderOfCallsNorOnTheCache) {
  std::vector<double> times;
  for (double t = -4000.0; t <= 30000.0; t += 733.3) times.push_back(t);
  for (const MeanElements& el : {kGeo, kMolniya}) {
    const Propagator p = propagator(el);
    ASSERT_TRUE(p.deep_space());
    std::vector<TemeState> in_order;
    for (double t : times) in_order.push_back(p.propagate(t));
    std::vector<std::size_t> order(times.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    ResonanceCache cache;
    for (std::size_t k : order) {
      EXPECT_TRUE(same_state(p.propagate(times[k]), in_order[k])) << times[k];
      EXPECT_TRUE(same_state(p.propagate(times[k], cache), in_order[k])) << times[k];
    }
  }
}

TEST(Propagator, ACacheFilledForAnotherOrbitIsStartedAgain) {
  const Propagator geo = propagator(kGeo);
  const Propagator molniya = propagator(kMolniya);
  ResonanceCache cache;
  geo.propagate(20000.0, cache);
  EXPECT_TRUE(same_state(molniya.propagate(25000.0, cache), molniya.propagate(25000.0)));
  // Another orbit in the same place in memory.
  MeanElements drifted = kGeo;
  drifted.mean_anomaly += 1e-3;
  std::optional<Propagator> slot = propagator(kGeo);
  slot->propagate(20000.0, cache);
  slot = propagator(drifted);
  EXPECT_TRUE(same_state(slot->propagate(25000.0, cache), slot->propagate(25000.0)));
}

// At the critical inclination (3 cos^2 i = 1) the recovered mean motion is
// the element set's own, so the period is 2 pi / n exactly.
TEST(Propagator, TheDeepSpaceModelTakesOverAtAPeriodOf225Minutes) {
  const double critical = std::acos(std::sqrt(1.0 / 3.0)) / kRadiansPerDegree;
  struct Row {
    double period_minutes;
    bool deep;
  };
  for (const Row& row : {Row{224.99, false}, Row{225.0, true}, Row{225.01, true}, Row{100.0, false}}) {
    const MeanElements el = elements(critical, 40.0, 0.01, 90.0, 10.0, kMinutesPerDay / row.period_minutes);
    EXPECT_EQ(propagator(el).deep_space(), row.deep) << row.period_minutes;
  }
}

TEST(Propagator, TheTwoModesDifferOnlyInTheDeepSpaceTerms) {
  const TemeState improved = propagator(kLeo, OperationMode::kImproved).propagate(5000.0);
  const TemeState afspc = propagator(kLeo, OperationMode::kAfspc).propagate(5000.0);
  EXPECT_TRUE(same_state(improved, afspc));
  const TemeState geo_improved = propagator(kGeo, OperationMode::kImproved).propagate(5000.0);
  const TemeState geo_afspc = propagator(kGeo, OperationMode::kAfspc).propagate(5000.0);
  EXPECT_FALSE(same_state(geo_improved, geo_afspc));  // the node near zero inclination
}

TEST(Initialise, RefusesElementSetsOutsideTheTheory) {
  struct Row {
    const char* name;
    MeanElements el;
    Sgp4Error error;
  };
  MeanElements hyperbolic = kLeo, negative_e = kLeo, stopped = kLeo, backwards = kLeo, nan_node = kLeo,
               infinite_epoch = kLeo;
  hyperbolic.eccentricity = 1.0;
  negative_e.eccentricity = -0.01;
  stopped.mean_motion = 0.0;
  backwards.mean_motion = -0.06;
  nan_node.node = std::nan("");
  infinite_epoch.epoch_jd_fraction = HUGE_VAL;
  const Row rows[] = {
      {"e = 1", hyperbolic, Sgp4Error::kMeanElements},       {"e < 0", negative_e, Sgp4Error::kMeanElements},
      {"n = 0", stopped, Sgp4Error::kMeanMotion},            {"n < 0", backwards, Sgp4Error::kMeanMotion},
      {"NaN node", nan_node, Sgp4Error::kMeanElements},      {"infinite epoch", infinite_epoch, Sgp4Error::kMeanElements},
      {"inside the earth", elements(51.0, 0.0, 0.001, 0.0, 0.0, 18.0), Sgp4Error::kDecayed},
  };
  for (const Row& row : rows) {
    const Initialisation init = initialise(row.el, OperationMode::kImproved);
    EXPECT_EQ(init.error, row.error) << row.name;
    EXPECT_FALSE(init.propagator.has_value()) << row.name;
  }
}

TEST(Propagator, ANonFiniteTimeIsAnError) {
  const Propagator p = propagator(kMolniya);
  for (double t : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    const TemeState s = p.propagate(t);
    EXPECT_EQ(s.error, Sgp4Error::kMeanElements);
    EXPECT_TRUE(std::isnan(s.position_km[0]));
  }
}

TEST(Sgp4Error, EveryCodeHasItsOwnText) {
  std::vector<std::string> texts;
  for (int code = 0; code <= 6; ++code) texts.push_back(error_text(static_cast<Sgp4Error>(code)));
  EXPECT_EQ(texts[6], "satellite has decayed");
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end());
  EXPECT_EQ(std::string(error_text(static_cast<Sgp4Error>(42))), "unknown error");
}

// Element sets drawn over and beyond the range of real orbits: every state
// either carries an error or is a finite point at or above the surface.
TEST(Propagator, AnyElementSetGivesAnErrorOrASoundState) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  int sound = 0;
  for (int k = 0; k < 3000; ++k) {
    MeanElements el = elements(180.0 * unit(random), 360.0 * unit(random), std::pow(unit(random), 3.0),
                               360.0 * unit(random), 360.0 * unit(random), 0.01 + 20.0 * unit(random),
                               (unit(random) - 0.5) * 0.02);
    const Initialisation init = initialise(el, k % 2 ? OperationMode::kAfspc : OperationMode::kImproved);
    if (!init.propagator) continue;
    for (double t : {-3000.0, 0.0, 90.0, 10000.0, 100000.0}) {
      const TemeState s = init.propagator->propagate(t);
      if (s.error != Sgp4Error::kNone) continue;
      ++sound;
      for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(std::isfinite(s.position_km[i]) && std::isfinite(s.velocity_km_s[i])) << k << " at " << t;
      }
      ASSERT_GE(norm(s.position_km), kEarthRadiusKm) << k << " at " << t;
    }
  }
  EXPECT_GT(sound, 5000);
}

}  // namespace
}  // namespace vespera::sgp4::test
