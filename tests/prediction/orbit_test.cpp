#include "prediction/orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "prediction/angles.h"
#include "prediction/site_setup.h"

namespace vespera {
namespace {

constexpr double kRad = 0.017453292519943295;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Start day number of the tests: 2017 October 0.
constexpr int32_t kStartDay = 58026;

// An element set like the ISS's of 2017 October 16 (epoch a perigee passage).
ElementSet iss_like() {
  ElementSet set;
  set.ncat = 25544;
  set.epochDay = 58042;  // 2017 October 16
  set.epochFraction = 0.85f;
  set.nodeRa = static_cast<float>(151.55 * kRad);
  set.argPerigee = static_cast<float>(31.85 * kRad);
  set.meanMotion = 15.5419f;
  set.meanMotionDot = 0.0000356f;
  set.inclination = static_cast<float>(51.64 * kRad);
  set.eccentricity = 0.00048f;
  set.nodePerRev = -0.00562f;
  set.perigeePerRev = 0.00428f;
  return set;
}

SiteGeometry site_at(float latitude_deg, float west_longitude_deg) {
  RunSettings settings;
  settings.latitudeDeg = latitude_deg;
  settings.westLongitudeDeg = west_longitude_deg;
  settings.heightFeet = 300.0f;
  SiteGeometry site;
  setup_site(settings, kStartDay, site);
  return site;
}

// Observing window of day 17 from 23h UT of day 16 to 10h UT of day 17.
ObservingWindow night_of_the_16th() {
  return ObservingWindow{16.0f + 23.0f / 24.0f, 17.0f + 10.0f / 24.0f};
}

// Angle between the observer and the sub-satellite point, radians.
double ground_angle(const SiteGeometry& site, const SubsatellitePoint& sub) {
  const double c = site.sin_lat * sub.sin_lat +
                   site.cos_lat * sub.cos_lat * std::cos(sub.west_lon - site.longitude);
  return std::acos(std::clamp(c, -1.0, 1.0));
}

double wrapped(double angle) { return std::remainder(angle, 2.0 * M_PI); }

SubsatellitePoint sub_at(const ElementSet& set, const OrbitSetup& orbit, const SiteGeometry& site,
                         int j, float u) {
  return subsatellite_point(orbit, site, time_of_u(set, orbit, j, u));
}

TEST(RevolutionsToTime, OneNewtonStep) {
  ElementSet set = iss_like();
  set.meanMotionDot = 0.0f;
  EXPECT_FLOAT_EQ(revolutions_to_time(set, 31.0f), 31.0f / 15.5419f);
  EXPECT_FLOAT_EQ(revolutions_to_time(set, -31.0f), -31.0f / 15.5419f);
  set.meanMotionDot = 0.002f;
  for (float R : {155.4f, -155.4f, 1554.0f, 0.5f}) {
    const double t = revolutions_to_time(set, R);
    // n0 t + ndot t^2 = R to the accuracy of one step from R / n0.
    EXPECT_NEAR(15.5419 * t + 0.002 * t * t, R, 2e-4 * std::fabs(R)) << R;
  }
}

TEST(TimeOfU, CircularOrbitHasEccentricAnomalyEqualToTrueAnomaly) {
  ElementSet set = iss_like();
  set.eccentricity = 0.0f;
  const SiteGeometry site = site_at(40.0f, 75.0f);
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_EQ(orbit.e_factor, 1.0f);
  for (float u : {0.3f, 1.0f, 2.0f, 3.0f, 4.0f, 6.0f}) {
    const OrbitPoint point = time_of_u(set, orbit, 0, u);
    const double turns = point.M - point.nu / (2.0 * M_PI);
    EXPECT_NEAR(turns, std::round(turns), 1e-6) << u;  // M = nu / 2 pi, up to whole turns
  }
}

TEST(TimeOfU, NormalisesUAndStaysWithinHalfARevolutionOfTheCrossing) {
  const ElementSet set = iss_like();
  const SiteGeometry site = site_at(40.0f, 75.0f);
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_FLOAT_EQ(time_of_u(set, orbit, 0, -0.25f).u, static_cast<float>(-0.25 + 2 * M_PI));
  EXPECT_FLOAT_EQ(time_of_u(set, orbit, 0, kTwoPi + 0.25f).u, 0.25f);
  for (int j = 0; j < orbit.crossing_count; ++j) {
    const LatitudeCrossing& c = orbit.crossings[j];
    for (float du = -3.1f; du <= 3.1f; du += 0.2f) {
      const OrbitPoint point = time_of_u(set, orbit, j, c.u + du);
      EXPECT_LE(std::fabs(point.revolutions - (c.rev + c.M)), 0.5f + 1e-3f) << j << " " << du;
      // Later u on the revolution, later time.
      EXPECT_NEAR(point.time - time_of_u(set, orbit, j, c.u).time, du / (2 * M_PI) / 15.5419, 2e-3);
    }
  }
}

TEST(TimeOfU, AtACrossingsOwnUGivesTheCrossingsTime) {
  // With a fixed perigee the crossing's u maps back onto its own mean
  // anomaly: the time is the crossing's to float precision.
  ElementSet set = iss_like();
  set.perigeePerRev = 0.0f;
  for (float latitude : {40.0f, -33.9f}) {
    const SiteGeometry site = site_at(latitude, 75.0f);
    OrbitSetup orbit;
    ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit));
    for (int k = 0; k < orbit.crossing_count; ++k) {
      const LatitudeCrossing& c = orbit.crossings[k];
      const float expected =
          revolutions_to_time(set, static_cast<float>(c.rev + c.M)) + orbit.epoch_time;
      const OrbitPoint point = time_of_u(set, orbit, k, c.u);
      EXPECT_NEAR(point.time, expected, 4e-6) << latitude << " " << k;
      EXPECT_NEAR(point.revolutions, c.rev + c.M, 1e-3) << latitude << " " << k;
    }
    EXPECT_NEAR(time_of_u(set, orbit, 0, orbit.crossings[0].u).time, orbit.next_time, 4e-6);
  }
}

