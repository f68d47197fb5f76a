// Helpers of the whole-program tests: a temporary working directory in which
// the vespera program runs on a control file written by the test, a builder
// of control-file sections, and a reader that takes a report apart into day
// headers, passes and prediction lines by the columns of each report format.
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

  // Runs the program with the control file's name as its argument and the
  // given console input; collects its output and the named report file.
  RunResult run(const std::string& control_name, const std::string& report_name = "report.txt",
                const std::string& input = "") const {
    write("console-in.txt", input);
    std::filesystem::remove(path() / report_name);
    pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.dir().c_str()) != 0) _exit(126);
      if (!std::freopen("console-in.txt", "r", stdin) || !std::freopen("console-out.txt", "w", stdout) ||
          !std::freopen("console-err.txt", "w", stderr)) {
        _exit(126);
      }
      execl(VESPERA_BINARY, VESPERA_BINARY, control_name.c_str(), static_cast<char*>(nullptr));
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

// The integer in a right-justified I field, only when the field reads exactly
// as the program would write that integer (so that an identification line is
// never mistaken for a prediction line).
inline std::optional<int> integer_field(const std::string& line, std::size_t column, std::size_t width) {
  if (line.size() < column - 1 + width) return std::nullopt;
  std::string field = line.substr(column - 1, width);
  std::size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  std::string digits = field.substr(first);
  char* end = nullptr;
  long value = std::strtol(digits.c_str(), &end, 10);
  if (*end != '\0') return std::nullopt;
  if (std::to_string(value) != digits) return std::nullopt;
  return static_cast<int>(value);
}

inline int int_at(const std::string& line, std::size_t column, std::size_t width) {
  return integer_field(line, column, width).value_or(-99999);
}

// A real field (NaN for asterisks or blanks).
inline double real_at(const std::string& line, std::size_t column, std::size_t width) {
  if (line.size() < column - 1 + width) return NAN;
  std::string field = line.substr(column - 1, width);
  if (field.find('*') != std::string::npos || field.find_first_not_of(' ') == std::string::npos) return NAN;
  return std::strtod(field.c_str(), nullptr);
}

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
  std::string identification;  // the identification line (formats A, D, E, R)
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
  std::vector<std::string> unrecognised;  // lines that fit no kind

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

inline std::optional<DayHeader> parse_day_header(const std::string& line) {
  if (line.rfind("***  ", 0) != 0 || line.size() < 68) return std::nullopt;
  DayHeader h;
  h.text = line;
  h.year = int_at(line, 6, 4);
  h.month = line.substr(10, 4);
  h.day = int_at(line, 15, 3);
  h.weekday = line.substr(19, 3);
  std::string half = line.substr(22, 27);
  if (half == " morning  *** Times are AM ") {
    h.evening = false;
  } else if (half == " evening  *** Times are PM ") {
    h.evening = true;
  } else {
    return std::nullopt;
  }
  h.zone = line.substr(49, 4);
  h.h1 = int_at(line, 58, 4);
  h.m1 = int_at(line, 62, 2);
  h.h2 = int_at(line, 64, 3);
  h.m2 = int_at(line, 67, 2);
  return h;
}

// The time columns 1-8 of a prediction line, as the program writes them.
inline bool has_time_columns(const std::string& line) {
  auto h = integer_field(line, 1, 2), m = integer_field(line, 3, 3), s = integer_field(line, 6, 3);
  return h && m && s && *h >= 0 && *h <= 23 && *m >= 0 && *m <= 59 && *s >= 0 && *s <= 59;
}

// The whole-degree angle columns 13-19: altitude then azimuth (formats A, C
// and R), or azimuth then altitude (B and D).
inline void read_alt_az(const std::string& line, PredictionLine& p) {
  p.alt = int_at(line, 13, 3);
  p.az = int_at(line, 16, 4);
}
inline void read_az_alt(const std::string& line, PredictionLine& p) {
  p.az = int_at(line, 13, 4);
  p.alt = int_at(line, 17, 3);
}

// The columns from C to the shadow height, which every format but R lays
// out alike from the C column on.
inline void read_pass_columns(const std::string& line, std::size_t c_column, PredictionLine& p) {
  p.c_mark = line[c_column - 1] == 'C';
  p.direction = int_at(line, c_column + 1, 4);
  p.magnitude = real_at(line, c_column + 5, 5);
  p.age_days = int_at(line, c_column + 10, 4);
  p.tenths = int_at(line, c_column + 14, 2);
  p.height = int_at(line, c_column + 16, 5);
  p.shadow_height = int_at(line, c_column + 21, 4);
}

