#include "chart/night_chart.h"

#include <algorithm>
#include <tuple>

#include "chart/chart_text.h"
#include "chart/sky_drawing.h"

namespace vespera::chart {

namespace {

constexpr double kRim = 200.0;  // the horizon's radius on the chart
constexpr double kHalfView = 260.0;
constexpr double kLetterSize = 14.0;
// Magnitudes from the brightest to the faintest that the shading tells apart.
constexpr double kBrightest = -2.0;
constexpr double kFaintest = 6.0;

std::string n1(double v) { return number_text(v, 1); }

std::string degrees_text(double value, bool exact) { return number_text(value, exact ? 2 : 0) + "&#176;"; }

// "19:23:35 alt 29° az 223° mag 0.8"
std::string point_title(const ReportPoint& p, const Horizontal& seen) {
  const bool exact = p[ReportField::AzimuthDegrees].state != PrintedValue::State::Absent;
  std::string title = time_text(p.seconds_of_day) + " alt " + degrees_text(seen.altitude, exact) + " az " +
                      degrees_text(seen.azimuth, exact);
  const PrintedValue& magnitude = p[ReportField::Magnitude];
  if (magnitude.has_number()) title += " mag " + number_text(magnitude.number, 1);
  return title;
}

// Brighter points are larger and lighter; without a magnitude, one size.
std::string point_circle(const ReportPoint& p, const Xy& at, const std::string& title) {
  const PrintedValue& magnitude = p[ReportField::Magnitude];
  double radius = 3.0;
  int grey = 200;
  if (magnitude.has_number()) {
    const double b = std::clamp((kFaintest - magnitude.number) / (kFaintest - kBrightest), 0.0, 1.0);
    radius = 1.8 + 3.4 * b;
    grey = 90 + static_cast<int>(165.0 * b);
  }
  char fill[16];
  std::snprintf(fill, sizeof fill, "#%02x%02x%02x", grey, grey, std::min(255, grey + 20));
  return "<circle class=\"point\" cx=\"" + n1(at.x) + "\" cy=\"" + n1(at.y) + "\" r=\"" + n1(radius) + "\" fill=\"" +
         fill + "\"><title>" + title + "</title></circle>\n";
}

std::vector<Xy> track_xy(const DrawnPass& d) {
  std::vector<Xy> xy;
  for (const TrackPoint& t : d.track) xy.push_back(project(t.seen, kRim));
  return xy;
}

void append_pass(std::string& out, const DrawnPass& d) {
  const std::vector<Xy> xy = track_xy(d);
  const std::string name = html_escaped(d.pass.label());
  out += "<g class=\"pass\"><title>" + std::to_string(d.number) + " " + name + "</title>\n";
  out += track_line(d, xy);
  for (std::size_t i = 0; i < xy.size(); ++i) {
    const ReportPoint& p = d.pass.points[d.track[i].point];
    out += point_circle(p, xy[i], name + " " + point_title(p, d.track[i].seen));
  }
  for (const ShadowCrossing& c : d.shadow) {
    const std::optional<Xy> at = crossing_place(d, c, kRim);
    if (!at) continue;
    out += "<circle class=\"shadow\" cx=\"" + n1(at->x) + "\" cy=\"" + n1(at->y) + "\" r=\"4\"><title>" + name +
           " " + shadow_text(c) + "</title></circle>\n";
  }
  out += "</g>\n";
}

// The anchors of a pass's label, in the order of preference: its first
// point, its last, its highest, then the others.
std::vector<Xy> label_anchors(const DrawnPass& d) {
  const std::vector<Xy> xy = track_xy(d);
  std::vector<Xy> anchors;
  if (xy.empty()) return anchors;
  anchors.push_back(xy.front());
  if (xy.size() > 1) anchors.push_back(xy.back());
  const std::size_t highest = d.highest.value_or(0);
  if (highest != 0 && highest + 1 != xy.size()) anchors.push_back(xy[highest]);
  for (std::size_t i = 1; i + 1 < xy.size(); ++i) {
    if (i != highest) anchors.push_back(xy[i]);
  }
  return anchors;
}

}  // namespace

std::vector<const DrawnPass*> label_order(const std::vector<DrawnPass>& passes) {
  std::vector<const DrawnPass*> order;
  for (const DrawnPass& d : passes) order.push_back(&d);
  std::stable_sort(order.begin(), order.end(), [](const DrawnPass* a, const DrawnPass* b) {
    return std::make_tuple(!a->brightest, a->brightest.value_or(0.0)) <
           std::make_tuple(!b->brightest, b->brightest.value_or(0.0));
  });
  return order;
}

SkyChart night_chart(const std::vector<DrawnPass>& passes) {
  SkyChart chart;
  std::string& out = chart.svg;
  const std::string view = n1(-kHalfView);
  out += "<svg class=\"sky\" viewBox=\"" + view + " " + view + " " + n1(2 * kHalfView) + " " + n1(2 * kHalfView) +
         "\">\n";
  LabelLayout layout(Box{-kHalfView, -kHalfView, kHalfView, kHalfView});
  append_dome(out, kRim, kLetterSize, layout);
  for (const DrawnPass& d : passes) append_pass(out, d);
  const LabelFont font{11.0};
  const LabelFont tag_font{9.0};
  for (const DrawnPass* d : label_order(passes)) {
    const std::vector<Xy> anchors = label_anchors(*d);
    if (anchors.empty()) continue;
    const std::string text = d->pass.label() + " " + time_text(d->pass.points.front().seconds_of_day);
    if (const auto placed = layout.place(anchors, font.box_width(text), font.box_height())) {
      append_label(out, *placed, font, text, "label", d->colour());
      continue;
    }
    const std::string tag = std::to_string(d->number);
    if (const auto placed = layout.place(anchors, tag_font.box_width(tag), tag_font.box_height())) {
      append_label(out, *placed, tag_font, tag, "tag", d->colour());
    }
  }
  out += "</svg>\n";
  chart.labels = layout.placed();
  return chart;
}

}  // namespace vespera::chart
