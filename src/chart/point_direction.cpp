#include "chart/point_direction.h"

namespace vespera::chart {

std::optional<Horizontal> point_direction(const ReportPoint& point, bool azimuths_from_south) {
  const std::optional<double> altitude = point.altitude();
  const std::optional<double> azimuth = point.azimuth();
  if (!altitude || !azimuth) return std::nullopt;
  const bool whole_degrees = point[ReportField::AzimuthDegrees].state == PrintedValue::State::Absent;
  return Horizontal{*altitude, azimuths_from_south && whole_degrees ? wrap_degrees(*azimuth + 180.0)
                                                                    : wrap_degrees(*azimuth)};
}

}  // namespace vespera::chart
