// The pieces that every sky chart draws: the sky seen looking up (the zenith
// at the centre, the horizon as the rim, north up and east to the left) with
// rings at 30 and 60 degrees of altitude and the compass letters, and the
// projection of a place in the sky onto it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chart/label_layout.h"
#include "chart/shadow_crossing.h"
#include "chart/sky_place.h"

namespace vespera::chart {

struct DrawnPass;

// project: a place in the sky on a chart whose horizon has radius `rim`.
Xy project(const Horizontal& seen, double rim);
std::string xy_text(const Xy& p);
// "x,y x,y ..." of a polyline.
std::string points_text(std::span<const Xy> points);

// append_dome: the dome, its rings and compass letters (font-size
// `letter_size`); the letters' boxes are kept clear of labels.
void append_dome(std::string& out, double rim, double letter_size, LabelLayout& layout);

// The place of a shadow crossing on a pass's track (between two of its
// points, or carried on from the last two); nullopt when either point has
// no place.
std::optional<Xy> crossing_place(const DrawnPass& pass, const ShadowCrossing& crossing, double rim);

// A label at its placed box: a dark plate, the text pinned to its measured
// width, and the leader line to its anchor when it stands away from it.
void append_label(std::string& out, const PlacedLabel& placed, const LabelFont& font, std::string_view text,
                  std::string_view css_class, std::string_view colour);

// The direction of motion: an arrowhead along the track near its middle;
// for a single point, a short line with an arrowhead along the printed
// direction (0 toward the zenith, 90 toward increasing azimuth).
std::string direction_arrow(std::span<const Xy> track, std::string_view colour);
std::string heading_mark(const Xy& at, const Horizontal& seen, double direction, std::string_view colour);

// A pass's track through its points' places `xy` (those of pass.track), in
// its colour, with its direction of motion.
std::string track_line(const DrawnPass& pass, std::span<const Xy> xy);

}  // namespace vespera::chart
