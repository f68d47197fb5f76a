// Places in the sky: the stars that the charts draw against PyEphem's places
// of the same stars (tools/check_star_place.py), the sidereal time, the
// precession, and the report clock's offset from UT found from its points.
#include "chart/sky_place.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "chart/bright_stars.h"
#include "chart/star_field.h"
#include "chart/zone_offset.h"
#include "chart_test_support.h"
#include "report/report_reader.h"

namespace vespera::chart {
namespace {

using namespace test_support;

// 2017-10-16 23:23:35 UT: the ISS's highest point in the example.
constexpr int64_t kMoment = 1508196215;

const BrightStar& star(int32_t hr) {
  for (const BrightStar& s : kBrightStars) {
    if (s.hr == hr) return s;
  }
  throw std::invalid_argument("no such star");
}

// Apparent places (PyEphem, without refraction) against mean places
// precessed to the date: they differ by nutation and aberration, less than
// 0.02 degrees.
TEST(SkyPlace, BrightStarsWhereEphemPutsThem) {
  struct Case {
    int32_t hr;
    double altitude, azimuth;  // PyEphem, at 40 N, 75 W
  };
  const Case cases[] = {{7001, 72.8655, 273.1565},  // Vega
                        {424, 39.8542, 0.8452},     // Polaris
                        {7557, 58.7484, 186.9635},  // Altair
                        {8728, 9.7824, 142.8943}};  // Fomalhaut
  const double day = julian_day(kMoment);
  const double sidereal = greenwich_sidereal_degrees(day) - 75.0;
  for (const Case& c : cases) {
    const BrightStar& s = star(c.hr);
    const Equatorial of_date = precess({s.raHours * 15.0, s.decDegrees}, kJ2000, day);
    const Horizontal seen = horizontal_of(of_date, sidereal, 40.0);
    EXPECT_NEAR(seen.altitude, c.altitude, 0.02) << c.hr;
    EXPECT_NEAR(wrap_half_turn(seen.azimuth - c.azimuth) * std::cos(seen.altitude * M_PI / 180.0), 0.0, 0.02)
        << c.hr;
  }
  // The star field of the night puts Vega at the same place.
  for (const VisibleStar& v : StarField(day).visible(sidereal, 40.0)) {
    if (std::fabs(v.magnitude - 0.03) < 1e-9) {
      EXPECT_NEAR(v.seen.altitude, 72.8655, 0.02);
    }
  }
}

TEST(SkyPlace, SiderealTimeAndPrecession) {
  EXPECT_NEAR(greenwich_sidereal_degrees(kJ2000), 280.46061837, 1e-9);
  // 1987 April 10, 0h UT: 13h 10m 46.3668s (Meeus, example 12.a).
  EXPECT_NEAR(greenwich_sidereal_degrees(2446895.5), (13 + 10 / 60.0 + 46.3668 / 3600.0) * 15.0, 1e-5);
  // Theta Persei from J2000 to 2028 November 13.19 TD (Meeus, example 21.b):
  // 2h 46m 11.331s, +49 20' 54.54" with its proper motion over the 28.86
  // years (+0.03425 s and -0.0895" a year), which the charts leave out.
  const double years = 28.86;
  const Equatorial j2000{(2 + 44 / 60.0 + (11.986 + 0.03425 * years) / 3600.0) * 15.0,
                         49 + 13 / 60.0 + (42.48 - 0.0895 * years) / 3600.0};
  const Equatorial p = precess(j2000, kJ2000, 2462088.69);
  EXPECT_NEAR(p.raDegrees, (2 + 46 / 60.0 + 11.331 / 3600.0) * 15.0, 0.0005);
  EXPECT_NEAR(p.decDegrees, 49 + 20 / 60.0 + 54.54 / 3600.0, 0.0005);
  const Equatorial back = precess(p, 2462088.69, kJ2000);
  EXPECT_NEAR(back.decDegrees, j2000.decDegrees, 1e-9);
  // A direction's hour angle and declination turn back into it.
  const Equatorial h = hour_angle_of({35.0, 120.0}, 40.0);
  const Horizontal seen = horizontal_of({-h.raDegrees, h.decDegrees}, 0.0, 40.0);
  EXPECT_NEAR(seen.altitude, 35.0, 1e-9);
  EXPECT_NEAR(seen.azimuth, 120.0, 1e-9);
}

// The offset of each night of a report from its points, for the example's
// zone and for others written by the program from the example's control
// file with another zone line (zones within 12 hours of the site's mean
// solar time, 75 W: 5 hours behind UT).
TEST(ZoneOffset, FoundFromThePointsOfEachNight) {
  struct Case {
    std::string zone_line;
    double hours;
  };
  const Case cases[] = {{"-4 EDT 12", -4.0}, {"0 UT 24", 0.0}, {"5.75 NPT 24", 5.75}, {"-9.5 MART 12", -9.5},
                        {"-3.5 NST 24", -3.5}};
  const std::string examples = std::string(VESPERA_SOURCE_DIR) + "/examples/";
  for (const Case& c : cases) {
    test::TempDir dir;
    std::string control = read_file(examples + "vespera.ctl");
    control.replace(control.find("-4 EDT 12"), 9, c.zone_line);
    dir.write("vespera.ctl", control);
    for (const char* name : {"visual.mag", "visual-2017-10-16.tle"}) dir.write(name, read_file(examples + name));
    const std::string command = "cd " + dir.dir() + " && " + VESPERA_BINARY + " vespera.ctl >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ReportContents report;
    ReportReadError error;
    ASSERT_TRUE(read_report(read_file(dir.path("report.txt")), report, error)) << error.expected;
    ASSERT_GE(report.nights.size(), 2u) << c.zone_line;
    for (const ReportNight& night : report.nights) {
      ZoneOffsetFinder finder(report.settings, false);
      for (const std::size_t p : night.passes) {
        for (const ReportPoint& point : report.passes[p].points) finder.add(point);
      }
      ASSERT_TRUE(finder.hours()) << c.zone_line;
      EXPECT_EQ(*finder.hours(), c.hours) << c.zone_line;
    }
  }
}

TEST(ZoneOffset, LabelsThatMeanOneOffset) {
  EXPECT_EQ(zone_label_offset("UTC "), 0.0);
  EXPECT_EQ(zone_label_offset("GMT "), 0.0);
  EXPECT_EQ(zone_label_offset("UT  "), 0.0);
  EXPECT_FALSE(zone_label_offset("EDT "));
  EXPECT_FALSE(zone_label_offset("    "));
}

}  // namespace
}  // namespace vespera::chart
