// Readers of the published SGP4/SDP4 verification set (tests/data/
// sgp4-verification): the element sets of SGP4-VER.TLE, read by a small
// parser of the standard two-line columns that keeps every digit, with the
// span of each run (columns 70 onwards of line 2: start, stop and step in
// minutes), and the published states of tcppver.out.
#pragma once

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "sgp4/mean_elements.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4::test {

struct VerificationCase {
  int catalogue_number = 0;
  MeanElements elements;
  double start = 0.0, stop = 0.0, step = 0.0;  // minutes from the epoch
};

// A published state: minutes, then x y z (km) and xdot ydot zdot (km/s).
using PublishedRow = std::array<double, 7>;

struct PublishedCase {
  int catalogue_number = 0;
  std::vector<PublishedRow> rows;
};

// A number from text that may have blanks around it (locale-independent).
// NaN when the text is not one number.
inline double number(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nan("");
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() ? value : std::nan("");
}

// Columns first..last (1-based, inclusive) of a line; blanks past its end.
inline std::string columns(const std::string& line, std::size_t first, std::size_t last) {
  std::string text = first <= line.size() ? line.substr(first - 1, last - first + 1) : std::string();
  text.resize(last - first + 1, ' ');
  return text;
}

// A field with an assumed leading decimal point and an exponent: the drag
// term of line 1, columns 54-61 (sign, five digits, signed exponent digit).
inline double assumed_point_exponent(const std::string& field) {
  const std::string sign = field[0] == '-' ? "-" : "";
  return number(sign + "0." + field.substr(1, 5) + "e" + field.substr(6, 2));
}

// The Julian date of 0h on January 1 of a year of 1901..2099.
inline double january_first_jd(int year) {
  return 367.0 * year - std::floor(7.0 * year / 4.0) + 30.0 + 1.0 + 1721013.5;
}

inline VerificationCase parse_two_lines(const std::string& line1, const std::string& line2) {
  VerificationCase c;
  c.catalogue_number = static_cast<int>(number(columns(line1, 3, 7)));
  const int yy = static_cast<int>(number(columns(line1, 19, 20)));
  const int year = yy < 57 ? 2000 + yy : 1900 + yy;
  MeanElements& e = c.elements;
  e.epoch_jd = january_first_jd(year);
  e.epoch_jd_fraction = number(columns(line1, 21, 32)) - 1.0;
  e.bstar = assumed_point_exponent(columns(line1, 54, 61));
  e.inclination = number(columns(line2, 9, 16)) * kRadiansPerDegree;
  e.node = number(columns(line2, 18, 25)) * kRadiansPerDegree;
  e.eccentricity = number("0." + columns(line2, 27, 33));
  e.argument_of_perigee = number(columns(line2, 35, 42)) * kRadiansPerDegree;
  e.mean_anomaly = number(columns(line2, 44, 51)) * kRadiansPerDegree;
  e.mean_motion = number(columns(line2, 53, 63)) * kTwoPi / kMinutesPerDay;
  std::istringstream span(line2.size() > 69 ? line2.substr(69) : std::string());
  span >> c.start >> c.stop >> c.step;
  return c;
}

inline std::vector<std::string> data_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The element sets of SGP4-VER.TLE in file order; '#' lines are comments.
inline std::vector<VerificationCase> read_cases(const std::string& path) {
  std::vector<std::string> lines;
  for (const std::string& line : data_lines(path)) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  std::vector<VerificationCase> cases;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) cases.push_back(parse_two_lines(lines[i], lines[i + 1]));
  return cases;
}

// The cases of tcppver.out in file order: a header "NNNNN xx", then one row
// per line (its first seven numbers).
inline std::vector<PublishedCase> read_published(const std::string& path) {
  std::vector<PublishedCase> cases;
  for (const std::string& line : data_lines(path)) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.size() == 2 && words[1] == "xx") {
      cases.push_back({static_cast<int>(number(words[0])), {}});
    } else if (words.size() >= 7 && !cases.empty()) {
      PublishedRow row{};
      for (std::size_t k = 0; k < 7; ++k) row[k] = number(words[k]);
      cases.back().rows.push_back(row);
    }
  }
  return cases;
}

// The times of a published run: the epoch, then start, start + step, ...,
// with the last step cut at stop (times accumulated step by step, as the
// published driver did). A start of 0 is not repeated.
inline std::vector<double> run_times(const VerificationCase& c) {
  std::vector<double> times{0.0};
  if (!(c.step > 0.0)) return times;
  double t = c.start;
  if (std::fabs(t) > 1.0e-8) t -= c.step;
  while (t < c.stop) {
    t += c.step;
    if (t > c.stop) t = c.stop;
    times.push_back(t);
  }
  return times;
}

}  // namespace vespera::sgp4::test
