// One run written in every report format. The engine's work does not depend
// on the format letter (except R, which ignores the shadow and takes whole UT
// days), so formats A, B, C, D and E must show the same points: the same
// times, the same angles in their own order and rounding, the same values in
// their own columns; the radar format R must find the points at which A first
// found each pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

// The excerpt over two nights, one blank line before each pass.
Section two_nights(const std::string& format) {
  Section s;
  s.blank_line = "T";
  s.format = format;
  return s;
}

Report run_format(const std::string& format_line, char letter, bool phase = false) {
  RunResult r = run_excerpt(two_nights(format_line));
  EXPECT_EQ(r.exit_status, 0) << r.out << r.err;
  Report report = parse_report(r.report, letter, phase);
  EXPECT_TRUE(report.unrecognised.empty()) << report.unrecognised.front();
  return report;
}

std::string first_line_of(const Report& report, const std::string& name_part) {
  for (const Pass& pass : report.passes) {
    if (pass.identification.find(name_part) != std::string::npos) return pass.lines.front().text;
  }
  return "(no pass of " + name_part + ")";
}

// The first ISS point of the evening of October 16 in every layout, written
// out by hand from the fields of the A line: local 19:20:53, timing error
// below 4 s, altitude 11.74, azimuth 285.21, not the first-found point,
// direction 304, magnitude 4.2, 0 days from the epoch, tenth 2, height 413 km,
// shadow height 410 km, range 1371 km, EW 0.5, phase 150, R A 14h 1m,
// declination 19.2; cross-section " 400", flag v.
TEST(ReportFormats, FirstIssPointInEveryLayout) {
  struct Row {
    std::string format_line;
    char letter;
    bool phase;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"A", 'A', false, "19 20 53     12 285   304  4.2   0 2  413 410 1371 0.5 150 14 1  19.2"},
      {"D", 'D', false, "19 20 53     285 12   304  4.2   0 2  413 410 1371 0.5 150 14 1  19.2"},
      {"E", 'E', false, "19 20 53     285.21 11.74   304  4.2   0 2  413 410 1371 0.5 150 14 1  19.2"},
      {"B", 'B', false, "19 20 53     285 12  304  4.2   0 2  413 410 1371 14 1 19.2 400 vISS (ZARYA)   "},
      {"C", 'C', false, "19 20 53     12 285  304  4.2   0 2  413 410 1371 14 1 19.2 400 vISS (ZARYA)   "},
      {"B P", 'B', true, "19 20 53     285 12  304  4.2   0 2  413 410 150 14 1 19.2 400 vISS (ZARYA)   "},
      {"A R   A", 'A', false, "19 20 53     12 105   304  4.2   0 2  413 410 1371 0.5 150 14 1  19.2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format_line);
    Report report = run_format(row.format_line, row.letter, row.phase);
    EXPECT_EQ(first_line_of(report, "ISS (ZARYA)"), row.expected);
  }
}

TEST(ReportFormats, ColumnHeadersAndTheirEmptyLines) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"A", " H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
      {"B", " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name"},
      {"B P", " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd Phs  R A  Dec RCS  Name"},
      {"C", " H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name"},
      {"D", " H  M  S Tim Azi El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
      {"E", " H  M  S Tim    Azi    El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
  };
  for (const auto& [format_line, header] : rows) {
    SCOPED_TRACE(format_line);
    RunResult r = run_excerpt(two_nights(format_line));
    std::vector<std::string> lines = split_lines(r.report);
    // Settings line, then per day: empty, day header, empty, column header.
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2].substr(0, 5), "***  ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], header);
    std::size_t headers = 0, column_headers = 0;
    for (const std::string& line : lines) {
      headers += line.rfind("***  ", 0) == 0;
      column_headers += line == header;
    }
    EXPECT_EQ(headers, column_headers);
    EXPECT_EQ(headers, 4u);  // evening and morning of two nights
  }
}

// Formats A, D and E: the same lines with the angle columns in their order
// and rounding; identical identification lines and day headers.
TEST(ReportFormats, LongLayoutsShowTheSamePoints) {
  Report a = run_format("A", 'A'), d = run_format("D", 'D'), e = run_format("E", 'E');
  std::vector<PredictionLine> la = a.all_lines(), ld = d.all_lines(), le = e.all_lines();
  ASSERT_GE(la.size(), 30u);
  ASSERT_EQ(la.size(), ld.size());
  ASSERT_EQ(la.size(), le.size());
  ASSERT_EQ(a.passes.size(), e.passes.size());
  for (std::size_t i = 0; i < a.passes.size(); ++i) {
    EXPECT_EQ(a.passes[i].identification, d.passes[i].identification);
    EXPECT_EQ(a.passes[i].identification, e.passes[i].identification);
  }
  for (std::size_t i = 0; i < a.headers.size(); ++i) EXPECT_EQ(a.headers[i].text, e.headers[i].text);
  for (std::size_t i = 0; i < la.size(); ++i) {
    SCOPED_TRACE(la[i].text + "\n" + le[i].text);
    EXPECT_EQ(la[i].text.substr(0, 12), le[i].text.substr(0, 12));   // time and Tim
    EXPECT_EQ(la[i].text.substr(19), le[i].text.substr(25));         // C to the end
    EXPECT_EQ(la[i].text.substr(19), ld[i].text.substr(19));
    EXPECT_EQ(la[i].alt, ld[i].alt);
    EXPECT_EQ(la[i].az, ld[i].az);
    // A rounds the unrounded E angles to whole degrees (an azimuth of 360 is 0).
    // (E itself is rounded to hundredths, so allow that much past the half.)
    EXPECT_LE(std::fabs(le[i].alt_e - la[i].alt), 0.505);
    double daz = std::fmod(le[i].az_e - la[i].az + 540.0, 360.0) - 180.0;
    EXPECT_LE(std::fabs(daz), 0.505);
    EXPECT_GT(le[i].alt_e, 10.0);  // above the minimum altitude
  }
}