// A configuration of satellite and observer for the crossing checks.
struct Case {
  const char* label;
  float inclination_deg;
  float latitude_deg;
  int32_t epoch_day;  // of the element set
  int crossings;
};

class CrossingTest : public ::testing::TestWithParam<Case> {};

// Tests every revolution of the window (the acceptance width opened to
// everything): each crossing found by the search lies on the observer's
// latitude at the longitude difference the search tracks, at the time it
// tracks, and u* lies near the point of the track nearest the observer.
TEST_P(CrossingTest, CrossingsTrackedRevolutionByRevolutionMatchTheOrbit) {
  const Case& tc = GetParam();
  ElementSet set = iss_like();
  set.inclination = static_cast<float>(tc.inclination_deg * kRad);
  set.epochDay = tc.epoch_day;
  if (tc.inclination_deg > 90.0f) set.nodePerRev = -set.nodePerRev;
  const SiteGeometry site = site_at(tc.latitude_deg, 75.0f);
  const ObservingWindow window = night_of_the_16th();
  const SearchScope scope{set, site, window, 15, StopToken()};
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(scope, orbit));
  ASSERT_EQ(orbit.crossing_count, tc.crossings);
  if (tc.epoch_day > kStartDay + 17) {
    EXPECT_LT(orbit.dt_start, 0.0f);
    EXPECT_LT(orbit.rev_base, 0);
  }
  orbit.lon_window = 10.0f;

  int j = 0;
  float u_star = 0.0f;
  bool advance = false;
  int revolutions = 0;
  float previous_time = -1e9f;
  while (next_candidate(scope, orbit, advance, j, u_star)) {
    advance = true;
    ++revolutions;
    ASSERT_LT(revolutions, 100);
    if (revolutions > 1) {
      EXPECT_NEAR(orbit.next_time - previous_time, orbit.period, 1e-4) << revolutions;
    }
    previous_time = orbit.next_time;
    // The crossing nearer the observer's longitude is chosen.
    if (orbit.crossing_count == 2) {
      EXPECT_LE(std::fabs(orbit.crossings[j].lon_diff), std::fabs(orbit.crossings[1 - j].lon_diff));
    }
    for (int k = 0; k < orbit.crossing_count; ++k) {
      const LatitudeCrossing& c = orbit.crossings[k];
      const OrbitPoint point = time_of_u(set, orbit, k, c.u);
      const SubsatellitePoint sub = subsatellite_point(orbit, site, point);
      // On the observer's latitude, or at the track's turning point.
      const float expected_sin_lat =
          orbit.crossing_count == 2 ? site.sin_lat : std::copysign(orbit.sin_i, site.sin_lat);
      EXPECT_NEAR(sub.sin_lat, expected_sin_lat, 2e-6)
          << tc.label << " rev " << revolutions << " k " << k;
      EXPECT_NEAR(wrapped(sub.west_lon - site.longitude - c.lon_diff), 0.0, 2e-3)
          << tc.label << " rev " << revolutions << " k " << k;
      // The earliest crossing of the revolution is at next_time, the other
      // within the revolution.
      EXPECT_GE(point.time, orbit.next_time - 2e-4f) << tc.label << " k " << k;
      EXPECT_LT(point.time, orbit.next_time + orbit.period) << tc.label << " k " << k;
      if (k == 0) {
        EXPECT_NEAR(point.time, orbit.next_time, 2e-4) << tc.label << " rev " << revolutions;
      }
    }
    // u* near the nearest point of the track, for crossings near the observer.
    if (std::fabs(orbit.crossings[j].lon_diff) < 0.5f) {
      const float u_cross = orbit.crossings[j].u;
      double best = 10.0;
      for (float u = u_cross - 1.0f; u <= u_cross + 1.0f; u += 0.001f) {
        best = std::min(best, ground_angle(site, sub_at(set, orbit, site, j, u)));
      }
      const double at_star = ground_angle(site, sub_at(set, orbit, site, j, u_star));
      EXPECT_LT(at_star - best, 0.01) << tc.label << " rev " << revolutions;
      EXPECT_LE(at_star, ground_angle(site, sub_at(set, orbit, site, j, u_cross)) + 1e-4)
          << tc.label << " rev " << revolutions;
    }
  }
  // Every revolution from the window start (less its margin) to its end.
  const double span = window.end - window.start + 0.02;
  EXPECT_NEAR(revolutions, span / orbit.period, 2.0) << tc.label;
  // The first crossing lies no more than a revolution before the window.
  EXPECT_GT(previous_time, window.end - orbit.period - 0.02);
}

