#include "prediction/observation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "observation_bench.h"
#include "prediction/angles.h"

namespace vespera {
namespace {

using testing::ObservationBench;

float degrees(double deg) { return static_cast<float>(deg * 0.017453292); }

TEST(ObservationTest, TimeWindowEndsTheSetOnlyWellPastItsEnd) {
  const ObservingWindow window{1.0f, 1.5f};
  struct Case {
    float time;
    bool outside;
    PointOutcome outcome;
  } const cases[] = {
      {0.99f, true, PointOutcome::Reject},     // before the start
      {1.0f, false, PointOutcome::Accept},     // start included
      {1.5f, false, PointOutcome::Accept},     // end included
      {1.505f, true, PointOutcome::Reject},    // past the end by less than 0.01 day
      {1.515f, true, PointOutcome::EndOfSet},  // past it by more
  };
  for (const Case& c : cases) {
    PointOutcome outcome = PointOutcome::Accept;
    EXPECT_EQ(outside_time_window(c.time, window, outcome), c.outside) << c.time;
    EXPECT_EQ(outcome, c.outcome) << c.time;
  }
}

TEST(ObservationTest, WrappedWindowsRunThroughZero) {
  struct Case {
    double low, high, x;
    bool inside;
  } const cases[] = {
      {300, 60, 350, true},
      {300, 60, 10, true},
      {300, 60, 180, false},
      {300, 60, 300, true},
      {300, 60, 60, true},
      {300, 60, 299, false},
      {90, 270, 180, true},
      {90, 270, 350, false},
      {90, 270, 90, true},
      // Equal limits accept every azimuth.
      {100, 100, 0, true},
      {100, 100, 100, true},
      {100, 100, 200, true},
      {100, 100, 359.9, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(in_wrapped_window(degrees(c.x), degrees(c.low), degrees(c.high)), c.inside)
        << c.low << "-" << c.high << " at " << c.x;
  }
}

TEST(ObservationTest, SatelliteOverheadStandsAtTheZenithWithAzimuthZero) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  PointObservation point;
  ASSERT_EQ(bench.observe(bench.ground(0.0f, 0.0f, 250.0f), point), PointOutcome::Accept);
  EXPECT_GE(point.cos_gamma, 0.99999952f);
  EXPECT_EQ(point.sin_gamma, 1.0e-5f);
  EXPECT_EQ(point.altitude, kHalfPi);
  EXPECT_EQ(point.azimuth, 0.0f);
  EXPECT_NEAR(point.range, 250.0f, 0.01f);
  // Straight up is the site's latitude in declination and its local
  // sidereal time in right ascension: (1.25 x 0.0027379093 + 0.25) x 2 pi - 1.0 rad.
  EXPECT_NEAR(point.out_dec, 0.7 * 57.29578, 0.02);
  EXPECT_NEAR(point.out_ra, ((1.25 * 0.0027379093 + 0.25) * 6.2831853 - 1.0) * 3.8197186, 0.002);
}

TEST(ObservationTest, AzimuthWestOfTheObserverIsMirrored) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  PointObservation east, west, north, south;
  ASSERT_EQ(bench.observe(bench.ground(0.05f, -0.1f, 300.0f), east), PointOutcome::Accept);
  ASSERT_EQ(bench.observe(bench.ground(0.05f, 0.1f, 300.0f), west), PointOutcome::Accept);
  EXPECT_GT(east.azimuth, 0.0f);
  EXPECT_LT(east.azimuth, kPi);
  EXPECT_EQ(west.azimuth, static_cast<float>(static_cast<double>(kTwoPi) - east.azimuth));
  EXPECT_FLOAT_EQ(west.altitude, east.altitude);

  // On the observer's meridian (dlon_obs 0) the azimuth is not mirrored.
  ASSERT_EQ(bench.observe(bench.ground(0.05f, 0.0f, 300.0f), north), PointOutcome::Accept);
  EXPECT_EQ(north.dlon_obs, 0.0f);
  EXPECT_LT(north.azimuth, 0.01f);
  ASSERT_EQ(bench.observe(bench.ground(-0.05f, 0.0f, 300.0f), south), PointOutcome::Accept);
  EXPECT_GT(south.azimuth, 3.13f);
  EXPECT_LE(south.azimuth, kPi);
}

TEST(ObservationTest, GeometricFiltersInTheirOrder) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  PointObservation point;

  // Below the horizon plane: 0.5 rad of arc away at 100 miles.
  EXPECT_EQ(bench.observe(bench.ground(0.0f, 0.5f, 100.0f), point), PointOutcome::Reject);

  // Range limit.
  bench.settings.rangeLimitOn = true;
  bench.settings.rangeLimit = 249.0f;
  EXPECT_EQ(bench.observe(bench.ground(0.0f, 0.0f, 250.0f), point), PointOutcome::Reject);
  bench.settings.rangeLimit = 251.0f;
  EXPECT_EQ(bench.observe(bench.ground(0.0f, 0.0f, 250.0f), point), PointOutcome::Accept);
  bench.settings.rangeLimitOn = false;

  // Minimum altitude: a point low in the east.
  ASSERT_EQ(bench.observe(bench.ground(0.0f, -0.1f, 200.0f), point), PointOutcome::Accept);
  const float low_altitude = point.altitude;
  bench.settings.minAltitude = low_altitude;  // at the limit is too low
  EXPECT_EQ(bench.observe(bench.ground(0.0f, -0.1f, 200.0f), point), PointOutcome::Reject);
  bench.settings.minAltitude = 0.0f;

