// The chart of a night: every drawn pass as a track through its points with
// its direction of motion, its shadow crossings, and a label with its name
// and the time of its first point that overlaps no other label (or, where no
// place is free, the pass's number on a small tag).
#pragma once

#include <string>
#include <vector>

#include "chart/drawn_pass.h"
#include "chart/label_layout.h"

namespace vespera::chart {

struct SkyChart {
  std::string svg;
  std::vector<Box> labels;  // the boxes of its labels and tags
};

SkyChart night_chart(const std::vector<DrawnPass>& passes);

// The order in which passes get their labels: the brightest first (passes
// without a magnitude last), then by number.
std::vector<const DrawnPass*> label_order(const std::vector<DrawnPass>& passes);

}  // namespace vespera::chart