INSTANTIATE_TEST_SUITE_P(
    Orbits, CrossingTest,
    ::testing::Values(Case{"north prograde", 51.64f, 40.0f, 58042, 2},
                      Case{"south prograde", 51.64f, -33.9f, 58042, 2},
                      Case{"north retrograde", 98.2f, 40.0f, 58042, 2},
                      Case{"south retrograde", 98.2f, -60.0f, 58042, 2},
                      Case{"epoch after the window", 51.64f, 40.0f, 58045, 2},
                      Case{"epoch after, retrograde south", 98.2f, -20.0f, 58048, 2},
                      Case{"epoch long before", 51.64f, 40.0f, 57900, 2},
                      Case{"equator", 51.64f, 0.0f, 58042, 2},
                      Case{"single crossing north", 51.64f, 60.0f, 58042, 1},
                      Case{"single crossing south", 51.64f, -60.0f, 58042, 1},
                      Case{"single crossing retrograde", 98.2f, 85.0f, 58042, 1}));

TEST(SetupOrbit, SingleCrossingAtTheTurningPoint) {
  const ElementSet set = iss_like();
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{set, site_at(60.0f, 75.0f), night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_EQ(orbit.crossing_count, 1);
  EXPECT_EQ(orbit.crossings[0].u, kHalfPi);
  EXPECT_EQ(orbit.crossings[0].dl, kHalfPi);
  EXPECT_EQ(orbit.u_ref, kHalfPi);
  EXPECT_EQ(orbit.dl_ref, kHalfPi);
  // In the south the crossing is the track's southern turning point.
  ASSERT_TRUE(
      setup_orbit(SearchScope{set, site_at(-60.0f, 75.0f), night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_FLOAT_EQ(orbit.crossings[0].u, 3.0f * kHalfPi);
  EXPECT_FLOAT_EQ(orbit.crossings[0].dl, kHalfPi + kPi);
  EXPECT_EQ(orbit.u_ref, kHalfPi);
  // A retrograde orbit turns west of its node.
  ElementSet retro = set;
  retro.inclination = static_cast<float>(120.0 * kRad);
  ASSERT_TRUE(
      setup_orbit(SearchScope{retro, site_at(70.0f, 75.0f), night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_EQ(orbit.crossings[0].dl, -kHalfPi);
}

TEST(SetupOrbit, TwoCrossingsSymmetricAboutTheTurningPoint) {
  const ElementSet set = iss_like();
  const SiteGeometry site = site_at(40.0f, 75.0f);
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit));
  ASSERT_EQ(orbit.crossing_count, 2);
  const double q = std::fabs(site.sin_lat / std::sin(set.inclination));
  EXPECT_NEAR(orbit.crossings[0].u, std::asin(q), 1e-6);
  EXPECT_FLOAT_EQ(orbit.crossings[1].u, kPi - orbit.crossings[0].u);
  EXPECT_FLOAT_EQ(orbit.crossings[1].dl, kPi - orbit.crossings[0].dl);
  EXPECT_EQ(orbit.u_ref, orbit.crossings[0].u);
  EXPECT_EQ(orbit.dl_ref, orbit.crossings[0].dl);
  // Southern observer: both shifted by pi, the references not.
  OrbitSetup south;
  ASSERT_TRUE(
      setup_orbit(SearchScope{set, site_at(-40.0f, 75.0f), night_of_the_16th(), 15, StopToken()}, south));
  EXPECT_FLOAT_EQ(south.crossings[0].u, orbit.crossings[0].u + kPi);
  EXPECT_FLOAT_EQ(south.crossings[0].dl, orbit.crossings[0].dl + kPi);
  EXPECT_FLOAT_EQ(south.crossings[1].u, orbit.crossings[1].u + kPi);
  EXPECT_EQ(south.u_ref, orbit.u_ref);
  // Retrograde: dl of the first crossing negative, the second at -pi - dl.
  ElementSet retro = set;
  retro.inclination = static_cast<float>(98.2 * kRad);
  ASSERT_TRUE(setup_orbit(SearchScope{retro, site, night_of_the_16th(), 15, StopToken()}, orbit));
  EXPECT_LT(orbit.crossings[0].dl, 0.0f);
  EXPECT_FLOAT_EQ(orbit.crossings[1].dl, -kPi - orbit.crossings[0].dl);
  EXPECT_EQ(orbit.dl_ref, -orbit.crossings[0].dl);
}

TEST(SetupOrbit, AcceptanceWidth) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  struct Row {
    float inclination_deg;
    float base;  // before the allowances, times cos(latitude)
  };
  // lat_margin = inclination - 39.81 degrees (geocentric latitude).
  const Row rows[] = {{80.0f, 0.8f}, {65.0f, 0.9f}, {52.0f, 1.0f}, {45.0f, 1.1f}, {42.0f, 1.3f}};
  for (const Row& row : rows) {
    ElementSet set = iss_like();
    set.inclination = static_cast<float>(row.inclination_deg * kRad);
    OrbitSetup orbit;
    ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 20, StopToken()}, orbit));
    EXPECT_FLOAT_EQ(orbit.lon_window, row.base / site.cos_lat) << row.inclination_deg;
    ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 19, StopToken()}, orbit));
    EXPECT_FLOAT_EQ(orbit.lon_window, row.base / site.cos_lat + 0.17f) << row.inclination_deg;
  }
  // A high orbit adds 0.37 radians per 1000 miles of apogee above 1000 miles.
  ElementSet high = iss_like();
  high.meanMotion = 5.0f;
  high.eccentricity = 0.3f;
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{high, site, night_of_the_16th(), 20, StopToken()}, orbit));
  const double excess = (orbit.a * 1.3 - site.site_radius - 1000.0) * 0.001;
  EXPECT_GT(excess, 0.0);
  EXPECT_NEAR(orbit.lon_window, 1.0 / site.cos_lat + 0.37 * excess, 1e-5);
}

