// Every line of a whole report, checked against an independent computation
// of the sky: the satellite rebuilt from its printed altitude, azimuth and
// range must stand at the printed height, right ascension and declination;
// the sun must be at least 10 degrees down at the site (twilight window) and
// light the satellite (out of the earth's shadow, at the printed shadow
// height and phase angle); the magnitude must follow from the standard
// magnitude, range, phase and air mass; and the printed direction of motion
// must point toward the pass's next point.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "end_to_end_support.h"
#include "sky_geometry.h"

namespace vespera::e2e {
namespace {

struct SiteCase {
  const char* label;
  Section section;
  Site site;
  double zone_offset_hours;
  std::size_t min_lines;
};

SiteCase northern_site() {
  Section s;
  s.days = "16 18";
  s.format = "E";
  return {"40 N 75 W, three nights", s, Site{40.0, 75.0, 300 * 0.3048}, -4.0, 40};
}

SiteCase southern_site() {
  Section s;
  s.days = "16 18";
  s.site = "-33.9 -151.2 50 Sydney";
  s.zone = "11 AEDT 24";
  s.magnitude_limit = "5.5";
  s.format = "E";
  return {"33.9 S 151.2 E, three nights", s, Site{-33.9, -151.2, 50 * 0.3048}, 11.0, 10};
}

class SkyConsistency : public ::testing::TestWithParam<SiteCase (*)()> {};

TEST_P(SkyConsistency, EveryLineAgreesWithTheSky) {
  const SiteCase c = GetParam()();
  RunResult r = run_excerpt(c.section);
  ASSERT_EQ(r.exit_status, 0) << r.out << r.err;
  Report report = parse_report(r.report, 'E');
  EXPECT_TRUE(report.unrecognised.empty()) << report.unrecognised.front();
  ASSERT_GE(report.all_lines().size(), c.min_lines) << c.label << "\n" << r.report;

  // The window times of every day header (local, 24-hour clock, truncated to
  // the minute) are the evening and morning times of the sun 10 degrees
  // down: for an evening header that evening and the next morning, for a
  // morning header the evening before and that morning.
  for (const DayHeader& header : report.headers) {
    SCOPED_TRACE(header.text);
    double date = mjd_of_date(header.year, month_number(header.month), header.day) - c.zone_offset_hours / 24.0;
    double evening = date - (header.evening ? 0.0 : 1.0) + (header.h1 + header.m1 / 60.0 + 0.5 / 60.0) / 24.0;
    double morning = date + (header.evening ? 1.0 : 0.0) + (header.h2 + header.m2 / 60.0 + 0.5 / 60.0) / 24.0;
    EXPECT_NEAR(c.site.altitude(evening, sun_direction(evening)) / kDeg, -10.0, 0.4);
    EXPECT_NEAR(c.site.altitude(morning, sun_direction(morning)) / kDeg, -10.0, 0.4);
  }

  for (const Pass& pass : report.passes) {
    for (std::size_t i = 0; i < pass.lines.size(); ++i) {
      const PredictionLine& line = pass.lines[i];
      SCOPED_TRACE(std::string(c.label) + ": " + std::to_string(pass.ncat) + "\n" + line.text);
      const DayHeader& header = report.headers[line.header];
      double mjd = line_mjd(header, line, c.zone_offset_hours);
      double alt = line.alt_e * kDeg, az = line.az_e * kDeg;
      double range_km = line.range + 0.5;  // printed truncated
      Vec site = c.site.position(mjd);
      Vec toward = c.site.direction(mjd, alt, az);
      Vec sat = add(site, scale(toward, range_km));

      // Height above the site's distance from the earth's centre.
      EXPECT_NEAR(norm(sat) - norm(site), line.height, 6.0);

      // Right ascension and declination, equinox 2000, from the direction.
      double ra_printed = (line.ra_hours + line.ra_minutes / 60.0) * 15.0 * kDeg;
      double dec_printed = line.dec * kDeg;
      Vec printed = {std::cos(dec_printed) * std::cos(ra_printed), std::cos(dec_printed) * std::sin(ra_printed),
                     std::sin(dec_printed)};
      EXPECT_LT(separation(precess_to_j2000(toward, mjd), printed) / kDeg, 0.4);

      // The site is in twilight's dark: the window runs from the evening to
      // the morning time of the sun 10 degrees down; the engine's sun and
      // twilight times are good to a few tenths of a degree.
      Vec sun = sun_direction(mjd);
      EXPECT_LT(c.site.altitude(mjd, sun) / kDeg, -9.5);

      // Sunlit: on the day side, or out of the shadow cylinder behind the
      // earth, at about the printed height above the shadow's edge (the
      // engine's cylinder has the site's radius).
      double along = dot(sat, sun);
      double across = norm(add(sat, scale(sun, -along)));
      EXPECT_GE(line.shadow_height, 0);
      if (along < 0) {
        EXPECT_GT(across, norm(site) - 1.0);
        double cos_psi = along / norm(sat);
        double shadow_height = norm(sat) - norm(site) / std::sqrt(1 - cos_psi * cos_psi);
        EXPECT_NEAR(shadow_height, line.shadow_height, 12.0);
      } else {
        EXPECT_NEAR(norm(sat) - norm(site), line.shadow_height, 6.0);
      }

      // Phase angle at the satellite between the sun and the observer.
      double phase = std::acos(std::fmax(-1.0, std::fmin(1.0, -dot(sun, toward)))) / kDeg;
      EXPECT_NEAR(phase, line.phase, 1.5);

      // Magnitude from the standard magnitude of the identification line,
      // the range in units of 1000 km, the phase function and the air mass.
      ASSERT_FALSE(std::isnan(pass.standard_magnitude));
      double cb = std::cos(line.phase * kDeg);
      double f = (cb + 2.001 + cb * std::fabs(cb)) * 0.25;
      double expected = pass.standard_magnitude +
                        2.5 * std::log10((range_km / 1000.0) * (range_km / 1000.0) / f) +
                        0.3 / std::sin(alt) - 0.3;
      EXPECT_NEAR(line.magnitude, expected, 0.12);

      // Direction of motion toward the next point of the pass: the next line
      // is some 40 to 90 seconds on, so the track curves a little between.
      if (i + 1 < pass.lines.size() && line.alt_e < 75.0 && pass.lines[i + 1].alt_e < 75.0) {
        const PredictionLine& next = pass.lines[i + 1];
        double bearing = sky_bearing(alt, az, next.alt_e * kDeg, next.az_e * kDeg);
        EXPECT_LT(angle_difference_deg(bearing, line.direction), 8.0) << "bearing " << bearing;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sites, SkyConsistency, ::testing::Values(&northern_site, &southern_site),
                         [](const ::testing::TestParamInfo<SkyConsistency::ParamType>& info) {
                           return std::string(info.index == 0 ? "Northern" : "Southern");
                         });

}  // namespace
}  // namespace vespera::e2e
