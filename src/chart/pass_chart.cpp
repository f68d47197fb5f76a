#include "chart/pass_chart.h"

#include <cmath>

#include "chart/chart_text.h"
#include "chart/sky_drawing.h"

namespace vespera::chart {

namespace {

constexpr double kRim = 140.0;
constexpr double kHalfView = 165.0;
constexpr double kLetterSize = 12.0;

// Stars by brightness: the faintest magnitude of each size, and its radius.
struct StarSize {
  double faintest;
  double radius;
  const char* opacity;
};
constexpr StarSize kStarSizes[] = {
    {0.5, 3.0, "1"}, {1.5, 2.4, "1"}, {2.5, 1.8, "0.95"}, {3.5, 1.3, "0.8"}, {99.0, 0.9, "0.6"}};

std::string whole_xy(const Xy& p) { return whole_text(p.x) + " " + whole_text(p.y); }

// One path a size, a dot ("M x y h0" with round caps) a star.
void append_stars(std::string& out, const std::vector<VisibleStar>& stars) {
  std::string paths[std::size(kStarSizes)];
  for (const VisibleStar& s : stars) {
    std::size_t k = 0;
    while (s.magnitude > kStarSizes[k].faintest) ++k;
    paths[k] += "M" + whole_xy(project(s.seen, kRim)) + "h0";
  }
  for (std::size_t k = 0; k < std::size(kStarSizes); ++k) {
    if (paths[k].empty()) continue;
    out += "<path class=\"stars\" stroke-width=\"" + number_text(2 * kStarSizes[k].radius, 1) +
           "\" stroke-opacity=\"" + kStarSizes[k].opacity + "\" d=\"" + paths[k] + "\"/>\n";
  }
}

void append_track(std::string& out, const DrawnPass& d, const std::vector<Xy>& xy) {
  const std::string colour(d.colour());
  out += track_line(d, xy);
  for (const Xy& p : xy) {
    out += "<circle class=\"point\" cx=\"" + number_text(p.x, 1) + "\" cy=\"" + number_text(p.y, 1) +
           "\" r=\"2.5\" fill=\"" + colour + "\"/>";
  }
  out += "\n";
}

// The times of the points (first, last and highest first, with leader
// lines where needed; the others where there is room) and the shadow
// crossings.
void append_labels(std::string& out, const DrawnPass& d, const std::vector<Xy>& xy, LabelLayout& layout) {
  const LabelFont font{9.5};
  for (const ShadowCrossing& c : d.shadow) {
    const std::optional<Xy> at = crossing_place(d, c, kRim);
    if (!at) continue;
    out += "<circle class=\"shadow\" cx=\"" + number_text(at->x, 1) + "\" cy=\"" + number_text(at->y, 1) +
           "\" r=\"3.5\"/>\n";
    const std::string text = shadow_text(c);
    if (const auto placed = layout.place({&*at, 1}, font.box_width(text), font.box_height())) {
      append_label(out, *placed, font, text, "label", "#e0e0e0");
    }
  }
  std::vector<std::size_t> order;
  if (!xy.empty()) order = {0, xy.size() - 1, d.highest.value_or(0)};
  for (std::size_t i = 1; i + 1 < xy.size(); ++i) order.push_back(i);
  std::vector<bool> done(xy.size(), false);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::size_t i = order[k];
    if (done[i]) continue;
    done[i] = true;
    const std::string text = time_text(d.pass.points[d.track[i].point].seconds_of_day);
    if (const auto placed = layout.place({&xy[i], 1}, font.box_width(text), font.box_height(), k < 3)) {
      append_label(out, *placed, font, text, "label", d.colour());
    }
  }
}

}  // namespace

int64_t utc_seconds(int64_t local_seconds, double utc_offset_hours) {
  return local_seconds - static_cast<int64_t>(std::llround(utc_offset_hours * 3600.0));
}

SkyChart pass_chart(const DrawnPass& d, const PassSky& sky) {
  SkyChart chart;
  std::string& out = chart.svg;
  const std::string view = number_text(-kHalfView, 0);
  const std::string size = number_text(2 * kHalfView, 0);
  out += "<svg class=\"pass-sky\" viewBox=\"" + view + " " + view + " " + size + " " + size + "\">\n";
  LabelLayout layout(Box{-kHalfView, -kHalfView, kHalfView, kHalfView});
  append_dome(out, kRim, kLetterSize, layout);
  if (sky.stars != nullptr && sky.utcOffsetHours && sky.site != nullptr && d.highest) {
    const ReportPoint& top = d.pass.points[d.track[*d.highest].point];
    const double day = julian_day(utc_seconds(top.local_seconds(), *sky.utcOffsetHours));
    const double sidereal = greenwich_sidereal_degrees(day) - sky.site->westLongitude;
    append_stars(out, sky.stars->visible(sidereal, sky.site->latitude));
  }
  std::vector<Xy> xy;
  for (const TrackPoint& t : d.track) xy.push_back(project(t.seen, kRim));
  append_track(out, d, xy);
  append_labels(out, d, xy, layout);
  out += "</svg>\n";
  chart.labels = layout.placed();
  return chart;
}

}  // namespace vespera::chart
