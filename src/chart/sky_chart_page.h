// The sky-chart page of a report: one self-contained HTML page (inline SVG
// and CSS, no script, nothing loaded from elsewhere) with, for every night,
// a polar chart of the sky as seen looking up (zenith at the centre, the
// horizon as the rim, north up and east to the left, rings at 30 and 60
// degrees of altitude) on which every pass is drawn as a track through its
// points with its direction of motion and a label, and under it a table of
// the night's passes.
#pragma once

#include <string>
#include <string_view>

#include "report/report_reader.h"

namespace vespera::chart {

struct ChartOptions {
  std::string title;  // the report's file name, shown on the page
  // The report counts its azimuths from the south (letter A on the format
  // line): turn the whole-degree azimuths back by 180 degrees. The report
  // itself cannot tell; format E's azimuths are never turned.
  bool azimuthsFromSouth = false;
};

std::string sky_chart_page(const ReportContents& report, const ChartOptions& options);

}  // namespace vespera::chart
