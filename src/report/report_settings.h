// ReportSettings: what of a run's settings shapes its report: the format
// letters of line 17, the distances' unit, the empty line before a pass, and
// the clock of line 5. The report's routines read these and no other setting.
#pragma once

#include <cstdint>

#include "vocabulary/fixed_text.h"
#include "vocabulary/run_settings.h"

namespace vespera {

struct ReportSettings {
  ReportSettings() = default;
  // The report's part of a run's settings.
  ReportSettings(const RunSettings& s)  // NOLINT(implicit): the narrow view of the settings
      : formatLetter(s.formatLetter),
        rangePhaseLetter(s.rangePhaseLetter),
        detailLetter(s.detailLetter),
        azimuthLetter(s.azimuthLetter),
        radarFormat(s.radarFormat),
        detailListing(s.detailListing),
        distancesInMiles(s.distancesInMiles),
        blankLineBeforePass(s.blankLineBeforePass),
        zoneOffsetHours(s.zoneOffsetHours),
        zoneLabel(s.zoneLabel),
        clockHours(s.clockHours) {}

  char formatLetter = 'A';        // A, B, C, D, E or R
  char rangePhaseLetter = ' ';    // P: phase angle instead of range (B, C)
  char detailLetter = ' ';        // N: no comment lines (B, C)
  char azimuthLetter = ' ';       // A: azimuths from the south
  bool radarFormat = false;       // format R
  bool detailListing = false;     // detail text in the identification (A, D)
  bool distancesInMiles = false;  // else kilometres
  bool blankLineBeforePass = false;
  float zoneOffsetHours = 0.0f;   // added to UT
  FixedText<4> zoneLabel;
  int32_t clockHours = 24;        // 12: a 12-hour clock
};

}  // namespace vespera
