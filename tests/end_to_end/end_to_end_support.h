// Helpers of the whole-program tests: a temporary working directory in which
// the vespera program runs on a control file written by the test, a builder
// of control-file sections, and the report taken apart into day headers,
// passes and prediction lines by the program's own report reader.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "report/report_reader.h"
#include "support/temp_files.h"

namespace vespera::e2e {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> rows;
  std::string row;
  std::istringstream stream(text);
  while (std::getline(stream, row)) rows.push_back(row);
  return rows;
}

// What one run of the program left behind.
struct RunResult {
  int exit_status = -1;
  std::string out;     // standard output
  std::string err;     // standard error
  std::string report;  // the report file, empty when none was written
};

// A fresh temporary directory with a short path, removed with its contents
// afterwards. The program runs with it as its working directory.
class Workspace {
 public:
  std::filesystem::path path() const { return dir_.dir(); }

  // Copies a file of the test data directory (a path relative to it) into
  // the workspace under its own file name.
  void copy_data(const std::string& relative) const {
    std::filesystem::path source = std::filesystem::path(VESPERA_TEST_DATA) / relative;
    copy_file(source);
  }
  void copy_file(const std::filesystem::path& source) const {
    std::filesystem::copy_file(source, path() / source.filename(),
                               std::filesystem::copy_options::overwrite_existing);
  }
  void write(const std::string& name, const std::string& text) const { dir_.write(name, text); }
  std::string read(const std::string& name) const { return read_file(path() / name); }

  // Runs the program with the control file's name as its argument (after
  // `options`) and the given console input; collects its output and the
  // named report file.
  RunResult run(const std::string& control_name, const std::string& report_name = "report.txt",
                const std::string& input = "", const std::vector<std::string>& options = {}) const {
    write("console-in.txt", input);
    std::filesystem::remove(path() / report_name);
    pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.dir().c_str()) != 0) _exit(126);
      if (!std::freopen("console-in.txt", "r", stdin) || !std::freopen("console-out.txt", "w", stdout) ||
          !std::freopen("console-err.txt", "w", stderr)) {
        _exit(126);
      }
      std::vector<char*> argv{const_cast<char*>(VESPERA_BINARY)};
      for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
      argv.push_back(const_cast<char*>(control_name.c_str()));
      argv.push_back(nullptr);
      execv(VESPERA_BINARY, argv.data());
      _exit(127);
    }
    RunResult result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
      result.exit_status = WEXITSTATUS(status);
    }
    result.out = read("console-out.txt");
    result.err = read("console-err.txt");
    result.report = read(report_name);
    return result;
  }

 private:
  test::TempDir dir_;
};

// One section of a control file, line by line; the defaults are the
// example's: the nights of 2017 October 16 and 17 at 40 N 75 W, EDT on a
// 24-hour clock, magnitudes to 4.5 above 10 degrees, walked passes in
// kilometres, format A, the excerpt of the visual list and its catalogue.
struct Section {
  std::string date = "2017 10";
  std::string days = "16 17";
  std::string window = "0 0";
  std::string site = "40.0 75.0 300 Backyard observatory";
  std::string zone = "-4 EDT 24";
  std::string equinox = "2000";
  std::string magnitude_limit = "4.5";
  std::string min_altitude = "10";
  std::string step_scale = "1.0";
  std::string memory = "T";
  std::string drop_duplicates = "T";
  std::string ignore_shadow = "F";
  std::string walk = "T 99";
  std::string miles = "F";
  std::string blank_line = "F";
  std::string selection = "";
  std::optional<std::string> sky_limits;  // line 16a after AA or RD
  std::string format = "A";
  std::optional<std::string> range_limit;  // line 17a after RL
  std::string intrinsic = "visual-excerpt.mag";
  std::string override_file = "none";
  std::string output = "report.txt";
  std::vector<std::string> elements = {"visual-excerpt.tle"};
  std::string list_end = "end";

