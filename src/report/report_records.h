// What a report holds, as its reader gives it back: the settings line, the
// day headers, the passes with their identification and their points, and
// the nights they group into.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/layout_columns.h"
#include "report/report_layouts.h"

namespace vespera {

// A calendar date of the report (local).
struct LocalDate {
  int32_t year = 0;
  int32_t month = 0;  // 1-12
  int32_t day = 0;

  bool valid() const;
  // Days since 1970-01-01 (negative before), and the date that many days from it.
  int64_t days() const;
  static LocalDate from_days(int64_t days);
  friend bool operator==(const LocalDate&, const LocalDate&) = default;
};

// The settings line: the site and main settings as the control file gave them.
struct SettingsLine {
  double latitude = 0.0;
  double westLongitude = 0.0;
  double heightFeet = 0.0;
  std::string siteName;
  int32_t equinoxYear = 0;
  double magnitudeLimit = 0.0;
  int32_t minAltitude = 0;
  bool radarFormat = false;
  bool ignoreShadow = false;
  bool walkPasses = false;
  bool distancesInMiles = false;
  bool blankLineBeforePass = false;
};

struct DayHeader {
  int32_t line_number = 0;
  LocalDate date;
  std::string monthName;  // 4 characters as printed, "June", "Sept", "Oct "
  std::string weekday;    // 3 characters
  int32_t half = 1;       // 1 morning (times are AM), 2 evening (PM)
  std::string zoneLabel;  // 4 characters
  // The night's observing window on the 24-hour clock.
  int32_t windowStartHour = 0, windowStartMinute = 0;
  int32_t windowEndHour = 0, windowEndMinute = 0;
  int32_t column_header_line = 0;  // the column header under it

  // The evening on which the header's night begins: nights run from noon
  // to noon, so a morning header belongs to the night of the day before.
  LocalDate night_evening() const;
};

// One prediction line.
struct ReportPoint {
  int32_t line_number = 0;
  // The local date and time on the 24-hour clock: the header's date and
  // half of the day for the first point of a pass, the next time within the
  // pass for the others (a pass can run past midnight without a header).
  LocalDate date;
  int32_t seconds_of_day = 0;
  // Every value of the line by its field (Absent where the format has none).
  std::array<PrintedValue, kPointFieldCount> values{};

  const PrintedValue& operator[](ReportField field) const {
    return values[static_cast<std::size_t>(field)];
  }
  bool found_here() const { return (*this)[ReportField::FoundMark].number != 0.0; }
  // Altitude and azimuth in degrees: two decimals in format E, whole
  // degrees in the others; nullopt where asterisks stand.
  std::optional<double> altitude() const;
  std::optional<double> azimuth() const;
  // Seconds since 1970-01-01 00:00 of the local clock.
  int64_t local_seconds() const;
};

// The identification of a pass, as far as the report shows it.
struct PassIdentification {
  int32_t line_number = 0;
  std::string text;  // the identification line (A, D, E, R) or the end of the first line (B, C)
  int32_t ncat = 0;  // 0 when not shown (formats B and C with a name)
  std::string name, detail, sizes, crossSection, comment;
  char flag = ' ';
  PrintedValue standardMagnitude;
};

struct ReportPass {
  PassIdentification identification;
  std::size_t header = 0;  // the day header it is under, counted from 0 in the report
  std::string commentLine;  // formats B and C: the comment line under the first line
  int32_t comment_line_number = 0;
  std::vector<ReportPoint> points;

  // The satellite's name, or its catalogue number when no name is shown.
  std::string label() const;
};

// The columns of the prediction lines' values, in their order on the line
// (for a table of every column).
struct PointColumn {
  ReportField field;
  std::size_t first;  // 0-based column
  std::size_t width;
  int decimals;
};

// What the first column header tells of the whole report.
struct ReportFormat {
  char letter = ' ';         // A, B, C, D, E or R
  bool phaseShown = false;   // formats B and C: the phase angle instead of the range
  std::vector<PointColumn> pointColumns;
};

// The passes of one night: an evening and the morning after it.
struct ReportNight {
  LocalDate evening;                 // the date on which the night begins
  std::vector<std::size_t> headers;  // its day headers
  std::vector<std::size_t> passes;
};

// A whole report read into memory.
struct ReportContents {
  SettingsLine settings;
  char formatLetter = ' ';     // A, B, C, D, E or R; blank without predictions
  bool phaseShown = false;     // formats B and C: the phase angle instead of the range
  bool detailListing = false;  // formats A, D, E: identification with detail text
  std::vector<DayHeader> headers;
  std::vector<ReportPass> passes;
  std::vector<ReportNight> nights;
  std::size_t predictionLines = 0;
  using PointColumn = vespera::PointColumn;
  std::vector<PointColumn> pointColumns;
};

struct ReportReadError {
  int32_t line_number = 0;
  std::string expected;
};

}  // namespace vespera
