// The chart of one pass: the sky at the pass's highest point with the bright
// stars to magnitude 4.5 drawn by brightness, the pass's track through its
// points with their times, its direction of motion and where it meets the
// earth's shadow; the labels of the times never overlap.
#pragma once

#include <optional>

#include "chart/drawn_pass.h"
#include "chart/night_chart.h"
#include "chart/star_field.h"
#include "report/report_records.h"

namespace vespera::chart {

struct PassSky {
  const StarField* stars = nullptr;  // the night's stars
  std::optional<double> utcOffsetHours;  // the night's clock ahead of UT; stars only when known
  const SettingsLine* site = nullptr;
};

SkyChart pass_chart(const DrawnPass& pass, const PassSky& sky);

// The UT (seconds since 1970) of a local time of the report.
int64_t utc_seconds(int64_t local_seconds, double utc_offset_hours);

}  // namespace vespera::chart
