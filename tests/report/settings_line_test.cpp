#include "report/settings_line.h"

#include <gtest/gtest.h>

#include <string>

namespace vespera {
namespace {

RunSettings site_and_limits(float latitude, float west_longitude, float height, const char* site,
                            int32_t equinox, float magnitude_limit, int32_t min_altitude) {
  RunSettings s;
  s.latitudeDeg = latitude;
  s.westLongitudeDeg = west_longitude;
  s.heightFeet = height;
  s.siteName = FixedText<24>(site);
  s.equinoxYear = equinox;
  s.magnitudeLimit = magnitude_limit;
  s.minAltitudeDeg = min_altitude;
  return s;
}

TEST(SettingsLine, ValuesAndFlagsInTheirColumns) {
  struct Row {
    RunSettings settings;
    std::string expected;
  };
  RunSettings example = site_and_limits(40.0f, 75.0f, 300.0f, "Backyard observatory", 2000, 4.5f, 10);
  example.walkPasses = true;
  example.distancesInMiles = true;
  // Values at the edges of their fields: a height too wide for F6.0 is
  // asterisks, an altitude of 100 fills I3 and touches the limit before it.
  RunSettings edges = site_and_limits(-33.8688f, -151.2093f, 123456.0f,
                                      "Sydney, Observatory Hill", 1950, -1.5f, 100);
  edges.radarFormat = true;
  edges.ignoreShadow = true;
  edges.walkPasses = true;
  edges.blankLineBeforePass = true;
  const Row rows[] = {
      {example, "  40.000  75.000  300.   Backyard observatory     2000  4.5 10 F F T T F\n"},
      {edges, " -33.869-151.209******   Sydney, Observatory Hill 1950 -1.5100 T T T F T\n"},
  };
  for (const Row& row : rows) {
    std::string out = "before\n";
    append_settings_line(out, row.settings);
    EXPECT_EQ(out, "before\n" + row.expected);
  }
}

}  // namespace
}  // namespace vespera
