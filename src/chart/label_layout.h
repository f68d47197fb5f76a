// Labels that never overlap. Each label is put at the first free place among
// candidates around its anchors (points of its track): on each side and
// corner of an anchor, close to it first, then farther away (then joined to
// the anchor by a short leader line). A place is free when the label's box
// meets no box placed before it and lies inside the drawing. The boxes are
// measured with the labels' own font (a monospaced one, whose every
// character takes the same advance), with a margin; a spatial grid keeps the
// test of a place short however many labels there are.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vespera::chart {

struct Xy {
  double x = 0.0;
  double y = 0.0;
};

struct Box {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;

  double width() const { return right - left; }
  double height() const { return bottom - top; }
  // Boxes that only touch do not overlap.
  bool overlaps(const Box& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  bool inside(const Box& o) const {
    return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom;
  }
};

// The labels' font: the page names monospaced fonts whose characters all
// advance 0.6 em (DejaVu Sans Mono, Liberation Mono, Courier New...), and
// pins each label's width to this measure with textLength.
struct LabelFont {
  static constexpr std::string_view kFamily =
      "'DejaVu Sans Mono', 'Liberation Mono', 'Noto Sans Mono', 'Courier New', monospace";
  static constexpr double kAdvance = 0.602;  // em per character
  static constexpr double kAscent = 0.95;   // em above the baseline, with room for any of them
  static constexpr double kDescent = 0.30;  // em below it
  static constexpr double kMargin = 1.5;    // units around the box

  double size = 11.0;  // units of the drawing

  // Columns of a UTF-8 text: characters of three or four bytes (among them
  // the wide ones of East Asian scripts) counted twice.
  static std::size_t columns(std::string_view text);
  double text_width(std::string_view text) const { return static_cast<double>(columns(text)) * kAdvance * size; }
  // The box of a text whose baseline starts at (x, y), margin included.
  Box box_at(double x, double baseline, std::string_view text) const;
  // Where the baseline of a text goes for the text's box (margin included)
  // to have this top.
  double baseline_for_top(double top) const { return top + kMargin + kAscent * size; }
  double box_height() const { return (kAscent + kDescent) * size + 2 * kMargin; }
  double box_width(std::string_view text) const { return text_width(text) + 2 * kMargin; }
};

struct PlacedLabel {
  Box box;          // margin included
  Xy anchor;        // the anchor it was placed at
  bool leader = false;  // placed away from the anchor: draw a line to it
};

class LabelLayout {
 public:
  // Labels go inside `area`.
  explicit LabelLayout(const Box& area);

  // A box that labels must keep clear of (a compass letter, a legend).
  void occupy(const Box& box);
  // The first free place for a box of this size around the anchors (in the
  // order of preference); nullopt when none is free. `far` allows places
  // away from the anchors, with a leader line.
  std::optional<PlacedLabel> place(std::span<const Xy> anchors, double width, double height, bool far = true);

  // The boxes of the labels placed so far (not those occupied).
  std::vector<Box> placed() const;

 private:
  bool is_free(const Box& box) const;
  std::size_t column_of(double x) const;
  std::size_t row_of(double y) const;
  void add(const Box& box);

  Box area_;
  std::size_t columns_, rows_;
  std::vector<std::vector<std::size_t>> cells_;  // the boxes that meet each cell of the grid
  std::vector<Box> boxes_;
  std::vector<bool> is_label_;  // of each box
};

}  // namespace vespera::chart