TEST(SetupOrbit, MeanMotionLimitsAtTheWindowStart) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  OrbitSetup orbit;
  struct Row {
    float mean_motion;
    bool searched;
  };
  for (const Row& row : {Row{4.0f, false}, Row{4.001f, true}, Row{16.64f, true}, Row{16.65f, false},
                         Row{17.0f, false}}) {
    ElementSet set = iss_like();
    set.meanMotion = row.mean_motion;
    set.meanMotionDot = 0.0f;
    EXPECT_EQ(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit), row.searched)
        << row.mean_motion;
  }
  // A decaying set whose mean motion has passed 16.65 by the window start.
  ElementSet decayed = iss_like();
  decayed.meanMotion = 16.5f;
  decayed.meanMotionDot = 0.2f;
  decayed.epochDay = 58040;
  EXPECT_FALSE(setup_orbit(SearchScope{decayed, site, night_of_the_16th(), 15, StopToken()}, orbit));
}

// Candidates over the window, with a bound on the calls so that a search
// that does not end fails the test instead of hanging it.
int count_candidates(const SearchScope& scope, OrbitSetup& orbit, int limit = 100000) {
  int count = 0;
  int j = 0;
  float u_star = 0.0f;
  bool advance = false;
  while (count < limit && next_candidate(scope, orbit, advance, j, u_star)) {
    advance = true;
    ++count;
  }
  return count;
}

