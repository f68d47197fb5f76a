#include "prediction/sun_window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "prediction/angles.h"
#include "prediction/site_setup.h"

namespace vespera {
namespace {

constexpr double kDeg = 57.29577951308232;

SiteGeometry site_at(float latitude_deg, float west_longitude_deg, int32_t start_day = 58027) {
  RunSettings settings;
  settings.latitudeDeg = latitude_deg;
  settings.westLongitudeDeg = west_longitude_deg;
  SiteGeometry site;
  setup_site(settings, start_day, site);
  return site;
}

double dec_deg(const SunPlace& place) { return std::atan2(place.sin_dec, place.cos_dec) * kDeg; }

// Apparent geocentric places of the sun (PyEphem), degrees.
struct SunRow {
  double day_number;
  double ra_deg, dec_deg;
};

TEST(SunPlace, AgreesWithAnEphemerisToATenthOfADegree) {
  const SunRow rows[] = {
      {57768.0, 296.963, -21.124},   // 2017 January 15
      {57832.5, 0.058, 0.025},       // 2017 March 20, 12h
      {57925.0, 89.809, 23.434},     // 2017 June 21
      {58018.75, 179.924, 0.033},    // 2017 September 22, 18h
      {58043.0, 202.040, -9.239},    // 2017 October 17
      {58108.25, 269.516, -23.434},  // 2017 December 21, 6h
      {58979.5, 47.844, 17.815},     // 2020 May 10, 12h
  };
  for (const SunRow& row : rows) {
    const SunPlace place = sun_place(static_cast<float>(row.day_number));
    const double dra = std::remainder(place.ra * kDeg - row.ra_deg, 360.0);
    EXPECT_NEAR(dra, 0.0, 0.2) << row.day_number;
    EXPECT_NEAR(dec_deg(place), row.dec_deg, 0.1) << row.day_number;
    EXPECT_GE(place.ra, 0.0f);
    EXPECT_LE(place.ra, kTwoPi);
  }
}

TEST(SunPlace, DeclinationSignAroundTheYear) {
  // After the March equinox north, after the September equinox south: the
  // sign comes from the quadrant of the right ascension.
  for (int day = 0; day < 365; day += 7) {
    const SunPlace place = sun_place(static_cast<float>(57754 + day));  // from 2017 January 1
    const double dec = dec_deg(place);
    const double ra = place.ra * kDeg;
    if (ra > 2.0 && ra < 178.0) {
      EXPECT_GT(dec, 0.0) << day;
    }
    if (ra > 182.0 && ra < 358.0) {
      EXPECT_LT(dec, 0.0) << day;
    }
    EXPECT_NEAR(place.sin_dec * place.sin_dec + place.cos_dec * place.cos_dec, 1.0, 1e-6);
  }
}

TEST(SunWindow, ChangesPerDayAreSmallAndThePerDayRaStaysPositiveAcrossTheWrap) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  // Around 2017 March 20 the right ascension wraps from 2 pi to 0.
  for (float day_number = 57830.0f; day_number < 57836.0f; day_number += 0.5f) {
    SunTrack track;
    float evening = 0.0f, morning = 0.0f;
    sun_window(day_number, site.latitude, site.longitude, evening, morning, track);
    EXPECT_GT(track.ra_per_day, 0.0155f) << day_number;
    EXPECT_LT(track.ra_per_day, 0.0190f) << day_number;
    EXPECT_NEAR(track.sin_dec_per_day, 0.0069, 0.0003) << day_number;
    EXPECT_NEAR(track.cos_dec_per_day, 0.0, 0.0002) << day_number;
  }
}

TEST(SunWindow, OutputsMatchTheSunPlaceOfTheDayAndTheNext) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  SunTrack track;
  float evening = 0.0f, morning = 0.0f;
  sun_window(58042.5f, site.latitude, site.longitude, evening, morning, track);
  const SunPlace now = sun_place(58042.5f);
  const SunPlace next = sun_place(58043.5f);
  EXPECT_EQ(track.ra, now.ra);
  EXPECT_EQ(track.sin_dec, now.sin_dec);
  EXPECT_EQ(track.cos_dec, now.cos_dec);
  EXPECT_EQ(track.ra_per_day, next.ra - now.ra);
  EXPECT_EQ(track.sin_dec_per_day, next.sin_dec - now.sin_dec);
  EXPECT_EQ(track.cos_dec_per_day, next.cos_dec - now.cos_dec);
}

// The sun 10 degrees below the horizon at 40 N 75 W (PyEphem, centre of the
// sun, no refraction), hours of UT from 0h of the day after the noon taken.
struct TwilightRow {
  double noon_day_number;
  double evening_h, morning_h;
};

template <std::size_t N>
void expect_twilights(const SiteGeometry& site, const TwilightRow (&rows)[N]) {
  for (const TwilightRow& row : rows) {
    SunTrack track;
    float evening = 0.0f, morning = 0.0f;
    sun_window(static_cast<float>(row.noon_day_number), site.latitude, site.longitude, evening,
               morning, track);
    EXPECT_NEAR(evening, row.evening_h, 3.0 / 60.0) << row.noon_day_number;
    EXPECT_NEAR(morning, row.morning_h, 3.0 / 60.0) << row.noon_day_number;
  }
}

