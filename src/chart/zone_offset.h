// The hours that a report's clock is ahead of UT. The report prints its
// zone's label but not its offset; its points tell it: a point's right
// ascension with its hour angle (from its altitude and azimuth at the site)
// gives the sidereal time, and so the UT of the point's local time. A
// sidereal time repeats every 23.93 hours, so of the offsets it allows, the
// one nearest the site's mean solar time is taken.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "report/report_records.h"

namespace vespera::chart {

class ZoneOffsetFinder {
 public:
  ZoneOffsetFinder(const SettingsLine& site, bool azimuths_from_south)
      : site_(site), azimuths_from_south_(azimuths_from_south) {}

  // A point with its right ascension; points too near the zenith or
  // without the values are passed over.
  void add(const ReportPoint& point);
  // The median of the points' offsets, to the nearest quarter hour; nullopt
  // without a point.
  std::optional<double> hours() const;
  void clear() { samples_.clear(); }

 private:
  static constexpr std::size_t kMostSamples = 99;
  const SettingsLine& site_;
  bool azimuths_from_south_;
  std::vector<double> samples_;
};

// zone_label_offset: the offset of a zone label that can mean only one
// (UT, UTC, GMT: 0); nullopt for any other.
std::optional<double> zone_label_offset(std::string_view label);

}  // namespace vespera::chart