TEST(SetupOrbit, SetsThatGiveNoUsableOrbitAreSkipped) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  const ObservingWindow window = night_of_the_16th();
  OrbitSetup orbit;
  ElementSet set = iss_like();
  set.eccentricity = 1.0f;
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  set = iss_like();
  set.meanMotionDot = kNaN;
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  set = iss_like();
  set.meanMotion = kNaN;
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  // A perigee turning by more than a revolution per revolution gives a
  // negative period: the search would run backward for ever.
  set = iss_like();
  set.perigeePerRev = 100.0f;
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  set.perigeePerRev = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  // A revolution count beyond 32 bits.
  set = iss_like();
  set.meanMotionDot = 0.0f;
  set.epochDay = -200000000;
  EXPECT_FALSE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
}

TEST(NextCandidate, AbsurdNumbersNeverMakeTheSearchRunWithoutEnd) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  const ObservingWindow window = night_of_the_16th();
  OrbitSetup orbit;
  // A derivative so large that the period between crossings is seconds:
  // the set decays at its first candidate.
  ElementSet set = iss_like();
  set.epochDay = kStartDay + 16;
  set.epochFraction = 0.5f;
  set.meanMotionDot = 1.0e6f;
  const ObservingWindow near_epoch{16.51f, 17.0f};
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, near_epoch, 15, StopToken()}, orbit));
  EXPECT_LT(orbit.period, 0.001f);
  EXPECT_LE(count_candidates(SearchScope{set, site, near_epoch, 15, StopToken()}, orbit), 1);
  // A period too short to move next_time in float ends the search.
  set = iss_like();
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit));
  orbit.period = 1.0e-9f;
  orbit.lon_window = -1.0f;  // nothing is ever a candidate
  EXPECT_EQ(count_candidates(SearchScope{set, site, window, 15, StopToken()}, orbit), 0);
  // NaN node or perigee: no crossing is ever within the width.
  for (int which = 0; which < 3; ++which) {
    set = iss_like();
    if (which == 0) set.nodeRa = kNaN;
    if (which == 1) set.argPerigee = kNaN;
    if (which == 2) set.inclination = kNaN;
    if (setup_orbit(SearchScope{set, site, window, 15, StopToken()}, orbit)) {
      EXPECT_LT(count_candidates(SearchScope{set, site, window, 15, StopToken()}, orbit), 100) << which;
    }
  }
  // A window far in the future, where a float day no longer resolves a
  // revolution.
  set = iss_like();
  set.meanMotionDot = 0.0f;
  const ObservingWindow far{3.0e7f, 3.0e7f + 5.0f};
  if (setup_orbit(SearchScope{set, site, far, 15, StopToken()}, orbit)) {
    EXPECT_LT(count_candidates(SearchScope{set, site, far, 15, StopToken()}, orbit), 1000);
  }
  // An equatorial orbit seen from the equator (0 / 0 in the crossing ratio).
  set = iss_like();
  set.inclination = 0.0f;
  const SiteGeometry equator = site_at(0.0f, 75.0f);
  ASSERT_TRUE(setup_orbit(SearchScope{set, equator, window, 15, StopToken()}, orbit));
  EXPECT_EQ(orbit.crossing_count, 1);
  EXPECT_LT(count_candidates(SearchScope{set, equator, window, 15, StopToken()}, orbit), 100);
}

TEST(NextCandidate, ChoosesTheNearerCrossingAndKeepsTheFirstOnATie) {
  for (float inclination_deg : {51.64f, 98.2f}) {
    ElementSet set = iss_like();
    set.inclination = static_cast<float>(inclination_deg * kRad);
    const SiteGeometry site = site_at(40.0f, 75.0f);
    const SearchScope scope{set, site, night_of_the_16th(), 15, StopToken()};
    OrbitSetup orbit;
    ASSERT_TRUE(setup_orbit(scope, orbit));
    int j = -1;
    float u_star = 0.0f;
    orbit.crossings[0].lon_diff = 0.3f;
    orbit.crossings[1].lon_diff = -0.3f;
    ASSERT_TRUE(next_candidate(scope, orbit, false, j, u_star));
    EXPECT_EQ(j, 0) << inclination_deg;
    orbit.crossings[1].lon_diff = -0.29f;
    ASSERT_TRUE(next_candidate(scope, orbit, false, j, u_star));
    EXPECT_EQ(j, 1) << inclination_deg;
    // Exactly on the crossing: u* is the crossing's u.
    orbit.crossings[0].lon_diff = 0.0f;
    ASSERT_TRUE(next_candidate(scope, orbit, false, j, u_star));
    EXPECT_EQ(j, 0);
    EXPECT_NEAR(u_star, orbit.crossings[0].u, 1e-6) << inclination_deg;
  }
}