TEST(SunWindow, TwilightTimesAgreeWithAnEphemerisToAFewMinutes) {
  const SiteGeometry site = site_at(40.0f, 75.0f);
  const TwilightRow rows[] = {
      {57763.5, -1.2209, 11.4793},  // evening of 2017 January 10
      {57778.5, -0.9648, 11.3746},  // January 25
      {57914.5, 1.4701, 8.5154},    // June 10
      {57925.5, 1.5416, 8.5245},    // June 21
      {58042.5, -0.8860, 10.4080},  // October 16
  };
  expect_twilights(site, rows);
}

TEST(SunWindow, MidnightSunAndPolarNight) {
  // At 70 N in June the sun never sinks 10 degrees: H = pi, the two times
  // coincide. At 80 N in December it never rises that high: H = 0, 24 hours
  // apart.
  const SiteGeometry north = site_at(70.0f, -20.0f);
  SunTrack track;
  float evening = 0.0f, morning = 0.0f;
  sun_window(57925.5f, north.latitude, north.longitude, evening, morning, track);
  EXPECT_NEAR(morning - evening, 0.0f, 1e-4f);
  const SiteGeometry far_north = site_at(80.0f, -20.0f);
  sun_window(58108.5f, far_north.latitude, far_north.longitude, evening, morning, track);
  EXPECT_NEAR(morning - evening, 24.0f, 1e-4f);
  // The same at the pole itself, where the float latitude lies just past pi/2.
  const SiteGeometry pole = site_at(90.0f, 0.0f);
  sun_window(57925.5f, pole.latitude, pole.longitude, evening, morning, track);
  EXPECT_NEAR(morning - evening, 0.0f, 1e-4f);
  sun_window(58108.5f, pole.latitude, pole.longitude, evening, morning, track);
  EXPECT_NEAR(morning - evening, 24.0f, 1e-4f);
  // And reversed seasons in the south.
  const SiteGeometry south = site_at(-80.0f, 0.0f);
  sun_window(58108.5f, south.latitude, south.longitude, evening, morning, track);
  EXPECT_NEAR(morning - evening, 0.0f, 1e-4f);
}

TEST(SunWindow, BeforeTheSiderealOriginTheEveningFallsOnTheRightDay) {
  // Day numbers before 39024.3464 (1965) give a negative sidereal term,
  // which must not move the evening a whole day. PyEphem, as above.
  const SiteGeometry site = site_at(40.0f, 75.0f, 33281);
  const TwilightRow rows[] = {
      {33560.5, -0.6173, 10.2290},  // evening of 1950 October 6
      {33450.5, 1.5246, 8.5093},    // 1950 June 18
      {36000.5, 1.4737, 8.5113},    // 1957 June 11
  };
  expect_twilights(site, rows);
}

WindowSettings settings_with(float start_offset, float end_offset, char letter, bool radar = false) {
  RunSettings settings;
  settings.startOffsetHours = start_offset;
  settings.endOffsetHours = end_offset;
  settings.windowLetter = letter;
  settings.radarFormat = radar;
  return window_settings(settings);
}

TEST(SetUpNight, TwilightModeTakesTheSunAtNoonOfTheDayBefore) {
  const SiteGeometry site = site_at(40.0f, 75.0f, 58026);  // 2017 October 0
  const NightState night = set_up_night(settings_with(0.5f, -1.0f, ' '), site, 17);
  EXPECT_EQ(night.sun.reference_time, 16.5f);
  SunTrack expected;
  float evening = 0.0f, morning = 0.0f;
  sun_window(58042.5f, site.latitude, site.longitude, evening, morning, expected);
  EXPECT_EQ(night.sun.ra, expected.ra);
  EXPECT_EQ(night.evening_twilight, evening);
  EXPECT_EQ(night.morning_twilight, morning);
  EXPECT_EQ(night.window.start, static_cast<float>(17.0 + (evening + 0.5) / 24.0));
  EXPECT_EQ(night.window.end, static_cast<float>(17.0 + (morning - 1.0) / 24.0));
  EXPECT_LT(night.window.start, night.window.end);
}

TEST(SetUpNight, AbsoluteModeWithLetterAOrRadarFormat) {
  const SiteGeometry site = site_at(40.0f, 75.0f, 58026);
  for (const WindowSettings& settings :
       {settings_with(2.0f, 10.0f, 'A'), settings_with(2.0f, 10.0f, ' ', true)}) {
    const NightState night = set_up_night(settings, site, 5);
    EXPECT_EQ(night.sun.reference_time, 5.0f);
    EXPECT_EQ(night.window.start, static_cast<float>(5.0 + 2.0 / 24.0));
    EXPECT_EQ(night.window.end, static_cast<float>(5.0 + 10.0 / 24.0));
  }
}

}  // namespace
}  // namespace vespera
