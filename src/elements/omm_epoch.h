// The epoch of an OMM record: an ISO 8601 date and time of UTC, as
// "2026-07-19T03:50:02.107968" (calendar date) or "2026-200T03:50:02.107968"
// (day of the year), with an optional "Z". Without a time it is midnight.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vespera {

struct OmmEpoch {
  int32_t year = 0;
  int32_t dayOfYear = 0;       // 1 is January 1
  double secondsOfDay = 0.0;   // 0 <= s < 86401 (a leap second is allowed)
};

// parse_omm_epoch: the epoch written in `text`; none when it is not such a
// date and time, or names no real date (month 13, February 30, hour 24, ...).
std::optional<OmmEpoch> parse_omm_epoch(std::string_view text);

}  // namespace vespera
