// Labels that never overlap: the boxes of every label and tag on the charts
// of the example's nights and passes, and of a crowded night of the
// whole-catalogue month (its 30 brightest passes by default, and all 150 of
// the test's excerpt), meet no other; and the layout itself.
#include "chart/label_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/drawn_pass.h"
#include "chart/night_chart.h"
#include "chart/pass_chart.h"
#include "chart/pass_choice.h"
#include "chart_test_support.h"
#include "report/report_reader.h"

namespace vespera::chart {
namespace {

using namespace test_support;

// The first pair of boxes that overlap, as text; empty when none do.
std::string overlap(const std::vector<Box>& boxes) {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      if (boxes[i].overlaps(boxes[j])) return "boxes " + std::to_string(i) + " and " + std::to_string(j);
    }
  }
  return {};
}

struct Charted {
  std::size_t passes = 0, labels = 0, tags = 0;
};

// Draws every night of a report with at most `limit` passes; checks the
// boxes of the night's chart and of each pass's chart.
Charted check_report(const std::string& text, std::size_t limit) {
  ReportContents report;
  ReportReadError error;
  EXPECT_TRUE(read_report(text, report, error)) << error.expected;
  PassChoice choice;
  choice.limit = limit;
  Charted charted;
  for (const ReportNight& night : report.nights) {
    NightPassChoice chosen(choice);
    for (const std::size_t p : night.passes) chosen.offer(ReportPass(report.passes[p]));
    const std::vector<DrawnPass> drawn = drawn_passes(chosen.take(), "n1", false);
    const SkyChart chart = night_chart(drawn);
    EXPECT_EQ(overlap(chart.labels), "") << "the night of " << night.evening.day;
    charted.passes += drawn.size();
    charted.labels += count(chart.svg, "class=\"label\"");
    charted.tags += count(chart.svg, "class=\"tag\"");
    EXPECT_EQ(chart.labels.size(), count(chart.svg, "<text class=\"label\"") + count(chart.svg, "<text class=\"tag\""));
    for (const DrawnPass& d : drawn) {
      EXPECT_EQ(overlap(pass_chart(d, PassSky{}).labels), "") << d.title();
    }
  }
  return charted;
}

TEST(LabelLayout, NoTwoLabelsOverlapOnTheExample) {
  const Charted c = check_report(example_report(), PassChoice::kDefaultLimit);
  EXPECT_EQ(c.passes, 34u);
  EXPECT_EQ(c.labels + c.tags, 34u);  // every pass keeps a label or its number
  EXPECT_GE(c.labels, 30u);
}

TEST(LabelLayout, NoTwoLabelsOverlapOnACrowdedNight) {
  const Charted thirty = check_report(crowded_night(), PassChoice::kDefaultLimit);
  EXPECT_EQ(thirty.passes, 30u);
  EXPECT_EQ(thirty.labels + thirty.tags, 30u);
  const Charted all = check_report(crowded_night(), 0);
  EXPECT_EQ(all.passes, 150u);
  EXPECT_GT(all.tags, 0u);  // too many for a label each
}

TEST(LabelLayout, PlacesBesideTheAnchorThenFartherThenNowhere) {
  LabelLayout layout(Box{0, 0, 100, 100});
  const Xy anchor{50, 50};
  std::vector<Box> placed;
  bool far = false;
  for (int i = 0; i < 40; ++i) {
    const auto label = layout.place({&anchor, 1}, 30, 10);
    if (!label) break;
    EXPECT_TRUE(label->leader || !far);  // the places close by first
    EXPECT_EQ(label->leader, i >= 2);    // right and left of it; the other sides meet those
    far = label->leader;
    EXPECT_TRUE(label->box.inside(Box{0, 0, 100, 100}));
    placed.push_back(label->box);
  }
  EXPECT_EQ(overlap(placed), "");
  EXPECT_LT(placed.size(), 40u);
  EXPECT_FALSE(layout.place({&anchor, 1}, 30, 10));
  EXPECT_FALSE(layout.place({&anchor, 1}, 200, 10));  // wider than the drawing
}

TEST(LabelLayout, KeepsClearOfOccupiedBoxes) {
  LabelLayout layout(Box{0, 0, 100, 100});
  layout.occupy(Box{50, 40, 100, 60});  // everything right of the anchor
  const Xy anchor{50, 50};
  const auto label = layout.place({&anchor, 1}, 20, 10, false);
  ASSERT_TRUE(label);
  EXPECT_LE(label->box.right, 50.0);
  EXPECT_EQ(layout.placed().size(), 1u);
}

TEST(LabelFont, MeasuresColumnsAndBoxes) {
  EXPECT_EQ(LabelFont::columns("ISS (ZARYA)"), 11u);
  EXPECT_EQ(LabelFont::columns("\xC3\x89TOILE"), 6u);      // a two-byte letter: one column
  EXPECT_EQ(LabelFont::columns("\xE5\xA4\xA9\xE5\xAE\xAB"), 4u);  // two wide characters
  const LabelFont font{10.0};
  const Box b = font.box_at(0, 0, "ABCDE");
  EXPECT_DOUBLE_EQ(b.width(), 5 * 0.602 * 10 + 2 * LabelFont::kMargin);
  EXPECT_DOUBLE_EQ(b.height(), font.box_height());
  EXPECT_DOUBLE_EQ(font.baseline_for_top(b.top), 0.0);
}

}  // namespace
}  // namespace vespera::chart
