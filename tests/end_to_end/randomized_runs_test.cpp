// Randomized whole runs: control files built from fixed seeds with extreme
// but legal values (zone offsets of -12 and +14 hours, latitudes of +-90 and
// 0, longitudes of +-180, step scales from 0.1 to 20, step maxima 1 and 99,
// equinoxes 1800 to 2200, magnitude limits, sky regions through north and
// through 0 h, range limits in km and miles, every report format, walk on and
// off, memory and streaming mode) over the visual excerpt. Every run must end
// with status 0 and write a report in which every line is one of the kinds
// the report is made of, laid out column for column, and every prediction
// lies inside its night's window, at or above its altitude limit and inside
// the run's sky region and range limit.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "end_to_end_support.h"
#include "random_sections.h"

namespace vespera::e2e {
namespace {

// ---------------------------------------------------------------------------
// Fields of a line, by layout.

// One field of a layout: I (integer), F (real with `decimals`), T (the Tim
// column: blank or an integer), C (blank or C), X (blank), A (any text).
struct Field {
  char kind;
  int width;
  int decimals = 0;
};

bool all_asterisks(const std::string& s) { return s.find_first_not_of('*') == std::string::npos; }

// An integer right-justified in its field, as the program writes it.
std::optional<double> integer_value(const std::string& s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  std::string digits = s.substr(first);
  if (digits.find_first_not_of("-0123456789") != std::string::npos) return std::nullopt;
  const long value = std::strtol(digits.c_str(), nullptr, 10);
  if (std::to_string(value) != digits) return std::nullopt;
  return static_cast<double>(value);
}

// A real right-justified with exactly `decimals` digits after the point.
std::optional<double> real_value(const std::string& s, int decimals) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const std::string number = s.substr(first);
  const std::size_t point = number.find('.');
  if (point == std::string::npos || number.size() - point - 1 != static_cast<std::size_t>(decimals)) {
    return std::nullopt;
  }
  const std::string whole = number.substr(0, point);
  if (!whole.empty() && whole != "-" && whole != "-0" && !integer_value(whole)) return std::nullopt;
  if (number.substr(point + 1).find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::strtod(number.c_str(), nullptr);
}

// Reads a line by a layout: the values of its I, F and T fields (NaN for a
// field of asterisks or a blank Tim), or nothing when a field is malformed or
// the line's length is not the layout's.
std::optional<std::vector<double>> read_fields(const std::string& line, const std::vector<Field>& layout) {
  std::vector<double> values;
  std::size_t at = 0;
  for (const Field& f : layout) {
    if (at + f.width > line.size()) return std::nullopt;
    const std::string s = line.substr(at, f.width);
    at += f.width;
    std::optional<double> value;
    switch (f.kind) {
      case 'I':
        value = integer_value(s);
        if (!value && all_asterisks(s)) value = NAN;
        break;
      case 'F':
        value = real_value(s, f.decimals);
        if (!value && all_asterisks(s)) value = NAN;
        break;
      case 'T':
        value = s == std::string(f.width, ' ') ? NAN : integer_value(s);
        if (value && !std::isnan(*value) && (*value < 4 || *value > 500)) return std::nullopt;
        break;
      case 'C':
        if (s != " " && s != "C") return std::nullopt;
        value = s == "C" ? 1.0 : 0.0;
        break;
      case 'X':
        if (s != std::string(f.width, ' ')) return std::nullopt;
        continue;
      default:
        continue;
    }
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  if (at != line.size()) return std::nullopt;
  return values;
}

// The values of a prediction line that the checks use.
struct Point {
  int hour = 0, minute = 0, second = 0;
  double alt = NAN, az = NAN;  // degrees, as printed (az turned with letter A)
  double range = NAN;          // report units, NaN when not printed
  double ra = NAN, dec = NAN;  // hours and degrees, NaN when not printed
  bool rounded_angles = true;  // false for format E
};

// The layout of a prediction line of the run's format up to its last value
// (formats B and C: up to the declination), and where its values stand.
std::vector<Field> prediction_layout(const RandomRun& run) {
  const std::vector<Field> time = {{'I', 2}, {'I', 3}, {'I', 3}, {'T', 4}};
  std::vector<Field> layout = time;
  auto add = [&layout](std::vector<Field> more) { layout.insert(layout.end(), more.begin(), more.end()); };
  switch (run.format) {
    case 'R':
      add({{'I', 3}, {'I', 4}, {'X', 1}, {'C', 1}, {'I', 4}, {'I', 2}, {'I', 5}, {'I', 5}});
      break;
    case 'B':
    case 'C':
      add({{'I', run.format == 'B' ? 4 : 3}, {'I', run.format == 'B' ? 3 : 4}, {'C', 1}, {'I', 4},
           {'F', 5, 1}, {'I', 4}, {'I', 2}, {'I', 5}, {'I', 4}, {'I', run.phase_shown ? 4 : 5},
           {'I', 3}, {'I', 2}, {'F', 5, 1}});
      break;
    default: {
      if (run.format == 'E') {
        add({{'F', 7, 2}, {'F', 6, 2}});
      } else {
        add({{'I', run.format == 'D' ? 4 : 3}, {'I', run.format == 'D' ? 3 : 4}});
      }
      add({{'X', 1}, {'C', 1}, {'I', 4}, {'F', 5, 1}, {'I', 4}, {'I', 2}, {'I', 5}, {'I', 4},
           {'I', 5}, {'F', 4, 1}, {'I', 4}, {'I', 3}, {'I', 2}, {'F', 6, 1}});
      break;
    }
  }
  return layout;
}

std::optional<Point> read_point(const RandomRun& run, const std::string& line) {
  const auto v = read_fields(line, prediction_layout(run));
  if (!v) return std::nullopt;
  const std::vector<double>& x = *v;
  Point p;
  p.hour = static_cast<int>(x[0]);
  p.minute = static_cast<int>(x[1]);
  p.second = static_cast<int>(x[2]);
  const bool az_first = run.format == 'B' || run.format == 'D' || run.format == 'E';
  p.az = az_first ? x[4] : x[5];
  p.alt = az_first ? x[5] : x[4];
  p.rounded_angles = run.format != 'E';
  if (run.format == 'R') {
    p.range = x[10];
  } else if (run.format == 'B' || run.format == 'C') {
    if (!run.phase_shown) p.range = x[13];
    p.ra = x[14] + x[15] / 60.0;
    p.dec = x[16];
  } else {
    p.range = x[13];
    p.ra = x[16] + x[17] / 60.0;
    p.dec = x[18];
  }
  return p;
}

// ---------------------------------------------------------------------------
// The checks of one run.

double wrap24(double hours) { return hours - 24.0 * std::floor(hours / 24.0); }

// Whether an azimuth (or right ascension) lies in the region from `low` to
// `high`, through north (0 h) when `low` is above `high`, within `tolerance`.
bool in_circular_region(double x, double low, double high, double full, double tolerance) {
  const double span = low < high ? high - low : high - low + full;
  const double off = x - low - full * std::floor((x - low) / full);
  return off <= span + tolerance || off >= full - tolerance;
}

class ReportCheck {
 public:
  explicit ReportCheck(const RandomRun& run) : run_(run) {}

  // Checks the whole report; returns the number of prediction lines.
  int check(const std::vector<std::string>& rows) {
    if (rows.empty()) {
      fault("no settings line");
      return 0;
    }
    check_settings_line(rows[0]);
    std::size_t i = 1;
    while (i < rows.size()) {
      if (rows[i].empty() && i + 1 < rows.size() && rows[i + 1].rfind("***", 0) == 0) {
        i = day_header_block(rows, i);
      } else if (!header_) {
        fault("line before the first day header: " + rows[i]);
        ++i;
      } else {
        i = pass(rows, i);
      }
      if (!faults_.empty()) break;
    }
    return predictions_;
  }

  const std::vector<std::string>& faults() const { return faults_; }

 private:
  void fault(const std::string& what) { faults_.push_back(what); }

  void check_settings_line(const std::string& line) {
    const std::vector<Field> layout = {{'F', 8, 3}, {'F', 8, 3}, {'F', 6, 0}, {'X', 3}, {'A', 24},
                                       {'I', 5},    {'F', 5, 1}, {'I', 3},    {'A', 10}};
    if (!read_fields(line, layout)) fault("settings line: " + line);
    const std::string flags = line.size() == 72 ? line.substr(62) : "";
    const auto flag = [&flags](std::size_t k) { return flags.substr(2 * k, 2); };
    const bool ignore_shadow = run_.format == 'R' || run_.section.ignore_shadow == "T";
    if (flags.size() != 10 || flag(0) != (run_.format == 'R' ? " T" : " F") ||
        flag(1) != (ignore_shadow ? " T" : " F") ||
        flag(2) != " " + run_.section.walk.substr(0, 1) || flag(3) != " " + run_.section.miles ||
        flag(4) != " " + run_.section.blank_line) {
      fault("settings line flags: " + line);
    }
  }

  // An empty line, the day header, an empty line and the column header.
  std::size_t day_header_block(const std::vector<std::string>& rows, std::size_t i) {
    header_ = parse_day_header(rows[i + 1]);
    if (!header_ || rows[i + 1].size() != 68 || !valid_date(*header_)) {
      fault("day header: " + rows[i + 1]);
      return rows.size();
    }
    if (header_->zone != run_.zone_label) fault("zone label: " + rows[i + 1]);
    if (i + 3 >= rows.size() || !rows[i + 2].empty() || rows[i + 3] != column_header()) {
      fault("column header after: " + rows[i + 1]);
      return rows.size();
    }
    return i + 4;
  }

  bool valid_date(const DayHeader& h) const {
    static const std::vector<std::string> weekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (h.year != 2017 || (h.month != "Oct " && h.month != "Nov ")) return false;
    const unsigned month = h.month == "Oct " ? 10 : 11;
    const std::chrono::year_month_day date{std::chrono::year(2017), std::chrono::month(month),
                                           std::chrono::day(static_cast<unsigned>(h.day))};
    if (!date.ok()) return false;
    const int day_of_october = h.day + (month == 11 ? 31 : 0);
    if (day_of_october < run_.first_day - 1 || day_of_october > run_.last_day + 2) return false;
    if (h.h1 < 0 || h.h1 > 23 || h.m1 < 0 || h.m1 > 59 || h.h2 < 0 || h.h2 > 23 || h.m2 < 0 ||
        h.m2 > 59) {
      return false;
    }
    return weekdays[std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()] == h.weekday;
  }

  std::string column_header() const {
    const std::string distance = run_.phase_shown ? " Phs" : "  Rng";
    switch (run_.format) {
      case 'R':
        return " H  M  S Tim Al Azi C Dys F  Hgt  Rng";
      case 'B':
        return " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd" + distance + "  R A  Dec RCS  Name";
      case 'C':
        return " H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd" + distance + "  R A  Dec RCS  Name";
      case 'D':
        return " H  M  S Tim Azi El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec";
      case 'E':
        return " H  M  S Tim    Azi    El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec";
      default:
        return " H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec";
    }
  }

  // One pass: (an empty line,) the identification line (formats A, D, E, R)
  // and the prediction lines; in formats B and C the first prediction line
  // carries the identification and may be followed by a comment line.
  std::size_t pass(const std::vector<std::string>& rows, std::size_t i) {
    if (run_.blank_line) {
      if (!rows[i].empty()) fault("no empty line before the pass at: " + rows[i]);
      ++i;
    }
    const bool bc = run_.format == 'B' || run_.format == 'C';
    if (!bc) {
      if (i >= rows.size() || !identification_line(rows[i])) {
        fault("identification line: " + (i < rows.size() ? rows[i] : "(end)"));
        return rows.size();
      }
      ++i;
    }
    const std::size_t values_end = run_.phase_shown ? 58 : 59;
    bool first = true;
    while (i < rows.size() && !rows[i].empty()) {
      const std::string& row = rows[i];
      if (bc && !first && row.rfind("        ", 0) == 0 && predictions_in_pass_ == 1) {
        if (!comment_line(row)) fault("comment line: " + row);
        ++i;
        continue;
      }
      // A prediction line has a blank between its hour and its minute, an
      // identification line a catalogue number in columns 1-5.
      if (!bc && !first && integer_value(row.substr(0, 5))) break;
      std::string values = row;
      if (bc) {
        if (first && (row.size() <= values_end || !bc_identification(row.substr(values_end)))) {
          fault("first line of a pass: " + row);
          return rows.size();
        }
        if (!first && row.size() > values_end) break;  // the first line of the next pass
        values = row.substr(0, values_end);
      }
      const std::optional<Point> point = read_point(run_, values);
      if (!point) {
        fault("prediction line: " + row);
        return rows.size();
      }
      predictions_in_pass_ = first ? 1 : predictions_in_pass_ + 1;
      check_point(*point, first, row);
      ++predictions_;
      first = false;
      ++i;
    }
    if (first) fault("pass without prediction lines near line " + std::to_string(i));
    return i;
  }

  bool identification_line(const std::string& row) {
    const std::optional<double> ncat = integer_value(row.substr(0, 5));
    if (row.size() < 5 || !ncat || run_.ncats.count(static_cast<int>(*ncat)) == 0) return false;
    if (row.size() > 5 && row[5] != ' ') return false;
    const std::size_t n = row.size();
    if (run_.format == 'R') return n == 5 || n == 20 || n == 22 || (n >= 25 && n <= 56);
    if (run_.detail_listing) return n == 5 || n == 20 || n == 47 || n == 51 || (n >= 53 && n <= 75);
    return n == 5 || n == 20 || n == 38 || n == 42 || (n >= 44 && n <= 75);
  }

  // The identification at the end of a first line of formats B and C: the
  // catalogue number (I6 after six blanks), or the name after six blanks, or
  // the cross-section, a blank, the flag letter and the name.
  bool bc_identification(const std::string& tail) {
    if (tail.size() == 12) {
      const std::optional<double> ncat = integer_value(tail.substr(6));
      return tail.rfind("      ", 0) == 0 && ncat && run_.ncats.count(static_cast<int>(*ncat)) > 0;
    }
    return tail.size() == 20 && (tail.rfind("      ", 0) == 0 || tail[4] == ' ');
  }

  static bool comment_line(const std::string& row) {
    return row.size() >= 9 && row.size() <= 40 && (row.size() - 8) % 4 == 0 &&
           row.find_first_not_of(' ') != std::string::npos;
  }

  // The point's local time on the 24-hour clock: the half of the day comes
  // from the day header for the first line of a pass, and from the previous
  // line (the pass goes on within 20 minutes) for the others.
  std::optional<double> local_hours(const Point& p, bool first) {
    const double minutes = p.minute / 60.0 + p.second / 3600.0;
    std::vector<double> candidates;
    if (run_.twelve_hour_clock) {
      if (p.hour < 1 || p.hour > 12) return std::nullopt;
      candidates = {(p.hour % 12) + minutes, (p.hour % 12) + 12 + minutes};
    } else {
      if (p.hour > 23) return std::nullopt;
      candidates = {p.hour + minutes};
    }
    for (double t : candidates) {
      if (first) {
        if ((t >= 12.0) == header_->evening) return t;
      } else {
        const double forward = wrap24(t - previous_hours_ + 0.5) - 0.5;
        if (forward >= -1.0 / 3600.0 && forward <= 21.0 / 60.0) return t;
      }
    }
    return std::nullopt;
  }

  void check_point(const Point& p, bool first, const std::string& row) {
    const std::optional<double> t = local_hours(p, first);
    if (!t) {
      fault("time out of order or in the wrong half of the day: " + row);
      return;
    }
    previous_hours_ = *t;
    if (!in_window(*t)) fault("outside the night's window: " + row);
    const double rounding = p.rounded_angles ? 1.0 : 0.01;
    if (p.alt < run_.min_altitude - rounding || p.alt > 90.0 + rounding) {
      fault("below the altitude limit: " + row);
    }
    if (run_.alt_az) {
      const double az = p.rounded_angles && run_.azimuth_from_south ? std::fmod(p.az + 180.0, 360.0) : p.az;
      if (p.alt < run_.alt_min - rounding || p.alt > run_.alt_max + rounding ||
          !in_circular_region(az, run_.az_min, run_.az_max, 360.0, rounding)) {
        fault("outside the altitude and azimuth region: " + row);
      }
    }
    if (run_.ra_dec && run_.format != 'R') check_sky_region(p, row);
    if (run_.range_limit && !std::isnan(p.range) && p.range > *run_.range_limit + 1.0) {
      fault("beyond the range limit: " + row);
    }
  }

  // The region is tested on the place of the date; the report refers it to
  // the run's equinox, up to 0.0056 degrees of declination and 3.1 seconds
  // of right ascension (more near the poles) per year away.
  void check_sky_region(const Point& p, const std::string& row) {
    const double years = std::fabs(run_.equinox - 2017.8);
    const double dec_tolerance = 0.06 + years * 0.0056;
    if (p.dec < run_.dec_min - dec_tolerance || p.dec > run_.dec_max + dec_tolerance) {
      fault("outside the declination region: " + row);
    }
    if (std::fabs(p.dec) < 60.0) {
      const double ra_tolerance = 0.01 + years * 3.1 * (1.0 + 2.0 * std::tan(std::fabs(p.dec) / 57.29578)) / 3600.0;
      if (!in_circular_region(p.ra, run_.ra_min, run_.ra_max, 24.0, ra_tolerance)) {
        fault("outside the right ascension region: " + row);
      }
    }
  }

  // The night's window on the local clock: from the day header's twilight
  // times and the offsets (twilight mode), or from the offsets in UT and
  // the zone offset (absolute mode). The header's times are cut to the
  // minute and the line's to the second.
  bool in_window(double t) const {
    constexpr double kTolerance = 70.0 / 3600.0;
    std::vector<std::pair<double, double>> windows;  // start, length
    if (run_.absolute_window) {
      windows.push_back({run_.start_offset + run_.zone, run_.end_offset - run_.start_offset});
    } else {
      const double evening = header_->h1 + header_->m1 / 60.0;
      const double morning = header_->h2 + header_->m2 / 60.0;
      const double night = wrap24(morning - evening);
      const double offsets = run_.end_offset - run_.start_offset;
      windows.push_back({evening + run_.start_offset, night + offsets});
      // A night of nearly 0 or 24 hours reads the same on the clock.
      if (night < 2.0 / 60.0) windows.push_back({evening + run_.start_offset, night + 24.0 + offsets});
      if (night > 24.0 - 2.0 / 60.0) windows.push_back({evening + run_.start_offset, night - 24.0 + offsets});
    }
    for (const auto& [start, length] : windows) {
      if (length + 2 * kTolerance >= 24.0) return true;
      const double from_start = wrap24(t - start + kTolerance) - kTolerance;
      if (from_start <= length + kTolerance) return true;
    }
    return false;
  }

  const RandomRun& run_;
  std::optional<DayHeader> header_;
  double previous_hours_ = 0.0;
  int predictions_ = 0;
  int predictions_in_pass_ = 0;
  std::vector<std::string> faults_;
};

// The console output ends with the summary; standard error holds at most
// the lines of empty windows.
void check_console(const RunResult& result, int predictions, std::vector<std::string>& faults) {
  char summary[100];
  std::snprintf(summary, sizeof summary, "%5d predictions written to file %-40s", predictions, "report.txt");
  const std::vector<std::string> out = split_lines(result.out);
  if (out.empty() || out.back() != summary) faults.push_back("summary: " + (out.empty() ? "" : out.back()));
  for (const std::string& line : split_lines(result.err)) {
    if (line.rfind(" Day", 0) != 0 || line.find(" Start time") != 7 ||
        line.find(" is greater than end time") != 24) {
      faults.push_back("standard error: " + line);
    }
  }
}

// ---------------------------------------------------------------------------

constexpr int kRunsPerFormat = 16;

TEST(RandomizedRuns, ReportsAreWellFormedAndKeepEveryLimit) {
  std::map<char, int> predictions_by_format;
  std::map<std::string, int> runs_with_predictions;
  int empty_days = 0;
  for (int n = 0; n < 6 * kRunsPerFormat; ++n) {
    const char format = "ABCDER"[n % 6];
    const RandomRun run = random_run(static_cast<uint32_t>(20171016 + n), format);
    Workspace ws;
    ws.copy_data("end_to_end/visual-excerpt.tle");
    ws.copy_data("end_to_end/visual-excerpt.mag");
    ws.copy_data("sample-override.mag");
    Section section = run.section;
    section.intrinsic = "visual-excerpt.mag";
    ws.write("random.ctl", section.text());
    const RunResult result = ws.run("random.ctl", "report.txt", run.console_input);

    ReportCheck check(run);
    const int predictions = check.check(split_lines(result.report));
    std::vector<std::string> faults = check.faults();
    if (result.exit_status != 0) faults.push_back("exit status " + std::to_string(result.exit_status));
    check_console(result, predictions, faults);
    EXPECT_TRUE(faults.empty()) << "seed " << 20171016 + n << ": " << faults.front() << "\ncontrol file:\n"
                                << section.text() << "\nstandard output:\n" << result.out;

    predictions_by_format[format] += predictions;
    if (predictions > 0) {
      for (const auto& [name, used] : std::vector<std::pair<std::string, bool>>{
               {"AA", run.alt_az}, {"RD", run.ra_dec}, {"RL", run.range_limit.has_value()},
               {"prompt", run.console_input != ""}, {"12-hour", run.twelve_hour_clock},
               {"absolute", run.absolute_window}, {"twilight", !run.absolute_window}}) {
        if (used) ++runs_with_predictions[name];
      }
    }
    if (!result.err.empty()) ++empty_days;
  }
  // The seeds reach every format and every kind of limit with predictions.
  for (const char format : std::string("ABCDER")) {
    EXPECT_GT(predictions_by_format[format], 0) << "format " << format;
  }
  for (const char* kind : {"AA", "RD", "RL", "prompt", "12-hour", "absolute", "twilight"}) {
    EXPECT_GT(runs_with_predictions[kind], 0) << kind;
  }
  EXPECT_GT(empty_days, 0);
}

}  // namespace
}  // namespace vespera::e2e