  std::string text() const {
    std::string t;
    auto line = [&t](const std::string& row) { t += row + "\n"; };
    line(date);
    if (date.rfind("tonight", 0) != 0) line(days);
    for (const std::string* row : {&window, &site, &zone, &equinox, &magnitude_limit, &min_altitude,
                                   &step_scale, &memory, &drop_duplicates, &ignore_shadow, &walk, &miles,
                                   &blank_line, &selection}) {
      line(*row);
    }
    if (sky_limits) line(*sky_limits);
    line(format);
    if (range_limit) line(*range_limit);
    line(intrinsic);
    line(override_file);
    line(output);
    for (const std::string& name : elements) line(name);
    line(list_end);
    return t;
  }
};

// Runs the program on one section over the excerpt of the visual list and
// its catalogue, in a workspace of its own; the report is read from the
// section's output file.
inline RunResult run_excerpt(const Section& section) {
  Workspace ws;
  ws.copy_data("end_to_end/visual-excerpt.tle");
  ws.copy_data("end_to_end/visual-excerpt.mag");
  ws.write("run.ctl", section.text());
  return ws.run("run.ctl", section.output);
}

// ---------------------------------------------------------------------------
// Reading a report back.

struct DayHeader {
  std::string text;
  int year = 0;
  std::string month;  // 4 characters
  int day = 0;
  std::string weekday;
  bool evening = false;
  std::string zone;  // 4 characters
  int h1 = 0, m1 = 0, h2 = 0, m2 = 0;
};

struct PredictionLine {
  std::string text;
  int ncat = 0;
  std::size_t header = 0;  // index of the day header above the line
  int hour = 0, minute = 0, second = 0;
  std::string tim;      // the Tim column as printed
  int alt = 0, az = 0;  // whole degrees (every format but E)
  double az_e = NAN, alt_e = NAN;  // format E angles
  bool c_mark = false;
  int direction = 0;
  double magnitude = NAN;
  int age_days = 0, tenths = 0, height = 0, shadow_height = 0;
  int range = 0;  // range, or the phase angle in formats B and C with P
  double ew = NAN;
  int phase = 0;
  int ra_hours = 0, ra_minutes = 0;
  double dec = NAN;
};

struct Pass {
  int ncat = 0;
  std::string identification;  // the identification line (A, D, E, R), the first line's end (B, C)
  double standard_magnitude = NAN;  // from the identification line, when shown
  std::string comment;              // formats B and C: the comment line, if any
  std::vector<PredictionLine> lines;
};

// The index of the pass's line marked C (the point at which the engine first
// found the pass), or the number of lines when none is marked; and how many
// are marked.
inline std::size_t c_index(const Pass& pass) {
  for (std::size_t i = 0; i < pass.lines.size(); ++i) {
    if (pass.lines[i].c_mark) return i;
  }
  return pass.lines.size();
}
inline std::size_t c_count(const Pass& pass) {
  std::size_t n = 0;
  for (const PredictionLine& line : pass.lines) n += line.c_mark;
  return n;
}

struct Report {
  std::string settings;
  std::vector<DayHeader> headers;
  std::vector<std::string> column_headers;
  std::vector<Pass> passes;
  std::vector<std::string> unrecognised;  // the line the report reader stopped at, and why

  std::vector<PredictionLine> all_lines() const {
    std::vector<PredictionLine> rows;
    for (const Pass& pass : passes) rows.insert(rows.end(), pass.lines.begin(), pass.lines.end());
    return rows;
  }
  std::vector<std::string> line_texts() const {
    std::vector<std::string> rows;
    for (const PredictionLine& line : all_lines()) rows.push_back(line.text);
    return rows;
  }
};

// The program's own report reader does the reading; these views keep the
// tests' names for what it reads.
inline DayHeader day_header_of(const vespera::DayHeader& h, const std::string& text) {
  DayHeader d;
  d.text = text;
  d.year = h.date.year;
  d.month = h.monthName;
  d.day = h.date.day;
  d.weekday = h.weekday;
  d.evening = h.half == 2;
  d.zone = h.zoneLabel;
  d.h1 = h.windowStartHour;
  d.m1 = h.windowStartMinute;
  d.h2 = h.windowEndHour;
  d.m2 = h.windowEndMinute;
  return d;
}

