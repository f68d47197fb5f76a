#include "chart/page_frame.h"

#include <cmath>

#include "chart/chart_text.h"
#include "chart/label_layout.h"

namespace vespera::chart {

namespace {

constexpr std::string_view kStyle = R"(
body { font-family: system-ui, sans-serif; background: #f4f4f0; color: #1a1a1a; margin: 2em; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
h2 { font-size: 1.2em; margin: 1.5em 0 0.3em; }
p.about, p.window, p.count { margin: 0.2em 0; color: #444; max-width: 60em; }
svg.sky { width: 520px; height: 520px; display: block; margin: 0.5em 0; }
svg.pass-sky { width: 330px; height: 330px; display: block; }
svg .dome { fill: #0b1630; stroke: #8090b0; stroke-width: 1.5; }
svg .ring { fill: none; stroke: #4a5a80; stroke-dasharray: 4 4; }
svg .axis { stroke: #2c3a5c; }
svg .compass, svg .ring-label { fill: #c8d0e0; font-size: 14px; text-anchor: middle; dominant-baseline: middle; }
svg.pass-sky .compass { font-size: 12px; }
svg .ring-label { font-size: 10px; fill: #7f8fb0; }
svg .track { fill: none; stroke-width: 2; stroke-linejoin: round; stroke-linecap: round; }
svg .stars { fill: none; stroke: #f4f0e0; stroke-linecap: round; }
svg .shadow { fill: #000; stroke: #fff; stroke-width: 1.2; }
svg .plate { fill: #0b1630; fill-opacity: 0.75; }
svg .leader { stroke-width: 0.8; }
svg .label, svg .tag { font-family: FONT; font-size: 11px; }
svg .tag { font-size: 9px; font-weight: bold; }
svg.pass-sky .label { font-size: 9.5px; }
table.passes { border-collapse: collapse; font-size: 0.9em; margin-top: 0.5em; }
table.passes th, table.passes td { border: 1px solid #bbb; padding: 0.2em 0.5em; text-align: left; white-space: nowrap; }
table.passes td.number { font-variant-numeric: tabular-nums; text-align: right; white-space: nowrap; }
table.passes th { background: #e4e4dc; }
table.passes tr:target { background: #fff3c0; }
span.swatch { display: inline-block; width: 0.8em; height: 0.8em; margin-right: 0.4em; border-radius: 50%; }
div.pass-charts { display: flex; flex-wrap: wrap; gap: 1em; margin-top: 1em; }
figure.pass-chart { margin: 0; width: 330px; }
figure.pass-chart:target { outline: 3px solid #e0a000; }
figure.pass-chart figcaption { font-size: 0.85em; color: #333; margin-top: 0.3em; }
)";

std::string site_text(const SettingsLine& s) {
  return number_text(std::fabs(s.latitude), 3) + "&#176; " + (s.latitude < 0 ? "S" : "N") + ", " +
         number_text(std::fabs(s.westLongitude), 3) + "&#176; " + (s.westLongitude < 0 ? "E" : "W") + ", " +
         number_text(s.heightFeet, 0) + " ft";
}

std::string style() {
  std::string css(kStyle);
  css.replace(css.find("FONT"), 4, LabelFont::kFamily);
  return css;
}

}  // namespace

std::string page_head(const SettingsLine& settings, const ChartOptions& options) {
  const std::string site = html_escaped(settings.siteName);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Sky charts: " +
                    site + "</title>\n<style>" + style() + "</style>\n</head>\n<body>\n";
  out += "<h1>Sky charts: " + site + "</h1>\n<p class=\"about\">" + html_escaped(options.title) + ": " +
         site_text(settings) +
         ".</p>\n<p class=\"about\">Each chart is the sky seen looking up: the zenith at the centre, the horizon at "
         "the rim, north up and east to the left; rings at 30&#176; and 60&#176; of altitude. Tracks run through "
         "the points of each pass, the arrow shows the direction of motion, brighter points are drawn larger and "
         "lighter, and a black dot marks where a pass enters or leaves the earth's shadow. Each night's chart "
         "draws ";
  out += options.choice.limit == 0 ? std::string("every pass that the options take")
                                   : "at most " + std::to_string(options.choice.limit) + " passes, the brightest first";
  out += "; under it, the table of those passes leads to a chart of each at its highest point, with the stars to "
         "magnitude 4.5.";
  if (options.azimuthsFromSouth) out += " Azimuths were counted from the south in the report.";
  out += "</p>\n";
  return out;
}

std::string page_foot(const PageTotals& t, const ChartOptions& options) {
  std::string out = "<p class=\"about\">The report (format " + html_escaped(std::string(1, t.formatLetter)) +
                    ") holds " + std::to_string(t.passes) + " passes in " + std::to_string(t.predictionLines) +
                    " prediction lines over " + std::to_string(t.nights) + " nights; the page draws " +
                    std::to_string(t.passesDrawn) + " passes of " + std::to_string(t.nightsDrawn) + " nights.";
  if (t.nights == 0) out += " The report has no predictions.";
  if (!options.csvName.empty()) out += " Every prediction line is in " + html_escaped(options.csvName) + ".";
  out += "</p>\n</body>\n</html>\n";
  return out;
}

}  // namespace vespera::chart
