// The beginning and the end of the sky-chart page: one self-contained HTML
// page (inline SVG and CSS, no script, nothing loaded from elsewhere).
#pragma once

#include <cstddef>
#include <string>

#include "chart/chart_options.h"
#include "report/report_records.h"

namespace vespera::chart {

// The head, the style and the page's heading with what the charts show.
std::string page_head(const SettingsLine& settings, const ChartOptions& options);

struct PageTotals {
  char formatLetter = ' ';
  std::size_t nights = 0, nightsDrawn = 0;
  std::size_t passes = 0, passesDrawn = 0;
  std::size_t predictionLines = 0;
};

// What the report held and what the page drew, and the end of the page.
std::string page_foot(const PageTotals& totals, const ChartOptions& options);

}  // namespace vespera::chart
