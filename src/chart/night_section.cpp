#include "chart/night_section.h"

#include <chrono>
#include <cmath>

#include "chart/chart_text.h"
#include "chart/night_chart.h"

namespace vespera::chart {

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool conditions_given(const PassChoice& c) {
  return !c.satellites.empty() || c.brighterThan || c.higherThan;
}

// How many passes the chart draws of how many, and where the others are.
std::string counts_text(const NightFacts& night, std::size_t drawn, const ChartOptions& options) {
  const PassChoice& c = options.choice;
  std::string text = "The night has " + plural(night.passes, "pass", "passes");
  if (conditions_given(c)) text += ", " + std::to_string(night.matching) + " of them as the options ask";
  if (drawn == night.matching) {
    text += drawn == 0 ? "; the chart draws none." : drawn == 1 ? "; the chart draws it." : "; the chart draws them all.";
  } else {
    text += "; the chart draws the " + std::to_string(drawn) + " brightest.";
  }
  const std::size_t others = night.passes - drawn;
  if (others > 0) {
    text += " " + plural(others, "more pass is", "more passes are") + " in the table of every prediction line (" +
            (options.csvName.empty() ? std::string("--csv FILE") : html_escaped(options.csvName)) +
            "); draw others with --passes N (0 for all), --satellite, --brighter-than, --higher-than or --night.";
  }
  return text;
}

std::string degrees_text(const Horizontal& seen, const ReportPoint& p) {
  const int d = p[ReportField::AzimuthDegrees].state != PrintedValue::State::Absent ? 2 : 0;
  return "alt " + number_text(seen.altitude, d) + "&#176; az " + number_text(seen.azimuth, d) + "&#176;";
}

std::string point_cell(const DrawnPass& d, std::size_t track_index) {
  const TrackPoint& t = d.track[track_index];
  const ReportPoint& p = d.pass.points[t.point];
  return "<td class=\"number\">" + time_text(p.seconds_of_day) + " " + degrees_text(t.seen, p) + "</td>";
}

void append_row(std::string& out, const DrawnPass& d) {
  out += "<tr id=\"" + d.row_id() + "\"><td class=\"number\">" + std::to_string(d.number) +
         "</td><td><span class=\"swatch\" style=\"background:" + std::string(d.colour()) + "\"></span>" +
         html_escaped(d.title()) + "</td>";
  if (d.track.empty()) {
    out += "<td></td><td></td><td></td>";
  } else {
    out += point_cell(d, 0) + point_cell(d, d.highest.value_or(0)) + point_cell(d, d.track.size() - 1);
  }
  out += "<td class=\"number\">";
  out += d.brightest ? number_text(*d.brightest, 1) : "&#8212;";
  out += "</td><td>";
  for (std::size_t i = 0; i < d.shadow.size(); ++i) {
    if (i > 0) out += "; ";
    out += shadow_text(d.shadow[i]);
  }
  out += "</td><td><a href=\"#" + d.chart_id() + "\">sky chart</a></td></tr>\n";
}

void append_table(std::string& out, const std::vector<DrawnPass>& passes) {
  out += "<table class=\"passes\">\n<tr><th>#</th><th>Satellite</th><th>First point</th><th>Highest point</th>"
         "<th>Last point</th><th>Brightest</th><th>Shadow</th><th>Chart</th></tr>\n";
  for (const DrawnPass& d : passes) append_row(out, d);
  out += "</table>\n";
}

std::string offset_text(double hours) {
  const long minutes = std::lround(std::fabs(hours) * 60.0);
  char text[48];
  std::snprintf(text, sizeof text, "UTC%c%ld:%02ld", hours < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

void append_pass_figure(std::string& out, const DrawnPass& d, const NightFacts& night, const PassSky& sky) {
  out += "<figure class=\"pass-chart\" id=\"" + d.chart_id() + "\">\n" + pass_chart(d, sky).svg + "<figcaption>" +
         std::to_string(d.number) + ". " + html_escaped(d.title());
  if (d.highest) {
    const ReportPoint& top = d.pass.points[d.track[*d.highest].point];
    out += ", highest " + number_text(d.track[*d.highest].seen.altitude, 0) + "&#176; at " +
           time_text(top.seconds_of_day) + " " + html_escaped(night.header.zoneLabel);
    if (sky.utcOffsetHours) {
      out += " (" + offset_text(*sky.utcOffsetHours) + "); the stars at that moment";
    } else {
      out += "; no stars: the report's offset from UT is not known (--utc-offset HOURS)";
    }
  }
  out += ". <a href=\"#" + d.row_id() + "\">Table</a></figcaption>\n</figure>\n";
}

}  // namespace

std::string weekday_date_text(const LocalDate& date) {
  static const char* const kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const std::chrono::weekday w{std::chrono::sys_days(std::chrono::days(date.days()))};
  return std::string(kNames[w.c_encoding()]) + " " + date_text(date);
}

std::string night_section(const NightFacts& night, const std::vector<DrawnPass>& passes,
                          const ChartOptions& options, const PassSky& sky) {
  const DayHeader& h = night.header;
  char window[64];
  std::snprintf(window, sizeof window, "%02d:%02d to %02d:%02d", static_cast<int>(h.windowStartHour),
                static_cast<int>(h.windowStartMinute), static_cast<int>(h.windowEndHour),
                static_cast<int>(h.windowEndMinute));
  std::string out = "<section class=\"night\">\n<h2>Night of " + weekday_date_text(night.evening) + " to " +
                    weekday_date_text(LocalDate::from_days(night.evening.days() + 1)) +
                    "</h2>\n<p class=\"window\">Observing window " + window + ", times " +
                    html_escaped(h.zoneLabel) + " on the 24-hour clock.</p>\n<p class=\"count\">" +
                    counts_text(night, passes.size(), options) + "</p>\n";
  if (!passes.empty()) {
    out += night_chart(passes).svg;
    append_table(out, passes);
    out += "<div class=\"pass-charts\">\n";
    for (const DrawnPass& d : passes) append_pass_figure(out, d, night, sky);
    out += "</div>\n";
  }
  out += "</section>\n";
  return out;
}

}  // namespace vespera::chart
