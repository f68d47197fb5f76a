#include "chart/zone_offset.h"

#include <algorithm>
#include <cmath>

#include "chart/point_direction.h"
#include "chart/sky_place.h"

namespace vespera::chart {

namespace {

// Near the zenith a whole-degree azimuth leaves the hour angle too loose.
constexpr double kHighestUsed = 80.0;
constexpr double kSiderealDegreesPerHour = 360.98564736629 / 24.0;
constexpr double kSiderealRepeatHours = 360.0 / kSiderealDegreesPerHour;

}  // namespace

void ZoneOffsetFinder::add(const ReportPoint& point) {
  if (samples_.size() >= kMostSamples) return;
  const PrintedValue& ra_hours = point[ReportField::RaHours];
  const PrintedValue& ra_minutes = point[ReportField::RaMinutes];
  const std::optional<Horizontal> seen = point_direction(point, azimuths_from_south_);
  if (!ra_hours.has_number() || !ra_minutes.has_number() || !seen || seen->altitude > kHighestUsed) return;
  // The local clock read as if it were UT; the offset moves it back.
  const double clock_day = julian_day(point.local_seconds());
  const Equatorial printed{(ra_hours.number + ra_minutes.number / 60.0) * 15.0, 0.0};
  const Equatorial of_date = precess(printed, julian_day_of_year(site_.equinoxYear), clock_day);
  const Equatorial hour_angle = hour_angle_of(*seen, site_.latitude);
  const double greenwich = of_date.raDegrees + hour_angle.raDegrees + site_.westLongitude;
  const double hours = wrap_half_turn(greenwich_sidereal_degrees(clock_day) - greenwich) / kSiderealDegreesPerHour;
  const double solar = -site_.westLongitude / 15.0;
  double best = hours;
  for (const double k : {-1.0, 1.0}) {
    const double other = hours + k * kSiderealRepeatHours;
    if (std::fabs(other - solar) < std::fabs(best - solar)) best = other;
  }
  samples_.push_back(best);
}

std::optional<double> ZoneOffsetFinder::hours() const {
  if (samples_.empty()) return std::nullopt;
  std::vector<double> sorted = samples_;
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  return std::round(*middle * 4.0) / 4.0;
}

std::optional<double> zone_label_offset(std::string_view label) {
  const std::size_t end = label.find_last_not_of(' ');
  const std::string_view word = end == std::string_view::npos ? std::string_view() : label.substr(0, end + 1);
  if (word == "UT" || word == "UTC" || word == "GMT") return 0.0;
  return std::nullopt;
}

}  // namespace vespera::chart
