#include "chart/sky_drawing.h"

#include <algorithm>
#include <cmath>

#include "chart/chart_text.h"
#include "chart/drawn_pass.h"

namespace vespera::chart {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRightAngle = 90.0;

std::string n1(double v) { return number_text(v, 1); }

// An arrowhead at `at` pointing along the unit vector (ux, uy).
std::string arrowhead(const Xy& at, double ux, double uy, std::string_view colour) {
  const Xy tip{at.x + 7.0 * ux, at.y + 7.0 * uy};
  const Xy left{at.x - 4.0 * ux - 4.5 * uy, at.y - 4.0 * uy + 4.5 * ux};
  const Xy right{at.x - 4.0 * ux + 4.5 * uy, at.y - 4.0 * uy - 4.5 * ux};
  return "<path class=\"arrow\" d=\"M" + xy_text(tip) + " L" + xy_text(left) + " L" + xy_text(right) +
         " Z\" fill=\"" + std::string(colour) + "\"/>\n";
}

// The point of a box nearest to `p`.
Xy nearest_on(const Box& b, const Xy& p) {
  return Xy{std::clamp(p.x, b.left, b.right), std::clamp(p.y, b.top, b.bottom)};
}

}  // namespace

Xy project(const Horizontal& seen, double rim) {
  const double r = rim * (kRightAngle - std::clamp(seen.altitude, 0.0, kRightAngle)) / kRightAngle;
  const double a = seen.azimuth * kPi / 180.0;
  return Xy{-r * std::sin(a), -r * std::cos(a)};
}

std::string xy_text(const Xy& p) { return n1(p.x) + "," + n1(p.y); }

std::string points_text(std::span<const Xy> points) {
  std::string text;
  for (const Xy& p : points) {
    if (!text.empty()) text += ' ';
    text += xy_text(p);
  }
  return text;
}

void append_dome(std::string& out, double rim, double letter_size, LabelLayout& layout) {
  const std::string r = n1(rim), minus = n1(-rim);
  out += "<circle class=\"dome\" cx=\"0\" cy=\"0\" r=\"" + r + "\"/>\n";
  out += "<line class=\"axis\" x1=\"0\" y1=\"" + minus + "\" x2=\"0\" y2=\"" + r + "\"/><line class=\"axis\" x1=\"" +
         minus + "\" y1=\"0\" x2=\"" + r + "\" y2=\"0\"/>\n";
  for (const int altitude : {30, 60}) {
    const double ring = rim * (kRightAngle - altitude) / kRightAngle;
    out += "<circle class=\"ring\" cx=\"0\" cy=\"0\" r=\"" + n1(ring) + "\"/><text class=\"ring-label\" x=\"4\" y=\"" +
           n1(-ring + 8) + "\">" + std::to_string(altitude) + "&#176;</text>\n";
  }
  const double at = rim + letter_size * 1.15;
  const struct {
    const char* letter;
    Xy place;
  } letters[] = {{"N", {0, -at}}, {"E", {-at, 0}}, {"S", {0, at}}, {"W", {at, 0}}};
  for (const auto& l : letters) {
    out += "<text class=\"compass\" x=\"" + n1(l.place.x) + "\" y=\"" + n1(l.place.y) + "\">" + l.letter + "</text>";
    const double half = letter_size * 0.7;
    layout.occupy(Box{l.place.x - half, l.place.y - half, l.place.x + half, l.place.y + half});
  }
  out += "\n";
}

std::optional<Xy> crossing_place(const DrawnPass& pass, const ShadowCrossing& crossing, double rim) {
  std::optional<Xy> from, to;
  for (const TrackPoint& t : pass.track) {
    if (t.point == crossing.from) from = project(t.seen, rim);
    if (t.point == crossing.to) to = project(t.seen, rim);
  }
  if (!from || !to) return std::nullopt;
  const double f = crossing.fraction;
  return Xy{from->x + f * (to->x - from->x), from->y + f * (to->y - from->y)};
}

void append_label(std::string& out, const PlacedLabel& placed, const LabelFont& font, std::string_view text,
                  std::string_view css_class, std::string_view colour) {
  const Box& b = placed.box;
  if (placed.leader) {
    const Xy end = nearest_on(b, placed.anchor);
    out += "<line class=\"leader\" x1=\"" + n1(placed.anchor.x) + "\" y1=\"" + n1(placed.anchor.y) + "\" x2=\"" +
           n1(end.x) + "\" y2=\"" + n1(end.y) + "\" stroke=\"" + std::string(colour) + "\"/>";
  }
  out += "<rect class=\"plate\" x=\"" + n1(b.left) + "\" y=\"" + n1(b.top) + "\" width=\"" + n1(b.width()) +
         "\" height=\"" + n1(b.height()) + "\"/>";
  out += "<text class=\"" + std::string(css_class) + "\" x=\"" + n1(b.left + LabelFont::kMargin) + "\" y=\"" +
         n1(font.baseline_for_top(b.top)) + "\" textLength=\"" + n1(font.text_width(text)) +
         "\" lengthAdjust=\"spacingAndGlyphs\" fill=\"" + std::string(colour) + "\">" + html_escaped(text) +
         "</text>\n";
}

std::string direction_arrow(std::span<const Xy> track, std::string_view colour) {
  for (std::size_t k = 0; k + 1 < track.size(); ++k) {
    const std::size_t i = (track.size() / 2 + k) % (track.size() - 1);
    const Xy& a = track[i];
    const Xy& b = track[i + 1];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length < 1.0) continue;
    return arrowhead(Xy{(a.x + b.x) / 2, (a.y + b.y) / 2}, (b.x - a.x) / length, (b.y - a.y) / length, colour);
  }
  return {};
}

std::string heading_mark(const Xy& p, const Horizontal& seen, double direction, std::string_view colour) {
  const double r = std::hypot(p.x, p.y);
  const double a = seen.azimuth * kPi / 180.0;
  const double up_x = r > 0.5 ? -p.x / r : std::sin(a);
  const double up_y = r > 0.5 ? -p.y / r : std::cos(a);
  const double d = direction * kPi / 180.0;
  const double ux = std::cos(d) * up_x - std::sin(d) * std::cos(a);
  const double uy = std::cos(d) * up_y + std::sin(d) * std::sin(a);
  const Xy end{p.x + 12 * ux, p.y + 12 * uy};
  return "<line class=\"heading\" x1=\"" + n1(p.x) + "\" y1=\"" + n1(p.y) + "\" x2=\"" + n1(end.x) + "\" y2=\"" +
         n1(end.y) + "\" stroke=\"" + std::string(colour) + "\"/>\n" + arrowhead(end, ux, uy, colour);
}

std::string track_line(const DrawnPass& d, std::span<const Xy> xy) {
  const std::string colour(d.colour());
  std::string out = "<polyline class=\"track\" stroke=\"" + colour + "\" points=\"";
  out += points_text(xy);
  out += "\"/>\n";
  if (xy.size() > 1) {
    out += direction_arrow(xy, colour);
  } else if (xy.size() == 1) {
    const PrintedValue& direction = d.pass.points[d.track[0].point][ReportField::Direction];
    if (direction.has_number()) out += heading_mark(xy[0], d.track[0].seen, direction.number, colour);
  }
  return out;
}

}  // namespace vespera::chart
