// Where a prediction line's point stands in the sky, as the charts draw it.
#pragma once

#include <optional>

#include "chart/sky_place.h"
#include "report/report_records.h"

namespace vespera::chart {

// point_direction: the altitude and azimuth (from north) of a point;
// whole-degree azimuths counted from the south are turned back when
// `azimuths_from_south` (format E's are never turned); nullopt where the
// report printed asterisks.
std::optional<Horizontal> point_direction(const ReportPoint& point, bool azimuths_from_south);

}  // namespace vespera::chart
