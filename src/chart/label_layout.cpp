#include "chart/label_layout.h"

#include <algorithm>
#include <cmath>

namespace vespera::chart {

namespace {

constexpr double kCell = 40.0;  // units of the grid's cells
// Gaps between an anchor and the nearest edge of its label: close, then
// farther, with a leader line.
constexpr double kGaps[] = {3.0, 14.0, 28.0, 48.0};
constexpr double kLeaderFrom = 10.0;
// The sides and corners of an anchor, right and left first (where a label
// reads along its track least often).
constexpr Xy kSides[] = {{1, 0}, {-1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}, {0, -1}, {0, 1}};

// The box of width w and height h on one side of an anchor, `gap` away.
Box box_beside(const Xy& a, const Xy& side, double gap, double w, double h) {
  const double diagonal = side.x != 0 && side.y != 0 ? std::sqrt(0.5) : 1.0;
  const double dx = side.x * gap * diagonal, dy = side.y * gap * diagonal;
  const double left = side.x > 0 ? a.x + dx : side.x < 0 ? a.x + dx - w : a.x - w / 2;
  const double top = side.y > 0 ? a.y + dy : side.y < 0 ? a.y + dy - h : a.y - h / 2;
  return Box{left, top, left + w, top + h};
}

}  // namespace

std::size_t LabelFont::columns(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    n += length >= 3 ? 2 : 1;  // three- and four-byte characters may be wide
    i += length;
  }
  return n;
}

Box LabelFont::box_at(double x, double baseline, std::string_view text) const {
  return Box{x - kMargin, baseline - kAscent * size - kMargin, x + text_width(text) + kMargin,
             baseline + kDescent * size + kMargin};
}

LabelLayout::LabelLayout(const Box& area)
    : area_(area),
      columns_(static_cast<std::size_t>(std::ceil(std::max(area.width(), 1.0) / kCell))),
      rows_(static_cast<std::size_t>(std::ceil(std::max(area.height(), 1.0) / kCell))),
      cells_(columns_ * rows_) {}

std::size_t LabelLayout::column_of(double x) const {
  const double c = std::floor((x - area_.left) / kCell);
  return static_cast<std::size_t>(std::clamp(c, 0.0, static_cast<double>(columns_ - 1)));
}

std::size_t LabelLayout::row_of(double y) const {
  const double r = std::floor((y - area_.top) / kCell);
  return static_cast<std::size_t>(std::clamp(r, 0.0, static_cast<double>(rows_ - 1)));
}

void LabelLayout::add(const Box& box) {
  const std::size_t index = boxes_.size();
  boxes_.push_back(box);
  for (std::size_t r = row_of(box.top); r <= row_of(box.bottom); ++r) {
    for (std::size_t c = column_of(box.left); c <= column_of(box.right); ++c) cells_[r * columns_ + c].push_back(index);
  }
}

void LabelLayout::occupy(const Box& box) {
  add(box);
  is_label_.push_back(false);
}

std::vector<Box> LabelLayout::placed() const {
  std::vector<Box> labels;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    if (is_label_[i]) labels.push_back(boxes_[i]);
  }
  return labels;
}

bool LabelLayout::is_free(const Box& box) const {
  if (!box.inside(area_)) return false;
  for (std::size_t r = row_of(box.top); r <= row_of(box.bottom); ++r) {
    for (std::size_t c = column_of(box.left); c <= column_of(box.right); ++c) {
      for (const std::size_t other : cells_[r * columns_ + c]) {
        if (boxes_[other].overlaps(box)) return false;
      }
    }
  }
  return true;
}

std::optional<PlacedLabel> LabelLayout::place(std::span<const Xy> anchors, double width, double height, bool far) {
  for (const double gap : kGaps) {
    if (!far && gap >= kLeaderFrom) break;
    for (const Xy& anchor : anchors) {
      for (const Xy& side : kSides) {
        const Box box = box_beside(anchor, side, gap, width, height);
        if (!is_free(box)) continue;
        add(box);
        is_label_.push_back(true);
        return PlacedLabel{box, anchor, gap >= kLeaderFrom};
      }
    }
  }
  return std::nullopt;
}

}  // namespace vespera::chart
