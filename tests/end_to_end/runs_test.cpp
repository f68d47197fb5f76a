// Whole runs compared with one another where the rules of the pass walk, the
// filters, the element store and the report writer say how their reports
// must relate: walk off against walk on, a step maximum, sky-region and range
// limits, kilometres against miles, combined sections, streaming against
// memory mode with a duplicated satellite, other clocks and zones; and the
// example's report as a regression guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

RunResult run_in(Workspace& ws, const Section& section) {
  ws.write("run.ctl", section.text());
  return ws.run("run.ctl", section.output);
}

Report report_of(const Section& section, char letter = 'A') {
  RunResult r = run_excerpt(section);
  EXPECT_EQ(r.exit_status, 0) << r.out << r.err;
  Report report = parse_report(r.report, letter);
  EXPECT_TRUE(report.unrecognised.empty()) << report.unrecognised.front();
  return report;
}

std::multiset<std::string> line_set(const Report& report) {
  std::vector<std::string> texts = report.line_texts();
  return {texts.begin(), texts.end()};
}

bool contains(const std::multiset<std::string>& set, const std::string& line) { return set.count(line) > 0; }

int seconds_of(const PredictionLine& line) { return line.hour * 3600 + line.minute * 60 + line.second; }

// ---------------------------------------------------------------------------
// The pass walk.

// Without the walk a candidate revolution yields at most its first accepted
// point: the point u* itself (marked C, the same line as in the walked run),
// or, when u* is in shadow but not deep in it, the first sunlit point that the
// half-step search meets. That search runs the same half steps as the walked
// run's first direction, so the point is one of the walked pass's lines: its
// last one when the search went back toward the sunlit part (evening), its
// first when it turned forward (morning).
TEST(Runs, WalkOffGivesTheFirstAcceptedPointOfEachWalkedPass) {
  Section on;
  on.days = "16 18";
  Section off = on;
  off.walk = "F";
  Report walked = report_of(on), single = report_of(off);
  std::multiset<std::string> walked_lines = line_set(walked);
  std::size_t c_lines = 0, shadow_starts = 0;
  for (const Pass& pass : single.passes) {
    EXPECT_EQ(pass.lines.size(), 1u) << pass.identification;
  }
  for (const PredictionLine& line : single.all_lines()) {
    EXPECT_TRUE(contains(walked_lines, line.text)) << line.text;
  }
  std::multiset<std::string> single_lines = line_set(single);
  for (const Pass& pass : walked.passes) {
    SCOPED_TRACE(pass.identification);
    std::size_t c = c_index(pass);
    std::size_t found = 0;
    for (const PredictionLine& line : pass.lines) found += single_lines.count(line.text);
    if (c < pass.lines.size()) {
      EXPECT_EQ(c_count(pass), 1u);
      EXPECT_TRUE(contains(single_lines, pass.lines[c].text)) << pass.lines[c].text;
      EXPECT_EQ(found, 1u);
      ++c_lines;
    } else {
      EXPECT_LE(found, 1u);
      if (found == 1) {
        bool at_an_end = contains(single_lines, pass.lines.front().text) ||
                         contains(single_lines, pass.lines.back().text);
        EXPECT_TRUE(at_an_end);
        ++shadow_starts;
      }
    }
  }
  EXPECT_GE(c_lines, 20u);
  EXPECT_GE(shadow_starts, 1u);  // the data holds passes found in shadow
  EXPECT_EQ(single.all_lines().size(), c_lines + shadow_starts);
}

// A step maximum of 2 keeps, of every pass found at a sunlit u*, the points
// at most two steps before and after it; the steps are equal in u and so
// nearly equal in time on these near-circular orbits.
TEST(Runs, StepMaximumKeepsTwoStepsEachSideOfTheFirstPoint) {
  Section full;
  full.days = "16 18";
  Section limited = full;
  limited.walk = "T 2";
  Report all = report_of(full), two = report_of(limited);
  std::multiset<std::string> all_lines = line_set(all), two_lines = line_set(two);
  for (const std::string& line : two_lines) EXPECT_TRUE(contains(all_lines, line)) << line;
  std::size_t checked = 0;
  for (const Pass& pass : all.passes) {
    std::size_t ci = c_index(pass);
    if (ci == pass.lines.size() || pass.lines.size() < 2) continue;
    const PredictionLine* c = &pass.lines[ci];
    int step = 1 << 30;
    for (std::size_t i = 1; i < pass.lines.size(); ++i) {
      step = std::min(step, seconds_of(pass.lines[i]) - seconds_of(pass.lines[i - 1]));
    }
    for (const PredictionLine& line : pass.lines) {
      double steps = std::fabs(seconds_of(line) - seconds_of(*c)) / static_cast<double>(step);
      SCOPED_TRACE(line.text + " steps from C: " + std::to_string(steps));
      EXPECT_TRUE(steps < 2.5 || steps > 2.7);
      EXPECT_EQ(contains(two_lines, line.text), steps < 2.5);
    }
    ++checked;
  }
  EXPECT_GE(checked, 15u);
}

