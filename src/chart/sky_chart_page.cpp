#include "chart/sky_chart_page.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "chart/chart_text.h"

namespace vespera::chart {

namespace {

constexpr double kRim = 200.0;  // the horizon's radius on the chart
constexpr double kHalfView = 260.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRightAngle = 90.0;
constexpr double kHalfTurn = 180.0;
constexpr double kTurn = 360.0;
// Track colours, bright on the dark sky, one pass after another.
constexpr std::string_view kTrackColours[] = {"#ffcc66", "#66ccff", "#ff8899", "#99ee88",
                                              "#cc99ff", "#ffaa55", "#55ddcc", "#ff77dd"};
// Magnitudes from the brightest to the faintest that the shading tells apart.
constexpr double kBrightest = -2.0;
constexpr double kFaintest = 6.0;

constexpr std::string_view kStyle = R"(
body { font-family: system-ui, sans-serif; background: #f4f4f0; color: #1a1a1a; margin: 2em; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin: 1.5em 0 0.3em; }
p.about, p.window { margin: 0.2em 0; color: #444; }
svg.sky { width: 520px; height: 520px; display: block; margin: 0.5em 0; }
.sky .dome { fill: #0b1630; stroke: #8090b0; stroke-width: 1.5; }
.sky .ring { fill: none; stroke: #4a5a80; stroke-dasharray: 4 4; }
.sky .axis { stroke: #2c3a5c; }
.sky .compass, .sky .ring-label { fill: #c8d0e0; font-size: 14px; text-anchor: middle; dominant-baseline: middle; }
.sky .ring-label { font-size: 10px; fill: #7f8fb0; }
.sky .track { fill: none; stroke-width: 2; stroke-linejoin: round; stroke-linecap: round; }
.sky .label { font-size: 11px; dominant-baseline: middle; }
table.passes { border-collapse: collapse; font-size: 0.9em; }
table.passes th, table.passes td { border: 1px solid #bbb; padding: 0.2em 0.6em; text-align: left; }
table.passes td.number { font-variant-numeric: tabular-nums; text-align: right; white-space: nowrap; }
table.passes th { background: #e4e4dc; }
span.swatch { display: inline-block; width: 0.8em; height: 0.8em; margin-right: 0.4em; border-radius: 50%; }
)";

struct Xy {
  double x = 0.0;
  double y = 0.0;
};

// A point of the sky in the chart: the zenith at the centre, the horizon at
// the rim, north up and east to the left (the sky seen from below).
Xy project(double altitude, double azimuth) {
  const double r = kRim * (kRightAngle - std::clamp(altitude, 0.0, kRightAngle)) / kRightAngle;
  const double a = azimuth * kPi / kHalfTurn;
  return Xy{-r * std::sin(a), -r * std::cos(a)};
}

std::string xy_text(const Xy& p) { return number_text(p.x, 1) + "," + number_text(p.y, 1); }

// A pass's point where the chart can place it.
struct SkyPoint {
  const ReportPoint* point;
  double altitude;
  double azimuth;
  Xy xy;
};

std::vector<SkyPoint> sky_points(const ReportPass& pass, const ChartOptions& options) {
  std::vector<SkyPoint> points;
  for (const ReportPoint& p : pass.points) {
    const std::optional<double> alt = p.altitude();
    std::optional<double> az = p.azimuth();
    if (!alt || !az) continue;
    const bool whole_degrees = p[ReportField::AzimuthDegrees].state == PrintedValue::State::Absent;
    if (options.azimuthsFromSouth && whole_degrees) *az = std::fmod(*az + kHalfTurn, kTurn);
    points.push_back(SkyPoint{&p, *alt, *az, project(*alt, *az)});
  }
  return points;
}

// Brighter points are larger and lighter; without a magnitude, one size.
std::string point_circle(const SkyPoint& p, std::string_view title) {
  const PrintedValue& magnitude = (*p.point)[ReportField::Magnitude];
  double radius = 3.0;
  int grey = 200;
  if (magnitude.has_number()) {
    const double b = std::clamp((kFaintest - magnitude.number) / (kFaintest - kBrightest), 0.0, 1.0);
    radius = 1.8 + 3.4 * b;
    grey = 90 + static_cast<int>(165.0 * b);
  }
  char fill[16];
  std::snprintf(fill, sizeof fill, "#%02x%02x%02x", grey, grey, std::min(255, grey + 20));
  return "<circle class=\"point\" cx=\"" + number_text(p.xy.x, 1) + "\" cy=\"" +
         number_text(p.xy.y, 1) + "\" r=\"" + number_text(radius, 1) + "\" fill=\"" + fill +
         "\"><title>" + std::string(title) + "</title></circle>\n";
}

// An arrowhead at `at` pointing along the unit vector (ux, uy).
std::string arrowhead(const Xy& at, double ux, double uy, std::string_view colour) {
  const Xy tip{at.x + 7.0 * ux, at.y + 7.0 * uy};
  const Xy left{at.x - 4.0 * ux - 4.5 * uy, at.y - 4.0 * uy + 4.5 * ux};
  const Xy right{at.x - 4.0 * ux + 4.5 * uy, at.y - 4.0 * uy - 4.5 * ux};
  return "<path class=\"arrow\" d=\"M" + xy_text(tip) + " L" + xy_text(left) + " L" +
         xy_text(right) + " Z\" fill=\"" + std::string(colour) + "\"/>\n";
}

// The direction of motion: along the track near its middle; for a single
// point, the printed direction (0 toward the zenith, 90 toward increasing
// azimuth), when the format has one.
std::string direction_mark(const std::vector<SkyPoint>& points, std::string_view colour) {
  for (std::size_t k = 0; k + 1 < points.size(); ++k) {
    const std::size_t i = (points.size() / 2 + k) % (points.size() - 1);
    const Xy& a = points[i].xy;
    const Xy& b = points[i + 1].xy;
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length < 1.0) continue;
    return arrowhead(Xy{(a.x + b.x) / 2, (a.y + b.y) / 2}, (b.x - a.x) / length,
                     (b.y - a.y) / length, colour);
  }
  if (points.empty()) return {};
  const SkyPoint& p = points.front();
  const PrintedValue& direction = (*p.point)[ReportField::Direction];
  if (!direction.has_number()) return {};
  const double r = std::hypot(p.xy.x, p.xy.y);
  const double a = p.azimuth * kPi / kHalfTurn;
  const double up_x = r > 0.5 ? -p.xy.x / r : std::sin(a);
  const double up_y = r > 0.5 ? -p.xy.y / r : std::cos(a);
  const double d = direction.number * kPi / kHalfTurn;
  const double ux = std::cos(d) * up_x - std::sin(d) * std::cos(a);
  const double uy = std::cos(d) * up_y + std::sin(d) * std::sin(a);
  return "<line class=\"heading\" x1=\"" + number_text(p.xy.x, 1) + "\" y1=\"" +
         number_text(p.xy.y, 1) + "\" x2=\"" + number_text(p.xy.x + 12 * ux, 1) + "\" y2=\"" +
         number_text(p.xy.y + 12 * uy, 1) + "\" stroke=\"" + std::string(colour) + "\"/>\n" +
         arrowhead(Xy{p.xy.x + 12 * ux, p.xy.y + 12 * uy}, ux, uy, colour);
}

std::string degrees_text(double value, bool exact) { return number_text(value, exact ? 2 : 0) + "&#176;"; }

// The time, altitude and azimuth of a point.
std::string point_place(const SkyPoint& p) {
  const bool exact = (*p.point)[ReportField::AzimuthDegrees].state != PrintedValue::State::Absent;
  return time_text(p.point->seconds_of_day) + " alt " + degrees_text(p.altitude, exact) + " az " +
         degrees_text(p.azimuth, exact);
}

std::string point_title(const SkyPoint& p) {
  std::string title = point_place(p);
  const PrintedValue& magnitude = (*p.point)[ReportField::Magnitude];
  if (magnitude.has_number()) title += " mag " + number_text(magnitude.number, 1);
  return title;
}

void append_pass(std::string& out, const ReportPass& pass, std::size_t index,
                 const ChartOptions& options) {
  const std::vector<SkyPoint> points = sky_points(pass, options);
  const std::string_view colour = kTrackColours[index % std::size(kTrackColours)];
  const std::string name = html_escaped(pass.label());
  out += "<g class=\"pass\"><title>" + name + "</title>\n<polyline class=\"track\" stroke=\"" +
         std::string(colour) + "\" points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) out += (i > 0 ? " " : "") + xy_text(points[i].xy);
  out += "\"/>\n" + direction_mark(points, colour);
  for (const SkyPoint& p : points) out += point_circle(p, name + " " + point_title(p));
  if (!points.empty()) {
    const Xy& first = points.front().xy;
    const bool right = first.x > 0;
    out += "<text class=\"label\" x=\"" + number_text(first.x + (right ? -8 : 8), 1) + "\" y=\"" +
           number_text(first.y - 8, 1) + "\" text-anchor=\"" + (right ? "end" : "start") +
           "\" fill=\"" + std::string(colour) + "\">" + name + " " +
           time_text(pass.points.front().seconds_of_day) + "</text>\n";
  }
  out += "</g>\n";
}

void append_dome(std::string& out) {
  out += "<circle class=\"dome\" cx=\"0\" cy=\"0\" r=\"" + number_text(kRim, 0) + "\"/>\n";
  out += "<line class=\"axis\" x1=\"0\" y1=\"-200\" x2=\"0\" y2=\"200\"/>"
         "<line class=\"axis\" x1=\"-200\" y1=\"0\" x2=\"200\" y2=\"0\"/>\n";
  for (const int altitude : {30, 60}) {
    const double r = kRim * (kRightAngle - altitude) / kRightAngle;
    out += "<circle class=\"ring\" cx=\"0\" cy=\"0\" r=\"" + number_text(r, 1) + "\"/>" +
           "<text class=\"ring-label\" x=\"4\" y=\"" + number_text(-r + 8, 1) + "\">" +
           std::to_string(altitude) + "&#176;</text>\n";
  }
  const double at = kRim + 16;
  out += "<text class=\"compass\" x=\"0\" y=\"" + number_text(-at, 0) + "\">N</text>" +
         "<text class=\"compass\" x=\"" + number_text(-at, 0) + "\" y=\"0\">E</text>" +
         "<text class=\"compass\" x=\"0\" y=\"" + number_text(at, 0) + "\">S</text>" +
         "<text class=\"compass\" x=\"" + number_text(at, 0) + "\" y=\"0\">W</text>\n";
}

std::string point_cell(const SkyPoint& p) { return "<td class=\"number\">" + point_place(p) + "</td>"; }

void append_pass_table(std::string& out, const ReportContents& report, const ReportNight& night,
                       const ChartOptions& options) {
  out += "<table class=\"passes\">\n<tr><th>Satellite</th><th>First point</th>"
         "<th>Highest point</th><th>Last point</th><th>Brightest</th></tr>\n";
  for (std::size_t k = 0; k < night.passes.size(); ++k) {
    const ReportPass& pass = report.passes[night.passes[k]];
    const std::vector<SkyPoint> points = sky_points(pass, options);
    std::string name = html_escaped(pass.label());
    if (pass.identification.ncat > 0 && !pass.identification.name.empty()) {
      name += " (" + std::to_string(pass.identification.ncat) + ")";
    }
    out += "<tr><td><span class=\"swatch\" style=\"background:" +
           std::string(kTrackColours[k % std::size(kTrackColours)]) + "\"></span>" + name + "</td>";
    if (points.empty()) {
      out += "<td></td><td></td><td></td>";
    } else {
      const auto highest = std::max_element(points.begin(), points.end(),
          [](const SkyPoint& a, const SkyPoint& b) { return a.altitude < b.altitude; });
      out += point_cell(points.front()) + point_cell(*highest) + point_cell(points.back());
    }
    std::optional<double> brightest;
    for (const ReportPoint& p : pass.points) {
      const PrintedValue& m = p[ReportField::Magnitude];
      if (m.has_number() && (!brightest || m.number < *brightest)) brightest = m.number;
    }
    out += "<td class=\"number\">" + (brightest ? number_text(*brightest, 1) : std::string("&#8212;")) +
           "</td></tr>\n";
  }
  out += "</table>\n";
}

std::string weekday_of(const LocalDate& date) {
  static const char* const kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const std::chrono::weekday w{std::chrono::sys_days(std::chrono::days(date.days()))};
  return kNames[w.c_encoding()];
}

void append_night(std::string& out, const ReportContents& report, const ReportNight& night,
                  const ChartOptions& options) {
  const LocalDate morning = LocalDate::from_days(night.evening.days() + 1);
  const DayHeader& header = report.headers[night.headers.front()];
  char window[64];
  std::snprintf(window, sizeof window, "%02d:%02d to %02d:%02d", static_cast<int>(header.windowStartHour),
                static_cast<int>(header.windowStartMinute), static_cast<int>(header.windowEndHour),
                static_cast<int>(header.windowEndMinute));
  out += "<section class=\"night\">\n<h2>Night of " + weekday_of(night.evening) + " " +
         date_text(night.evening) + " to " + weekday_of(morning) + " " + date_text(morning) +
         "</h2>\n<p class=\"window\">Observing window " + window + ", times " +
         html_escaped(header.zoneLabel) + " on the 24-hour clock; " +
         std::to_string(night.passes.size()) + (night.passes.size() == 1 ? " pass" : " passes") +
         ".</p>\n";
  out += "<svg class=\"sky\" viewBox=\"" +
         number_text(-kHalfView, 0) + " " + number_text(-kHalfView, 0) + " " +
         number_text(2 * kHalfView, 0) + " " + number_text(2 * kHalfView, 0) + "\">\n";
  append_dome(out);
  for (std::size_t k = 0; k < night.passes.size(); ++k) {
    append_pass(out, report.passes[night.passes[k]], k, options);
  }
  out += "</svg>\n";
  append_pass_table(out, report, night, options);
  out += "</section>\n";
}

std::string site_text(const SettingsLine& s) {
  return number_text(std::fabs(s.latitude), 3) + "&#176; " + (s.latitude < 0 ? "S" : "N") + ", " +
         number_text(std::fabs(s.westLongitude), 3) + "&#176; " + (s.westLongitude < 0 ? "E" : "W") +
         ", " + number_text(s.heightFeet, 0) + " ft";
}

}  // namespace

std::string sky_chart_page(const ReportContents& report, const ChartOptions& options) {
  const std::string site = html_escaped(report.settings.siteName);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Sky charts: " +
                    site + "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n";
  out += "<h1>Sky charts: " + site + "</h1>\n<p class=\"about\">" + html_escaped(options.title) +
         ": " + site_text(report.settings) + "; report format " +
         html_escaped(std::string(1, report.formatLetter)) + ", " +
         std::to_string(report.passes.size()) + " passes, " + std::to_string(report.predictionLines) +
         " prediction lines.</p>\n<p class=\"about\">Each chart is the sky seen looking up: the zenith "
         "at the centre, the horizon at the rim, north up and east to the left; rings at 30&#176; and "
         "60&#176; of altitude. Tracks run through the points of each pass, the arrow shows the "
         "direction of motion, and brighter points are drawn larger and lighter.";
  if (options.azimuthsFromSouth) out += " Azimuths were counted from the south in the report.";
  out += "</p>\n";
  if (report.nights.empty()) out += "<p class=\"about\">The report has no predictions.</p>\n";
  for (const ReportNight& night : report.nights) append_night(out, report, night, options);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace vespera::chart