inline std::optional<DayHeader> parse_day_header(const std::string& line) {
  const std::optional<vespera::DayHeader> header = vespera::read_day_header(line);
  if (!header) return std::nullopt;
  return day_header_of(*header, line);
}

// A whole number as printed: 0 where the format has none, -99999 for
// asterisks; a real: NaN where there is no number.
inline int whole_of(const PrintedValue& v) {
  if (v.state == PrintedValue::State::Absent) return 0;
  return v.has_number() ? static_cast<int>(v.number) : -99999;
}
inline double real_of(const PrintedValue& v) { return v.has_number() ? v.number : NAN; }

inline PredictionLine prediction_line_of(const ReportPoint& point, const std::string& text) {
  using F = ReportField;
  PredictionLine p;
  p.text = text;
  p.hour = whole_of(point[F::Hour]);
  p.minute = whole_of(point[F::Minute]);
  p.second = whole_of(point[F::Second]);
  p.tim = text.substr(8, 4);
  p.alt = whole_of(point[F::Altitude]);
  p.az = whole_of(point[F::Azimuth]);
  p.az_e = real_of(point[F::AzimuthDegrees]);
  p.alt_e = real_of(point[F::AltitudeDegrees]);
  p.c_mark = point.found_here();
  p.direction = whole_of(point[F::Direction]);
  p.magnitude = real_of(point[F::Magnitude]);
  p.age_days = whole_of(point[F::AgeDays]);
  p.tenths = whole_of(point[F::OrbitTenths]);
  p.height = whole_of(point[F::Height]);
  p.shadow_height = whole_of(point[F::ShadowHeight]);
  const bool phase_in_distance = point[F::Range].state == PrintedValue::State::Absent;
  p.range = whole_of(point[phase_in_distance ? F::PhaseAngle : F::Range]);
  p.ew = real_of(point[F::Ew]);
  p.phase = phase_in_distance ? 0 : whole_of(point[F::PhaseAngle]);
  p.ra_hours = whole_of(point[F::RaHours]);
  p.ra_minutes = whole_of(point[F::RaMinutes]);
  p.dec = real_of(point[F::Declination]);
  return p;
}

// Takes a report apart with the report reader; the format letter and the P
// letter of formats B and C are those the caller expects the report to have.
// A report that does not read, or has another format, leaves the line and
// what was expected there in `unrecognised`.
inline Report parse_report(const std::string& text, char format, bool phase_shown = false) {
  Report report;
  const std::vector<std::string> rows = split_lines(text);
  if (rows.empty()) return report;
  report.settings = rows[0];
  ReportContents contents;
  ReportReadError error;
  if (!read_report(text, contents, error)) {
    report.unrecognised.push_back("line " + std::to_string(error.line_number) + ": expected " +
                                  error.expected);
    return report;
  }
  if (!contents.headers.empty() &&
      (contents.formatLetter != format || contents.phaseShown != phase_shown)) {
    report.unrecognised.push_back(std::string("a report of format ") + contents.formatLetter);
  }
  const auto row = [&rows](int32_t line_number) { return rows[static_cast<std::size_t>(line_number - 1)]; };
  for (const vespera::DayHeader& h : contents.headers) {
    report.headers.push_back(day_header_of(h, row(h.line_number)));
    report.column_headers.push_back(row(h.column_header_line));
  }
  for (const ReportPass& read : contents.passes) {
    Pass pass;
    pass.ncat = read.identification.ncat;
    pass.identification = read.identification.text;
    pass.standard_magnitude = real_of(read.identification.standardMagnitude);
    if (read.comment_line_number > 0) pass.comment = row(read.comment_line_number);
    for (const ReportPoint& point : read.points) {
      PredictionLine line = prediction_line_of(point, row(point.line_number));
      line.ncat = pass.ncat;
      line.header = read.header;
      pass.lines.push_back(line);
    }
    report.passes.push_back(pass);
  }
  return report;
}

}  // namespace vespera::e2e