// ---------------------------------------------------------------------------
// Filters. With the shadow ignored and no magnitude limit, every point of a
// walked pass is accepted until the horizon, the minimum altitude or the
// window ends it: each pass is an unbroken run of equal steps about its C
// point. A filter that rejects a point ends the walk in that direction; one
// that skips it (altitude above the maximum, azimuth, right ascension and
// declination windows) leaves it out and walks on. The limited run is
// therefore the unlimited one with these rules applied, line for line.

Section open_sky() {
  Section s;
  s.days = "16 18";
  s.ignore_shadow = "T";
  s.magnitude_limit = "99";
  s.format = "E";
  return s;
}

// Lines of the unlimited report kept by a run whose filters reject the
// points for which `rejected` holds and skip those for which `skipped` holds.
std::multiset<std::string> expected_under(const Report& unlimited,
                                          const std::function<bool(const PredictionLine&)>& rejected,
                                          const std::function<bool(const PredictionLine&)>& skipped) {
  std::multiset<std::string> kept;
  for (const Pass& pass : unlimited.passes) {
    std::size_t ci = c_index(pass);
    EXPECT_LT(ci, pass.lines.size()) << "with the shadow ignored every pass is found at its u*";
    if (ci == pass.lines.size() || rejected(pass.lines[ci])) continue;
    std::size_t first = ci, last = ci;
    while (first > 0 && !rejected(pass.lines[first - 1])) --first;
    while (last + 1 < pass.lines.size() && !rejected(pass.lines[last + 1])) ++last;
    for (std::size_t i = first; i <= last; ++i) {
      if (!skipped(pass.lines[i])) kept.insert(pass.lines[i].text);
    }
  }
  return kept;
}

void expect_lines(const Report& limited, const std::multiset<std::string>& expected) {
  std::multiset<std::string> actual = line_set(limited);
  for (const std::string& line : expected) EXPECT_TRUE(contains(actual, line)) << "missing: " << line;
  for (const std::string& line : actual) EXPECT_TRUE(contains(expected, line)) << "unexpected: " << line;
  EXPECT_GT(actual.size(), 0u);
}

// True when an angle printed to hundredths lies within 0.006 degrees of a
// limit, where rounding leaves open which side it is on.
bool near_limit(double value, double limit) { return std::fabs(value - limit) < 0.006; }

TEST(Runs, OpenSkyPassesAreUnbrokenRunsAboutTheirFirstPoint) {
  Report unlimited = report_of(open_sky(), 'E');
  ASSERT_GE(unlimited.passes.size(), 30u);
  for (const Pass& pass : unlimited.passes) {
    EXPECT_EQ(c_count(pass), 1u) << pass.identification;
    // The first and last points are the last above 10 degrees.
    for (const PredictionLine& line : pass.lines) EXPECT_GT(line.alt_e, 10.0) << line.text;
  }
}

TEST(Runs, AltitudeAndAzimuthLimitsRejectBelowAndSkipOutside) {
  Report unlimited = report_of(open_sky(), 'E');
  struct Row {
    std::string limits;
    double alt_min, alt_max, az_min, az_max;
  };
  // Southern half of the sky; a window through north; a band of altitude with
  // equal azimuth limits (which let every azimuth through).
  for (const Row& row : std::vector<Row>{{"0 90 90 270", 0, 90, 90, 270},
                                         {"0 90 300 60", 0, 90, 300, 60},
                                         {"30 45 0 0", 30, 45, 0, 0}}) {
    SCOPED_TRACE(row.limits);
    Section s = open_sky();
    s.selection = "AA";
    s.sky_limits = row.limits;
    Report limited = report_of(s, 'E');
    for (const PredictionLine& line : unlimited.all_lines()) {
      ASSERT_FALSE(near_limit(line.alt_e, row.alt_min) || near_limit(line.alt_e, row.alt_max) ||
                   near_limit(line.az_e, row.az_min) || near_limit(line.az_e, row.az_max))
          << "a point on a limit: choose others " << line.text;
    }
    auto rejected = [&](const PredictionLine& l) { return l.alt_e < row.alt_min; };
    auto skipped = [&](const PredictionLine& l) {
      bool az_in = row.az_min < row.az_max ? (l.az_e >= row.az_min && l.az_e <= row.az_max)
                                           : (l.az_e >= row.az_min || l.az_e <= row.az_max);
      return l.alt_e > row.alt_max || !az_in;
    };
    expect_lines(limited, expected_under(unlimited, rejected, skipped));
  }
}

