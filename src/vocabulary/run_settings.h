// RunSettings: every value of one control-file section, and the run's file
// names. One instance, overwritten field by field by each section.
#pragma once

#include <array>
#include <cstdint>

#include "vocabulary/fixed_text.h"

namespace vespera {

inline constexpr int kMaxSelectedNcats = 20;
inline constexpr int kMaxFlagLetters = 10;
inline constexpr int kMaxElementFiles = 10;

using FileName = FixedText<40>;

struct RunSettings {
  // Line 1-2: dates.
  int32_t year = 0;
  int32_t month = 0;
  int32_t firstDay = 0;  // raised by one in twilight mode
  int32_t lastDay = 0;
  // Line 3: window offsets, hours, and the optional window letter ("A": absolute mode).
  float startOffsetHours = 0.0f;
  float endOffsetHours = 0.0f;
  char windowLetter = ' ';
  // Line 4: site as the control file gives it (degrees, west positive, feet).
  float latitudeDeg = 0.0f;
  float westLongitudeDeg = 0.0f;
  float heightFeet = 0.0f;
  FixedText<24> siteName;
  // Line 5: clock of the report.
  float zoneOffsetHours = 0.0f;
  FixedText<4> zoneLabel;
  int32_t clockHours = 24;
  // Lines 6-9 (defaults when missing or invalid).
  int32_t equinoxYear = 1950;
  float magnitudeLimit = 12.0f;
  int32_t minAltitudeDeg = 15;
  float minAltitude = 0.0f;  // radians
  float stepScale = 1.0f;
  // Lines 10-15.
  bool keepElementsInMemory = true;
  bool dropOlderDuplicates = true;
  bool ignoreShadow = false;
  bool walkPasses = false;
  int32_t maxWalkSteps = 0;
  bool distancesInMiles = false;
  bool blankLineBeforePass = false;
  // Line 16 and 16a: selection and sky region.
  bool ncatListMode = false;
  int32_t selectionCount = 0;
  std::array<int32_t, kMaxSelectedNcats> ncatList{};
  FixedText<kMaxFlagLetters> flagLetters;
  bool altAzLimits = false;
  float altitudeMin = 0.0f, altitudeMax = 0.0f, azimuthMin = 0.0f, azimuthMax = 0.0f;  // radians
  bool raDecLimits = false;
  float raMin = 0.0f, raMax = 0.0f, decMin = 0.0f, decMax = 0.0f;  // radians
  // Line 17 and 17a: report format.
  char formatLetter = 'A';
  char rangePhaseLetter = ' ';
  char detailLetter = ' ';
  char azimuthLetter = ' ';
  bool rangeLimitOn = false;
  float rangeLimit = 0.0f;  // miles
  bool radarFormat = false;
  bool detailListing = false;

  // Lines 18 onward, filled by the run driver.
  FileName intrinsicFileName;
  FileName userOverrideFileName;
  FileName outputFileName;
  std::array<FileName, kMaxElementFiles> elementFileNames{};
  int32_t elementFileCount = 0;
  bool combineRuns = false;
};

}  // namespace vespera
