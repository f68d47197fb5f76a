// Whole runs with --model sgp4: the ISS's pass of 2017 October 16 as an
// independent SGP4 (python3-sgp4, WGS-72, GMST IAU-82, the site on the
// WGS-84 ellipsoid) puts it, and a set that decays named once on the console
// however many nights it fails.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

const std::vector<std::string> kSgp4 = {"--model", "sgp4"};

// The example's site and night in UT, format E, magnitudes to 12 without a
// magnitude file: the setting of tools/check_sgp4_accuracy.py.
Section accuracy_section() {
  Section s;
  s.days = "16 16";
  s.zone = "0 UT 24";
  s.magnitude_limit = "12";
  s.format = std::string(1, 'E');  // (GCC 12 warns falsely of a literal of the same length)
  s.intrinsic = "no-such-magnitudes";
  return s;
}

const char kDecayingSet[] =
    "DECAYING\n"
    "1 99901U 98067Z   17288.50000000  .00500000  00000-0  10000-1 0  9990\n"
    "2 99901  51.6416 151.5519 0004813  31.8478  64.5059 16.00000000 80680\n";

TEST(Sgp4Runs, IssPassAsAnIndependentSgp4PlacesIt) {
  Workspace ws;
  ws.copy_data("end_to_end/visual-excerpt.tle");
  ws.write("run.ctl", accuracy_section().text());
  const RunResult result = ws.run("run.ctl", "report.txt", "", kSgp4);
  ASSERT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out.substr(0, 60), "Vespera 1.0 - satellite visibility predictions (SGP4 model)\n");
  // Time, azimuth, altitude and range of the pass's first, highest and last
  // points. At a moment within each printed second the independent SGP4
  // comes within 0.006 degrees of the listed direction (as for all 109
  // points of this run), and within a kilometre of the range.
  struct Point {
    int hour, minute, second;
    double azimuth, altitude;
    int range_km;
  };
  const Point expected[] = {
      {23, 20, 50, 285.44, 11.32, 1382},
      {23, 23, 30, 225.87, 28.93, 772},
      {23, 26, 9, 165.33, 11.43, 1371},
  };
  int matched = 0;
  for (const std::string& line : split_lines(result.report)) {
    for (const Point& p : expected) {
      char time[9];
      std::snprintf(time, sizeof time, "%2d%3d%3d", p.hour, p.minute, p.second);
      if (line.size() < 56 || line.compare(0, 8, time) != 0) continue;
      SCOPED_TRACE(line);
      EXPECT_NEAR(std::stod(line.substr(12, 7)), p.azimuth, 0.011);
      EXPECT_NEAR(std::stod(line.substr(19, 6)), p.altitude, 0.011);
      EXPECT_NEAR(std::stoi(line.substr(51, 5)), p.range_km, 1);
      ++matched;
    }
  }
  EXPECT_EQ(matched, 3) << result.report;
}

TEST(Sgp4Runs, ASetThatCannotBePropagatedIsNamedOncePerRun) {
  Workspace ws;
  ws.copy_data("end_to_end/visual-excerpt.tle");
  ws.write("decaying.tle", kDecayingSet);
  Section s = accuracy_section();
  s.days = "16 20";  // it decays on the morning of the 18th and fails every night after
  s.elements = {"decaying.tle", "visual-excerpt.tle"};
  ws.write("run.ctl", s.text());
  const RunResult result = ws.run("run.ctl", "report.txt", "", kSgp4);
  ASSERT_EQ(result.exit_status, 0);
  const std::string line = "SGP4 cannot propagate NCAT  99901: ";
  const std::size_t first = result.out.find(line);
  ASSERT_NE(first, std::string::npos) << result.out;
  EXPECT_EQ(result.out.find(line, first + 1), std::string::npos) << result.out;
  EXPECT_EQ(result.err, "");
  // The compact model never refuses it.
  const RunResult compact = ws.run("run.ctl");
  EXPECT_EQ(compact.out.find("SGP4"), std::string::npos);
}

}  // namespace
}  // namespace vespera::e2e