// The right ascension and declination windows test the place of the date;
// the report prints it referred to 2000, some 0.25 degrees away in 2017, so
// points within 0.4 degrees of a limit are left out of the comparison.
TEST(Runs, RightAscensionAndDeclinationLimitsSkipOutside) {
  Report unlimited = report_of(open_sky(), 'E');
  Section s = open_sky();
  s.selection = "RD";
  s.sky_limits = "18 0 6 0 0 90";  // 18h to 6h through 0h, northern declinations
  Report limited = report_of(s, 'E');
  std::multiset<std::string> actual = line_set(limited);
  std::size_t in = 0, out = 0;
  for (const PredictionLine& line : unlimited.all_lines()) {
    double ra_deg = (line.ra_hours + line.ra_minutes / 60.0) * 15.0;
    double ra_margin = std::min(std::fabs(ra_deg - 270.0), std::fabs(ra_deg - 90.0));
    if (ra_margin < 0.4 || std::fabs(line.dec) < 0.4) continue;
    bool inside = (ra_deg > 270.0 || ra_deg < 90.0) && line.dec > 0.0;
    EXPECT_EQ(contains(actual, line.text), inside) << line.text;
    (inside ? in : out) += 1;
  }
  EXPECT_GE(in, 20u);
  EXPECT_GE(out, 20u);
  std::multiset<std::string> all = line_set(unlimited);
  for (const std::string& line : actual) EXPECT_TRUE(contains(all, line)) << line;
}

// A range limit of 1000 km rejects farther points and so cuts each pass to
// the unbroken run of points nearer than that about its C point.
TEST(Runs, RangeLimitCutsPassesAtTheLimit) {
  Report unlimited = report_of(open_sky(), 'E');
  Section s = open_sky();
  s.format = "E       RL";
  s.range_limit = "1000";
  Report limited = report_of(s, 'E');
  for (const PredictionLine& line : unlimited.all_lines()) ASSERT_NE(line.range, 1000) << line.text;
  expect_lines(limited, expected_under(unlimited, [](const PredictionLine& l) { return l.range >= 1000; },
                                       [](const PredictionLine&) { return false; }));
}

// The same limit given in miles (1000 km as the program converts it) makes
// the engine do the same work: the same points, with heights and ranges in
// miles that convert to the kilometres of the other run.
TEST(Runs, RangeLimitInMilesMatchesKilometres) {
  Section km;
  km.days = "16 18";
  km.format = "A       RL";
  km.range_limit = "1000";
  Section miles = km;
  miles.miles = "T";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<float>(1000.0 / static_cast<double>(1.609345f)));
  miles.range_limit = text;
  Report in_km = report_of(km), in_miles = report_of(miles);
  std::vector<PredictionLine> a = in_km.all_lines(), b = in_miles.all_lines();
  ASSERT_GE(a.size(), 20u);
  ASSERT_EQ(a.size(), b.size());
  auto consistent = [](int km_value, int mile_value) {
    // Both truncate the same distance d in miles: mile_value <= d < mile_value + 1.
    return km_value >= std::floor(mile_value * 1.609345) - 1e-9 && km_value < (mile_value + 1) * 1.609345;
  };
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].text + "\n" + b[i].text);
    EXPECT_EQ(a[i].text.substr(0, 36), b[i].text.substr(0, 36));  // time to tenth
    EXPECT_EQ(a[i].text.substr(50), b[i].text.substr(50));        // EW to declination
    EXPECT_TRUE(consistent(a[i].height, b[i].height));
    EXPECT_TRUE(consistent(a[i].shadow_height, b[i].shadow_height));
    EXPECT_TRUE(consistent(a[i].range, b[i].range));
    EXPECT_LT(a[i].range, 1000);
  }
  EXPECT_EQ(in_miles.settings.substr(62), " F F T T F");  // distances in miles shown as T
}

// ---------------------------------------------------------------------------
// Element sets.

