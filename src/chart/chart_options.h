// What the chart program is asked to draw, from its command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/report_records.h"

namespace vespera::chart {

// Which passes a night's chart draws: those that every given condition
// takes, at most `limit` of them (0: all), the brightest first.
struct PassChoice {
  static constexpr std::size_t kDefaultLimit = 30;
  std::size_t limit = kDefaultLimit;
  // A catalogue number (digits only) or a part of the name, any case; a
  // pass of any of them is taken.
  std::vector<std::string> satellites;
  std::vector<LocalDate> nights;  // evenings; empty: every night
  std::optional<double> brighterThan;  // magnitude
  std::optional<double> higherThan;    // degrees of altitude
};

struct ChartOptions {
  std::string title;  // the report's file name, shown on the page
  // The report counts its azimuths from the south (letter A on the format
  // line): turn the whole-degree azimuths back by 180 degrees. The report
  // itself cannot tell; format E's azimuths are never turned.
  bool azimuthsFromSouth = false;
  PassChoice choice;
  // Hours added to UT to give the report's clock; without it, each night's
  // is found from its points (their right ascensions and sidereal time).
  std::optional<double> utcOffsetHours;
  std::string csvName;  // the CSV table's name as given, for the page; empty without one
  std::optional<int32_t> alarmMinutes;  // the calendar's alarm before each pass
};

}  // namespace vespera::chart