// Formats B and C against A: the same values in their columns, the name and
// cross-section on the first line of each pass, the comment line after it.
TEST(ReportFormats, ShortLayoutsCarryTheSameValues) {
  Report a = run_format("A", 'A'), b = run_format("B", 'B'), c = run_format("C", 'C'),
         p = run_format("C P", 'C', true);
  std::vector<PredictionLine> la = a.all_lines(), lb = b.all_lines(), lc = c.all_lines(), lp = p.all_lines();
  ASSERT_EQ(la.size(), lb.size());
  ASSERT_EQ(la.size(), lc.size());
  ASSERT_EQ(la.size(), lp.size());
  for (std::size_t i = 0; i < la.size(); ++i) {
    SCOPED_TRACE(la[i].text + "\n" + lb[i].text);
    for (const PredictionLine* x : {&lb[i], &lc[i], &lp[i]}) {
      EXPECT_EQ(la[i].text.substr(0, 12), x->text.substr(0, 12));
      EXPECT_EQ(la[i].alt, x->alt);
      EXPECT_EQ(la[i].az, x->az);
      EXPECT_EQ(la[i].c_mark, x->c_mark);
      EXPECT_EQ(la[i].direction, x->direction);
      EXPECT_EQ(la[i].magnitude, x->magnitude);
      EXPECT_EQ(la[i].age_days, x->age_days);
      EXPECT_EQ(la[i].tenths, x->tenths);
      EXPECT_EQ(la[i].height, x->height);
      EXPECT_EQ(la[i].shadow_height, x->shadow_height);
      EXPECT_EQ(la[i].ra_hours, x->ra_hours);
      EXPECT_EQ(la[i].ra_minutes, x->ra_minutes);
      EXPECT_NEAR(la[i].dec, x->dec, 1e-9);
    }
    EXPECT_EQ(la[i].range, lb[i].range);
    EXPECT_EQ(la[i].range, lc[i].range);
    EXPECT_EQ(la[i].phase, lp[i].range);  // P puts the phase angle in the distance field
  }
  // The first line of each pass ends with cross-section, flag and name as
  // A's identification line gives them; a comment line follows it.
  ASSERT_EQ(a.passes.size(), b.passes.size());
  for (std::size_t i = 0; i < a.passes.size(); ++i) {
    const std::string& id = a.passes[i].identification;  // level 7: ncat, name, sizes, RCS, flag, mag, comment
    std::string expected_tail = id.substr(32, 4) + " " + id.substr(37, 1) + id.substr(6, 14);
    EXPECT_EQ(b.passes[i].identification, expected_tail) << id;
    EXPECT_EQ(c.passes[i].identification, expected_tail) << id;
    EXPECT_EQ(p.passes[i].identification, expected_tail) << id;
  }
  RunResult r = run_excerpt(two_nights("B"));
  std::vector<std::string> lines = split_lines(r.report);
  std::size_t comments = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].rfind("        rule: ", 0) == 0) {
      ++comments;
      EXPECT_GT(lines[i - 1].size(), 59u) << "a comment follows the first line of a pass";
    }
  }
  EXPECT_EQ(comments, b.passes.size());
  // The N letter in column 5 leaves the comment lines out.
  r = run_excerpt(two_nights("B   N"));
  EXPECT_EQ(r.report.find("        rule: "), std::string::npos);
}

// The radar format takes whole UT days in absolute mode and ignores the
// shadow; every point at which A first found a pass is found by R at the
// same time, place, age, height and range.
TEST(ReportFormats, RadarFindsEveryFirstFoundPoint) {
  Report a = run_format("A", 'A');
  Section radar = two_nights("R");
  radar.days = "16 18";
  radar.window = "0 24";
  RunResult r = run_excerpt(radar);
  ASSERT_EQ(r.exit_status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  Report rr = parse_report(r.report, 'R');
  EXPECT_TRUE(rr.unrecognised.empty()) << rr.unrecognised.front();
  EXPECT_EQ(rr.settings.substr(62), " T T T F T");  // radar and ignore-shadow shown as T
  EXPECT_EQ(rr.column_headers.front(), " H  M  S Tim Al Azi C Dys F  Hgt  Rng");
  std::map<std::string, PredictionLine> radar_c;
  for (const PredictionLine& line : rr.all_lines()) {
    if (line.c_mark) radar_c[line.text.substr(0, 8) + std::to_string(line.ncat)] = line;
  }
  std::size_t matched = 0;
  for (const PredictionLine& line : a.all_lines()) {
    if (!line.c_mark) continue;
    auto it = radar_c.find(line.text.substr(0, 8) + std::to_string(line.ncat));
    ASSERT_NE(it, radar_c.end()) << line.text;
    EXPECT_EQ(it->second.alt, line.alt);
    EXPECT_EQ(it->second.az, line.az);
    EXPECT_EQ(it->second.age_days, line.age_days);
    EXPECT_EQ(it->second.tenths, line.tenths);
    EXPECT_EQ(it->second.height, line.height);
    EXPECT_EQ(it->second.range, line.range);
    ++matched;
  }
  EXPECT_GE(matched, 10u);
  // With the shadow ignored R lists more than the sunlit points.
  EXPECT_GT(rr.all_lines().size(), a.all_lines().size());
}

}  // namespace
}  // namespace vespera::e2e