// Reads a prediction line of the given format letter; `phase_shown` is the P
// letter of formats B and C (the distance field is then 4 columns wide).
inline std::optional<PredictionLine> parse_prediction(const std::string& line, char format, bool phase_shown) {
  if (!has_time_columns(line)) return std::nullopt;
  PredictionLine p;
  p.text = line;
  p.hour = int_at(line, 1, 2);
  p.minute = int_at(line, 3, 3);
  p.second = int_at(line, 6, 3);
  p.tim = line.substr(8, 4);
  if (format == 'R') {
    if (line.size() != 37) return std::nullopt;
    read_alt_az(line, p);
    p.c_mark = line[20] == 'C';
    p.age_days = int_at(line, 22, 4);
    p.tenths = int_at(line, 26, 2);
    p.height = int_at(line, 28, 5);
    p.range = int_at(line, 33, 5);
    return p;
  }
  if (format == 'B' || format == 'C') {
    if (line.size() < 58) return std::nullopt;
    if (format == 'B') {
      read_az_alt(line, p);
    } else {
      read_alt_az(line, p);
    }
    read_pass_columns(line, 20, p);
    std::size_t w = phase_shown ? 4 : 5;
    p.range = int_at(line, 45, w);
    p.ra_hours = int_at(line, 45 + w, 3);
    p.ra_minutes = int_at(line, 48 + w, 2);
    p.dec = real_at(line, 50 + w, 5);
    return p;
  }
  // A, D and E share one layout; E's angle text is 6 columns wider.
  std::size_t shift = format == 'E' ? 6 : 0;
  if (line.size() != 69 + shift) return std::nullopt;
  if (format == 'A') {
    read_alt_az(line, p);
  } else if (format == 'D') {
    read_az_alt(line, p);
  } else {
    p.az_e = real_at(line, 13, 7);
    p.alt_e = real_at(line, 20, 6);
  }
  read_pass_columns(line, 21 + shift, p);
  p.range = int_at(line, 46 + shift, 5);
  p.ew = real_at(line, 51 + shift, 4);
  p.phase = int_at(line, 55 + shift, 4);
  p.ra_hours = int_at(line, 59 + shift, 3);
  p.ra_minutes = int_at(line, 62 + shift, 2);
  p.dec = real_at(line, 64 + shift, 6);
  return p;
}

// Takes a report apart. A prediction line that follows an identification
// line (formats A, D, E, R) or that carries one at its end (B, C) starts a
// pass; the others continue the pass above them.
inline Report parse_report(const std::string& text, char format, bool phase_shown = false) {
  Report report;
  std::vector<std::string> rows = split_lines(text);
  if (rows.empty()) return report;
  report.settings = rows[0];
  bool pending_identification = false;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::string& row = rows[i];
    if (row.empty()) continue;
    if (auto header = parse_day_header(row)) {
      report.headers.push_back(*header);
      continue;
    }
    if (row.rfind(" H  M  S Tim", 0) == 0) {
      report.column_headers.push_back(row);
      continue;
    }
    std::optional<PredictionLine> line = parse_prediction(row, format, phase_shown);
    if (line && !report.headers.empty()) {
      line->header = report.headers.size() - 1;
      bool bc = format == 'B' || format == 'C';
      std::size_t end_of_values = phase_shown ? 58 : 59;
      bool starts_pass = bc ? row.size() > end_of_values : pending_identification;
      if (starts_pass) {
        Pass pass;
        if (bc) {
          // Level 1 puts the catalogue number at columns 66-71 (one less with P).
          std::size_t shift = phase_shown ? 1 : 0;
          pass.ncat = int_at(row, 66 - shift, 6);
          if (pass.ncat < 0) pass.ncat = 0;  // a name: the caller matches by name
          pass.identification = row.substr(end_of_values);
        } else {
          pass.ncat = report.passes.empty() ? 0 : report.passes.back().ncat;
          pass.identification = report.passes.back().identification;
          pass.standard_magnitude = report.passes.back().standard_magnitude;
          report.passes.pop_back();  // the placeholder of the identification line
        }
        report.passes.push_back(pass);
        pending_identification = false;
      } else if (report.passes.empty()) {
        report.unrecognised.push_back(row);
        continue;
      }
      line->ncat = report.passes.back().ncat;
      report.passes.back().lines.push_back(*line);
      continue;
    }
    if ((format == 'B' || format == 'C') && row.rfind("        ", 0) == 0 && !report.passes.empty() &&
        report.passes.back().lines.size() == 1) {
      report.passes.back().comment = row;  // the comment line under a pass's first line
      continue;
    }
    if (format != 'B' && format != 'C') {
      if (auto ncat = integer_field(row, 1, 5)) {
        Pass placeholder;
        placeholder.ncat = *ncat;
        placeholder.identification = row;
        if (format != 'R' && row.size() >= 42) placeholder.standard_magnitude = real_at(row, 39, 4);
        report.passes.push_back(placeholder);
        pending_identification = true;
        continue;
      }
    }
    report.unrecognised.push_back(row);
  }
  return report;
}

}  // namespace vespera::e2e