TEST(NextCandidate, EndsAfterTheWindowEndWithItsMargin) {
  const ElementSet set = iss_like();
  const SiteGeometry site = site_at(40.0f, 75.0f);
  const ObservingWindow window = night_of_the_16th();
  const SearchScope scope{set, site, window, 15, StopToken()};
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(scope, orbit));
  orbit.lon_window = 10.0f;
  float last = 0.0f;
  int j = 0;
  float u_star = 0.0f;
  bool advance = false;
  while (next_candidate(scope, orbit, advance, j, u_star)) {
    last = orbit.next_time;
    advance = true;
  }
  EXPECT_LE(last, window.end + 0.01f);
  EXPECT_GT(last + orbit.period, window.end + 0.01f);
}

TEST(NextCandidate, DecayRefreshShrinksTheEccentricityAndStopsAtDecay) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  const ObservingWindow window{16.0f, 18.0f};
  ElementSet set = iss_like();
  set.epochDay = 58042;
  set.epochFraction = 0.0f;
  set.meanMotion = 16.3f;
  set.meanMotionDot = 0.1f;  // 16.3 + 0.2 t reaches 16.65 after 1.75 days
  set.eccentricity = 0.002f;
  const SearchScope scope{set, site, window, 15, StopToken()};
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(scope, orbit));
  orbit.lon_window = 10.0f;
  int j = 0;
  float u_star = 0.0f;
  bool advance = false;
  int count = 0;
  float last_time = 0.0f;
  while (next_candidate(scope, orbit, advance, j, u_star)) {
    advance = true;
    ++count;
    const LatitudeCrossing& c = orbit.crossings[j];
    const float t = revolutions_to_time(set, static_cast<float>(c.rev + c.M));
    const double n = 2.0 * 0.1 * t + 16.3;
    EXPECT_LT(n, 16.65);
    EXPECT_NEAR(orbit.e, (16.65 - n) * 0.002 / (16.65 - 16.3), 1e-6);
    if (t > 0.0f) {
      EXPECT_LT(orbit.e, 0.002f);  // after the epoch the orbit has become rounder
    }
    EXPECT_NEAR(orbit.a, 26249.041 / std::pow(n, 0.66666667), 0.01);
    last_time = orbit.next_time;
    ASSERT_LT(count, 100);
  }
  EXPECT_GT(count, 10);
  // The search stopped at decay, well before the window's end.
  EXPECT_LT(last_time, 17.8f);
}

TEST(SubsatellitePoint, HeightAndNodeRelativeLongitude) {
  const ElementSet set = iss_like();
  const SiteGeometry site = site_at(40.0f, 75.0f);
  OrbitSetup orbit;
  ASSERT_TRUE(setup_orbit(SearchScope{set, site, night_of_the_16th(), 15, StopToken()}, orbit));
  for (float u : {0.1f, 1.0f, 2.0f, 3.0f, 4.0f, 5.5f}) {
    const OrbitPoint point = time_of_u(set, orbit, 0, u);
    const SubsatellitePoint sub = subsatellite_point(orbit, site, point);
    // Height of the ISS: about 250 miles over a 3950-mile site radius.
    EXPECT_GT(sub.height, 230.0f);
    EXPECT_LT(sub.height, 280.0f);
    EXPECT_FLOAT_EQ(sub.r - sub.height, site.site_radius);
    // The node-relative longitude follows u: tan(dl) = cos i tan u, in u's half.
    EXPECT_NEAR(std::tan(sub.node_lon), std::cos(set.inclination) * std::tan(u), 1e-4) << u;
    EXPECT_EQ(std::cos(sub.node_lon) < 0, std::cos(u) < 0) << u;
    EXPECT_GE(sub.west_lon, 0.0f);
    EXPECT_LE(sub.west_lon, kTwoPi);
  }
}

}  // namespace
}  // namespace vespera
