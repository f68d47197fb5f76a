// A night's part of the page: its heading and observing window, how many of
// its passes the chart draws and where the others are, the chart of the
// night, the table of the drawn passes (each row leading to its pass's
// chart) and the charts of the passes with the stars.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_options.h"
#include "chart/drawn_pass.h"
#include "chart/pass_chart.h"
#include "report/report_records.h"

namespace vespera::chart {

struct NightFacts {
  LocalDate evening;
  DayHeader header;          // its first day header
  std::size_t passes = 0;    // in the report
  std::size_t matching = 0;  // that the options take
  std::optional<double> utcOffsetHours;
};

std::string night_section(const NightFacts& night, const std::vector<DrawnPass>& passes,
                          const ChartOptions& options, const PassSky& sky);

// "Mon 2017-10-16"
std::string weekday_date_text(const LocalDate& date);

}  // namespace vespera::chart