// 19650 stands twice in the visual list, the older set first. Memory and
// streaming mode must give the same report: with duplicates dropped memory
// mode keeps the newer set in the older one's slot, and streaming mode
// withdraws the older set's predictions when the newer one follows it. Kept,
// both sets predict the same passes: every extra line is 19650's, a day older.
TEST(Runs, StreamingAndMemoryModeAgreeOnADuplicatedSatellite) {
  std::map<std::string, RunResult> runs;
  for (const char* memory : {"T", "F"}) {
    for (const char* drop : {"T", "F"}) {
      Section s;
      s.days = "16 18";
      s.magnitude_limit = "12";
      s.memory = memory;
      s.drop_duplicates = drop;
      runs[std::string(memory) + drop] = run_excerpt(s);
      EXPECT_EQ(runs[std::string(memory) + drop].exit_status, 0);
    }
  }
  EXPECT_EQ(runs["TT"].report, runs["FT"].report);
  EXPECT_EQ(runs["TF"].report, runs["FF"].report);
  Report dropped = parse_report(runs["TT"].report, 'A'), kept = parse_report(runs["TF"].report, 'A');
  std::multiset<std::string> dropped_lines = line_set(dropped);
  std::vector<PredictionLine> newer_19650;
  for (const PredictionLine& line : dropped.all_lines()) {
    if (line.ncat == 19650) newer_19650.push_back(line);
  }
  ASSERT_GE(newer_19650.size(), 5u);
  std::size_t extra = 0;
  for (const PredictionLine& line : kept.all_lines()) {
    if (dropped_lines.count(line.text) > 0) {
      dropped_lines.erase(dropped_lines.find(line.text));
      continue;
    }
    SCOPED_TRACE(line.text);
    EXPECT_EQ(line.ncat, 19650);
    bool twin = std::any_of(newer_19650.begin(), newer_19650.end(), [&](const PredictionLine& n) {
      return std::abs(seconds_of(n) - seconds_of(line)) <= 2 && std::abs(n.alt - line.alt) <= 1 &&
             n.age_days + 1 == line.age_days;
    });
    EXPECT_TRUE(twin);
    ++extra;
  }
  EXPECT_TRUE(dropped_lines.empty());
  EXPECT_EQ(extra, newer_19650.size());
}

// Two sections for the same nights, the first ending with "combine": the
// first night lists both runs' predictions together, exactly as one run over
// both files would (the first run's sets come first in the table either way);
// the second night is the second run's alone. The settings line is the
// first section's.
TEST(Runs, CombinedSectionsMergeTheirFirstNight) {
  Workspace ws;
  ws.copy_data("end_to_end/visual-excerpt.mag");
  std::vector<std::string> rows = split_lines(read_file(std::string(VESPERA_TEST_DATA) + "/end_to_end/visual-excerpt.tle"));
  ASSERT_EQ(rows.size(), 39u);
  std::string first, second;
  for (std::size_t i = 0; i < rows.size(); ++i) (i < 15 ? first : second) += rows[i] + "\n";
  ws.write("first.tle", first);
  ws.write("second.tle", second);

  Section one;
  one.days = "16 17";
  one.magnitude_limit = "5.5";
  one.elements = {"first.tle"};
  one.list_end = "combine";
  Section two = one;
  two.site = "40.0 75.0 300 Second section";
  two.elements = {"second.tle"};
  two.list_end = "end";
  ws.write("combined.ctl", one.text() + two.text());
  RunResult combined = ws.run("combined.ctl");
  ASSERT_EQ(combined.exit_status, 0) << combined.out;

  Section both = one;
  both.days = "16 16";
  both.elements = {"first.tle", "second.tle"};
  both.list_end = "end";
  RunResult together = run_in(ws, both);
  Section later = two;
  later.days = "17 17";
  RunResult second_night = run_in(ws, later);

  // The combined report is the one-run first night followed by the second
  // run's second night.
  std::vector<std::string> c = split_lines(combined.report), t = split_lines(together.report),
                           s = split_lines(second_night.report);
  ASSERT_GT(t.size(), 6u);
  ASSERT_GT(s.size(), 6u);
  std::vector<std::string> expected(t.begin(), t.end());
  expected.insert(expected.end(), s.begin() + 1, s.end());
  EXPECT_EQ(c, expected);
  EXPECT_NE(c[0].find("Backyard observatory"), std::string::npos);

  Report merged = parse_report(combined.report, 'A');
  std::set<int> first_night_ncats;
  for (const Pass& pass : merged.passes) {
    const DayHeader& header = merged.headers[pass.lines.front().header];
    if (header.day == 16 || (header.day == 17 && !header.evening)) first_night_ncats.insert(pass.ncat);
  }
  EXPECT_TRUE(first_night_ncats.count(877) && first_night_ncats.count(25544))  // one from each file
      << "the first night holds satellites of both runs";
  char summary[96];
  std::snprintf(summary, sizeof summary, "%5zu predictions written to file %-40s\n", merged.all_lines().size(),
                "report.txt");
  EXPECT_NE(combined.out.find(summary), std::string::npos) << combined.out;
}

