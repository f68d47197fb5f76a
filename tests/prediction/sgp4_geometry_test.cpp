// The SGP4 model's geometry against values computed independently: the site
// on the WGS-84 ellipsoid and heights above it against Skyfield (wgs84), the
// turn from TEME to the earth and the view from the site against a separate
// computation with python3-sgp4 (GMST IAU-82, the geodetic vertical), for
// the ISS set of tests/data at 2018 January 21, 2:07 UT.
#include <gtest/gtest.h>

#include <cmath>

#include "prediction/geodetic_site.h"
#include "prediction/sgp4_ephemeris.h"
#include "prediction/teme_to_observer.h"

namespace vespera {
namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

TEST(GeodeticSite, PlacesTheSiteOnTheEllipsoid) {
  struct Row {
    double lat, west, feet;
    Vector3 skyfield_km;
  };
  const Row rows[] = {
      {40.0, 75.0, 300.0, {1266.34403854, -4726.0602917, 4078.0443487}},
      {-34.0, -151.0, 0.0, {-4629.58805482, 2566.22256329, -3546.44656378}},
  };
  for (const Row& row : rows) {
    const GeodeticSite site = geodetic_site(row.lat, row.west, row.feet);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(site.position_km[i], row.skyfield_km[i], 1e-6);
    // Local axes: unit, square to each other, up along the ellipsoid's
    // normal (the geodetic latitude), east level.
    EXPECT_NEAR(length(site.up), 1.0, 1e-15);
    EXPECT_NEAR(dot(site.up, site.north), 0.0, 1e-15);
    EXPECT_NEAR(dot(site.up, site.east), 0.0, 1e-15);
    EXPECT_NEAR(std::asin(site.up[2]), row.lat * kDeg, 1e-15);
    EXPECT_EQ(site.east[2], 0.0);
  }
}

TEST(GeodeticSite, HeightAboveTheEllipsoid) {
  struct Row {
    Vector3 point_km;
    double skyfield_height_km;
  };
  const Row rows[] = {
      {{4000.0, 3000.0, 4500.0}, 358.2697159488047},
      {{1.0, 0.0, 7000.0}, 643.2477567445505},  // a kilometre from the pole's axis
      {{100.0, 0.0, 7000.0}, 643.9575909392281},
      {{6800.0, 0.0, 0.0}, 421.86300000001125},  // over the equator
      {{-2000.0, 5000.0, -3500.0}, 50.85217176962594},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(height_above_ellipsoid_km(row.point_km), row.skyfield_height_km, 1e-6);
  }
  // On the pole's axis: above the polar radius.
  EXPECT_NEAR(height_above_ellipsoid_km({0.0, 0.0, -7000.0}), 7000.0 - 6356.752314245, 1e-6);
  // The site itself lies its own height above the ellipsoid.
  EXPECT_NEAR(height_above_ellipsoid_km(geodetic_site(40.0, 75.0, 300.0).position_km), 300.0 * 0.0003048,
              1e-9);
}

// The ISS at day number 58139 + 127/1440 (2018 January 21, 2:07 UT).
constexpr int32_t kDay = 58139;
constexpr double kTime = 127.0 / 1440.0;
const Vector3 kTemeKm{1718.4036843253512, 5015.585904600186, 4218.331240161854};
const Vector3 kTemeKmS{-6.702190157158922, -0.7840395155063342, 3.654262809842399};

TEST(TemeToObserver, SiderealAngleIsGmstIau82) {
  EXPECT_NEAR(sidereal_angle(kDay, kTime), 2.6555030389797665, 1e-10);
}

TEST(TemeToObserver, TurnsTemeToTheEarthAndSeesItFromTheSite) {
  const double gmst = sidereal_angle(kDay, kTime);
  const EarthFixedState fixed = teme_to_earth_fixed(kTemeKm, kTemeKmS, gmst);
  const Vector3 expected{823.7866228564897, -5237.402866758457, 4218.331240161854};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(fixed.position_km[i], expected[i], 1e-6);
  // The earth-fixed velocity is relative to the turning earth: slower than
  // the inertial one for this prograde orbit.
  EXPECT_LT(length(fixed.velocity_km_s), length(kTemeKmS));

  const GeodeticSite site = geodetic_site(40.0, 75.0, 300.0);
  const TopocentricView view = topocentric_view(fixed.position_km, site);
  EXPECT_NEAR(view.range_km, 690.6581695480603, 1e-6);
  EXPECT_NEAR(altitude_of(view) / kDeg, 33.45964971205958, 1e-7);
  EXPECT_NEAR(azimuth_of(view) / kDeg, 256.30748142049634, 1e-7);
  const EquatorialDirection direction = topocentric_equatorial(view, fixed);
  EXPECT_NEAR(direction.ra / kDeg, 21.273542306701668, 1e-7);
  EXPECT_NEAR(std::atan2(direction.sin_dec, direction.cos_dec) / kDeg, 11.719501961683694, 1e-7);
}

// The ISS set of tests/data/iss-25544.tle as the readers keep it.
ElementSet iss_set() {
  ElementSet set;
  set.ncat = 25544;
  set.mean.valid = true;
  set.mean.epochDay = 58138;  // 2018 day 20
  set.mean.epochDayFraction = 0.89808844;
  set.mean.meanMotion = 15.54190080;
  set.mean.eccentricity = 0.0003646;
  set.mean.inclinationDeg = 51.6424;
  set.mean.nodeDeg = 32.9776;
  set.mean.argPerigeeDeg = 28.7227;
  set.mean.meanAnomalyDeg = 39.5332;
  set.mean.bstar = 0.38550e-4;
  return set;
}

TEST(Sgp4Ephemeris, ConvertsTheMeanElements) {
  const sgp4::MeanElements el = sgp4_mean_elements(iss_set().mean);
  EXPECT_EQ(el.epoch_jd, 2458138.5);
  EXPECT_EQ(el.epoch_jd_fraction, 0.89808844);
  EXPECT_NEAR(el.mean_motion, 15.54190080 * 2.0 * 3.14159265358979323846 / 1440.0, 1e-15);
  EXPECT_NEAR(el.inclination, 51.6424 * kDeg, 1e-15);
  EXPECT_NEAR(el.mean_anomaly, 39.5332 * kDeg, 1e-15);
}

TEST(Sgp4Ephemeris, LocatesTheSatelliteAtAnEngineTime) {
  Sgp4Ephemeris ephemeris(iss_set(), kDay);
  ASSERT_FALSE(ephemeris.failed());
  SatelliteFix fix;
  ASSERT_TRUE(ephemeris.locate(kTime, fix));
  EXPECT_NEAR(fix.minutes, (1.0 + kTime - 0.89808844) * 1440.0, 1e-9);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(fix.teme_km[i], kTemeKm[i], 1e-6);
    EXPECT_NEAR(fix.teme_km_s[i], kTemeKmS[i], 1e-9);
  }
  EXPECT_NEAR(fix.sidereal, 2.6555030389797665, 1e-10);
}

