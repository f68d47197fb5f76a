// The table of every prediction line as comma-separated values: one row a
// line, with its local date and time on the 24-hour clock, the zone, the
// satellite of its pass, and every column of the report's layout as a number
// (empty where the report printed blanks or asterisks).
#pragma once

#include <string>

#include "report/report_reader.h"

namespace vespera::chart {

// The header row and one row per prediction line, in the report's order.
std::string point_table_csv(const ReportContents& report);

}  // namespace vespera::chart