// ---------------------------------------------------------------------------
// Clocks and zones: the same run in UT on the 24-hour clock and in EDT
// (UT - 4) on the 12-hour clock lists the same points in the same order; the
// hours differ by the zone and the clock, the day headers follow the local
// date and half of the day, and the window times in the headers stay on the
// 24-hour clock.
TEST(Runs, TwelveHourClockWithAZoneOffset) {
  Section ut;
  ut.days = "16 17";
  ut.zone = "0 ut 24";  // the label is upper-cased
  Section edt = ut;
  edt.zone = "-4 EDT 12";
  Section cest = ut;
  cest.zone = "2 CEST 12";
  Report in_ut = report_of(ut), in_edt = report_of(edt), in_cest = report_of(cest);
  std::vector<PredictionLine> u = in_ut.all_lines();
  ASSERT_GE(u.size(), 20u);
  for (const auto& [offset, local] : std::vector<std::pair<int, const Report*>>{{-4, &in_edt}, {2, &in_cest}}) {
    SCOPED_TRACE(offset);
    std::vector<PredictionLine> l = local->all_lines();
    ASSERT_EQ(l.size(), u.size());
    for (std::size_t i = 0; i < u.size(); ++i) {
      SCOPED_TRACE(u[i].text + "\n" + l[i].text);
      int hour24 = (u[i].hour + offset + 24) % 24;
      int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
      EXPECT_EQ(l[i].hour, hour12);
      EXPECT_EQ(l[i].text.substr(2), u[i].text.substr(2));
      // The header above a line that starts a pass names its local date and half.
      const DayHeader& header = local->headers[l[i].header];
      const DayHeader& ut_header = in_ut.headers[u[i].header];
      bool starts_pass = false;
      for (const Pass& pass : local->passes) starts_pass |= pass.lines.front().text == l[i].text;
      if (starts_pass) {
        EXPECT_EQ(header.evening, hour24 >= 12);
        int ut_day = ut_header.day + (ut_header.evening && u[i].hour < 12 ? 1 : 0);
        int local_day = ut_day + (u[i].hour + offset < 0 ? -1 : 0) + (u[i].hour + offset >= 24 ? 1 : 0);
        EXPECT_EQ(header.day, local_day);
      }
    }
    for (const DayHeader& header : local->headers) {
      EXPECT_EQ(header.zone, offset < 0 ? "EDT " : "CEST");
      EXPECT_EQ(header.text.substr(22, 27), header.evening ? " evening  *** Times are PM " : " morning  *** Times are AM ");
    }
  }
  // The first night's window in all three: the same minutes, hours shifted.
  const DayHeader &hu = in_ut.headers.front(), &he = in_edt.headers.front(), &hc = in_cest.headers.front();
  EXPECT_EQ(hu.zone, "UT  ");
  EXPECT_EQ(he.h1, (hu.h1 - 4 + 24) % 24);
  EXPECT_EQ(he.h2, (hu.h2 - 4 + 24) % 24);
  EXPECT_EQ(hc.h1, (hu.h1 + 2) % 24);
  EXPECT_EQ(hc.h2, (hu.h2 + 2) % 24);
  EXPECT_EQ(he.m1, hu.m1);
  EXPECT_EQ(hc.m2, hu.m2);
  EXPECT_EQ(he.text.substr(0, 22), "***  2017 Oct  16  Mon");
  EXPECT_GE(he.h1, 19);  // evening twilight after 7 PM in October at 40 N
}

// ---------------------------------------------------------------------------
// The example of the repository, as a regression guard: the report of
// examples/vespera.ctl as checked by the sky test and the SGP4 comparison
// of tools/check_passes.py.
TEST(Runs, ExampleReportIsUnchanged) {
  Workspace ws;
  for (const char* name : {"vespera.ctl", "visual.mag", "visual-2017-10-16.tle"}) {
    ws.copy_file(std::string(VESPERA_SOURCE_DIR) + "/examples/" + name);
  }
  RunResult r = ws.run("vespera.ctl");
  EXPECT_EQ(r.exit_status, 0);
  const std::string summary = "   79 predictions written to file report.txt                              \n";
  ASSERT_GE(r.out.size(), summary.size());
  EXPECT_EQ(r.out.substr(r.out.size() - summary.size()), summary);  // after the banner, no message
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.report, read_file(std::string(VESPERA_TEST_DATA) + "/end_to_end/example-report.txt"));
}

}  // namespace
}  // namespace vespera::e2e