TEST(Sgp4Ephemeris, FailsWithTheReason) {
  ElementSet unreadable = iss_set();
  unreadable.mean.valid = false;
  EXPECT_STREQ(Sgp4Ephemeris(unreadable, kDay).failure_reason(), "mean elements not readable");

  ElementSet hyperbolic = iss_set();
  hyperbolic.mean.eccentricity = 1.2;
  Sgp4Ephemeris failing(hyperbolic, kDay);
  EXPECT_TRUE(failing.failed());
  SatelliteFix fix;
  EXPECT_FALSE(failing.locate(kTime, fix));

  // A low orbit with a large drag term decays within days of its epoch;
  // after the first failure every later time fails too.
  ElementSet decaying = iss_set();
  decaying.mean.meanMotion = 16.0;
  decaying.mean.bstar = 0.01;
  Sgp4Ephemeris decays(decaying, kDay);
  ASSERT_FALSE(decays.failed());
  double day = 0.0;
  while (day < 30.0 && decays.locate(day, fix)) day += 0.25;
  EXPECT_GT(day, 1.0);
  EXPECT_LT(day, 30.0);
  EXPECT_STREQ(decays.failure_reason(), "satellite has decayed");
  EXPECT_FALSE(decays.locate(0.0, fix));
}

}  // namespace
}  // namespace vespera