  // Altitude window: below its minimum rejects, above its maximum skips.
  bench.settings.altAzLimits = true;
  bench.settings.altitudeMin = low_altitude + 0.01f;
  bench.settings.altitudeMax = kHalfPi;
  bench.settings.azimuthMin = 0.0f;
  bench.settings.azimuthMax = kTwoPi;
  EXPECT_EQ(bench.observe(bench.ground(0.0f, -0.1f, 200.0f), point), PointOutcome::Reject);
  bench.settings.altitudeMin = 0.0f;
  bench.settings.altitudeMax = degrees(80);
  EXPECT_EQ(bench.observe(bench.ground(0.0f, 0.0f, 250.0f), point), PointOutcome::Skip);

  // Azimuth window through north, 300 to 60 degrees.
  bench.settings.altitudeMax = kHalfPi;
  bench.settings.azimuthMin = degrees(300);
  bench.settings.azimuthMax = degrees(60);
  EXPECT_EQ(bench.observe(bench.ground(0.05f, 0.0f, 300.0f), point), PointOutcome::Accept);
  EXPECT_EQ(bench.observe(bench.ground(-0.05f, 0.0f, 300.0f), point), PointOutcome::Skip);
}

TEST(ObservationTest, ProbeRunsOnlyTheHorizonTest) {
  ObservationBench bench;
  // Everything but the horizon would stop this point: the sun behind the
  // earth, a minimum altitude near the zenith, a tiny range limit.
  bench.night.sun.ra = 3.0f;
  bench.settings.minAltitude = 1.5f;
  bench.settings.rangeLimitOn = true;
  bench.settings.rangeLimit = 1.0f;
  SkyDirection direction;
  const SubsatellitePoint east = bench.ground(0.05f, -0.1f, 300.0f);
  EXPECT_TRUE(bench.probe(east, direction));
  EXPECT_GT(direction.azimuth, 0.0f);
  EXPECT_GT(direction.sin_alt, 0.0f);
  EXPECT_FALSE(bench.probe(bench.ground(0.0f, 0.5f, 100.0f), direction));
  PointObservation point;
  EXPECT_EQ(bench.observe(east, point, 1.25f), PointOutcome::Reject);
}

TEST(ObservationTest, SkyWindowsAndTheMagnitudeLimit) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  PointObservation point;
  const SubsatellitePoint g = bench.ground(0.05f, -0.1f, 300.0f);
  ASSERT_EQ(bench.observe(g, point), PointOutcome::Accept);
  const float dec = point.dec;
  const float ra = point.ra;
  EXPECT_EQ(point.out_dec, static_cast<float>(dec * 57.29578));
  EXPECT_TRUE(point.bright_enough);

  bench.settings.raDecLimits = true;
  bench.settings.raMin = 0.0f;
  bench.settings.raMax = kTwoPi;
  bench.settings.decMin = dec + 0.01f;
  bench.settings.decMax = 1.5f;
  EXPECT_EQ(bench.observe(g, point), PointOutcome::Skip);
  bench.settings.decMin = -1.5f;
  bench.settings.decMax = dec - 0.01f;
  EXPECT_EQ(bench.observe(g, point), PointOutcome::Skip);
  bench.settings.decMax = 1.5f;
  bench.settings.raMin = ra + 0.01f;  // window from just past ra round to ra - 0.01
  bench.settings.raMax = ra - 0.01f;
  EXPECT_EQ(bench.observe(g, point), PointOutcome::Skip);
  bench.settings.raDecLimits = false;

  bench.settings.magnitudeLimit = -5.0f;
  EXPECT_EQ(bench.observe(g, point), PointOutcome::TooFaint);
  EXPECT_FALSE(point.bright_enough);
  EXPECT_EQ(point.out_ra, 0.0f);  // output coordinates only after the magnitude test

  // The radar layout skips the sky coordinates, their windows and the magnitude.
  bench.settings.radarFormat = true;
  bench.settings.raDecLimits = true;
  EXPECT_EQ(bench.observe(g, point), PointOutcome::Accept);
  EXPECT_EQ(point.out_ra, 0.0f);
  EXPECT_EQ(point.out_dec, 0.0f);
  EXPECT_EQ(point.magnitude, 0.0f);
}

TEST(ObservationTest, OutputCoordinatesAreReferredToTheRequestedEquinox) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  PointObservation of_date, precessed;
  const SubsatellitePoint g = bench.ground(0.2f, -0.3f, 600.0f);
  ASSERT_EQ(bench.observe(g, of_date), PointOutcome::Accept);
  bench.site.precession_ra = 0.1f;
  bench.site.precession_dec = 0.05f;
  ASSERT_EQ(bench.observe(g, precessed), PointOutcome::Accept);
  const double ra = of_date.ra;
  const double tan_dec = std::tan(static_cast<double>(of_date.dec));
  EXPECT_NEAR(precessed.out_ra, of_date.out_ra - 0.05 * tan_dec * std::sin(ra) - 0.1, 1e-5);
  EXPECT_NEAR(precessed.out_dec, of_date.out_dec - 0.05 * 15.0 * std::cos(ra), 1e-5);
}

TEST(ObservationTest, DeclinationNearThePoleIsHeld) {
  ObservationBench bench;
  bench.settings.ignoreShadow = true;
  bench.site.latitude = kHalfPi;
  bench.site.sin_lat = 1.0f;
  bench.site.cos_lat = static_cast<float>(std::cos(static_cast<double>(kHalfPi)));
  PointObservation point;
  ASSERT_EQ(bench.observe(bench.ground(0.0f, 0.0f, 250.0f), point), PointOutcome::Accept);
  EXPECT_EQ(point.sin_dec, 0.99999899f);
  EXPECT_NEAR(point.out_dec, 89.9186, 0.001);
  EXPECT_TRUE(std::isfinite(point.out_ra));
}

}  // namespace
}  // namespace vespera
