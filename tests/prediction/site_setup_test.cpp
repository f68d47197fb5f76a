#include "prediction/site_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "prediction/angles.h"

namespace vespera {
namespace {

SiteGeometry site_at(float latitude_deg, float west_longitude_deg, float height_feet,
                     int32_t start_day = 58027, int32_t equinox = 1950) {
  RunSettings settings;
  settings.latitudeDeg = latitude_deg;
  settings.westLongitudeDeg = west_longitude_deg;
  settings.heightFeet = height_feet;
  settings.equinoxYear = equinox;
  SiteGeometry site;
  setup_site(settings, start_day, site);
  return site;
}

TEST(SetupSite, RadiusAtTheEquatorAndThePoles) {
  // Sea-level radius: (0.001683 cos 2phi + 0.99832) earth radii of 3963.345 miles.
  const double c1 = 0.001683f, c0 = 0.99832f, radius = 3963.345f;
  EXPECT_FLOAT_EQ(site_at(0.0f, 0.0f, 0.0f).site_radius, static_cast<float>((c1 + c0) * radius));
  EXPECT_NEAR(site_at(0.0f, 0.0f, 0.0f).site_radius, 1.000003 * 3963.345, 1e-3);
  EXPECT_NEAR(site_at(0.0f, 0.0f, 5280.0f).site_radius, 1.0 + 1.000003 * 3963.345, 1e-3);
  EXPECT_NEAR(site_at(90.0f, 0.0f, 0.0f).site_radius, 0.996637 * 3963.345, 1e-3);
  EXPECT_NEAR(site_at(-90.0f, 0.0f, 2640.0f).site_radius, 0.5 + 0.996637 * 3963.345, 1e-3);
}

TEST(SetupSite, GeocentricLatitudeLongitudeAndTheirFunctions) {
  const SiteGeometry site = site_at(40.0f, 75.0f, 300.0f);
  // 40 - 0.1931 sin 80 degrees = 39.80984 degrees.
  EXPECT_NEAR(site.latitude, 39.80984 * 0.017453292, 1e-6);
  EXPECT_FLOAT_EQ(site.longitude, 75.0f * 0.017453292f);
  EXPECT_FLOAT_EQ(site.sin_lat, static_cast<float>(std::sin(static_cast<double>(site.latitude))));
  EXPECT_FLOAT_EQ(site.cos_lat, static_cast<float>(std::cos(static_cast<double>(site.latitude))));
  EXPECT_FLOAT_EQ(site.site_rate_factor,
                  static_cast<float>(static_cast<double>(site.cos_lat) * 990.8f));
  // South and east are negative.
  const SiteGeometry south = site_at(-33.9f, -151.2f, 0.0f);
  EXPECT_LT(south.latitude, 0.0f);
  EXPECT_LT(south.sin_lat, 0.0f);
  EXPECT_GT(south.cos_lat, 0.0f);
  EXPECT_LT(south.longitude, 0.0f);
}

TEST(SetupSite, PolesKeepANonNegativeCosine) {
  for (float latitude : {90.0f, -90.0f}) {
    const SiteGeometry site = site_at(latitude, 0.0f, 0.0f);
    EXPECT_GE(site.cos_lat, 0.0f) << latitude;
    EXPECT_LT(site.cos_lat, 1e-6f) << latitude;
    EXPECT_FLOAT_EQ(std::fabs(site.sin_lat), 1.0f);
  }
}

TEST(SetupSite, SiderealTimeOfTheStartDay) {
  const SiteGeometry site = site_at(40.0f, 75.0f, 0.0f, 58027);
  EXPECT_EQ(site.start_day_number, 58027);
  EXPECT_EQ(site.start_sidereal, day_sidereal_fraction(58027.0f));
}

TEST(SetupSite, PrecessionFactorsForTheEquinox) {
  // Start day 1950 January 0 with equinox 1950: no precession.
  const SiteGeometry none = site_at(40.0f, 75.0f, 0.0f, 33281, 1950);
  EXPECT_EQ(none.precession_ra, 0.0f);
  EXPECT_EQ(none.precession_dec, 0.0f);
  // Start day 36525 days later (2050 January 0) with equinox 2000: T = 1 - 0.5.
  const SiteGeometry half = site_at(40.0f, 75.0f, 0.0f, 33281 + 36525, 2000);
  const double T = 1.0 - 50.0 * static_cast<double>(0.01f);
  EXPECT_FLOAT_EQ(half.precession_ra, static_cast<float>(T * 0.022348f / 0.2617994f));
  EXPECT_FLOAT_EQ(half.precession_dec, static_cast<float>(T * 0.009717f / 0.2617994f));
  // An equinox after the start day gives negative factors.
  const SiteGeometry back = site_at(40.0f, 75.0f, 0.0f, 58027, 2050);
  EXPECT_LT(back.precession_ra, 0.0f);
  EXPECT_LT(back.precession_dec, 0.0f);
}

}  // namespace
}  // namespace vespera
