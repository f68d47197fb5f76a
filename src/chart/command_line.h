// The chart program's command line:
//
//   vespera-chart REPORT [-o PAGE.html] [--csv FILE] [--ics FILE [--alarm MINUTES]]
//                 [--passes N] [--satellite NCAT-or-NAME]... [--night YYYY-MM-DD]...
//                 [--brighter-than MAG] [--higher-than DEG] [--utc-offset HOURS]
//                 [--azimuths-from-south]
//
// An option's value follows it as the next argument or after "=".
#pragma once

#include <string>
#include <string_view>

#include "chart/chart_options.h"

namespace vespera::chart {

inline constexpr std::string_view kUsage =
    "usage: vespera-chart REPORT [-o PAGE.html] [--csv FILE] [--ics FILE [--alarm MINUTES]]\n"
    "                     [--passes N] [--satellite NCAT-or-NAME]... [--night YYYY-MM-DD]...\n"
    "                     [--brighter-than MAG] [--higher-than DEG] [--utc-offset HOURS]\n"
    "                     [--azimuths-from-south]";

struct Arguments {
  std::string report;
  std::string page;  // empty: beside the report, with the extension .html
  std::string csv;
  std::string ics;
  ChartOptions options;
  bool help = false;
};

// parse_arguments: false with `problem` saying what is wrong.
bool parse_arguments(int argc, const char* const* argv, Arguments& arguments, std::string& problem);

}  // namespace vespera::chart
