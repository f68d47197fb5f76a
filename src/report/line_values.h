// The printed values of one prediction: local time on the report's clock,
// rounded angles, range in report units, the EW value, right ascension
// rounded to the minute, and the short texts the line layouts insert.
#pragma once

#include <cstdint>
#include <string_view>

#include "vocabulary/fixed_text.h"
#include "prediction/angles.h"
#include "prediction/prediction_table.h"
#include "report/report_settings.h"

namespace vespera {

// Hours of a day: local and window times are kept within 0-24 h.
inline constexpr float kHoursPerDay = 24.0f;
// Added to a right ascension in hours to round it to the nearest minute.
inline constexpr float kHalfMinuteOfHours = 0.0083333f;
// A timing error above this many seconds is printed in the Tim column.
inline constexpr int32_t kLargestUnprintedTimeError = 3;

struct LineValues {
  int32_t day = 0;     // d: local day offset from the run's start day number
  int32_t half = 1;    // 1 morning (local hour below 12), 2 evening
  int32_t hour = 0;    // H, on the report's clock (12 or 24 hours)
  int32_t minute = 0;  // M
  int32_t second = 0;  // S, truncated
  int32_t alt = 0;     // altitude, whole degrees, rounded
  int32_t az = 0;      // azimuth, whole degrees 0-359, turned by 180 with letter A
  int32_t rng = 0;     // range, whole km (or miles)
  float ew = 0.0f;     // EW value (not for format R)
  int32_t rah = 0;     // right ascension hours 0-23 (not for format R)
  int32_t ram = 0;     // right ascension minutes
  FixedText<4> tim_text;    // time_error under "(I4)", or blanks when it is small
  char c_text = ' ';        // 'C' at the point where the pass was found
  FixedText<13> angle_text;  // the angle columns; angle_length characters used
  int32_t angle_length = 0;  // 7, or 13 for format E, 0 for format R
  FixedText<5> distance_text;  // formats B and C: range "(I5)" or phase "(I4)"
  int32_t distance_length = 0;  // 5 for range, 4 for phase, 0 for other formats

  std::string_view angles() const { return angle_text.sub(0, static_cast<std::size_t>(angle_length)); }
  std::string_view distance() const {
    return distance_text.sub(0, static_cast<std::size_t>(distance_length));
  }
};

// Local time of an engine time on the report's clock.
struct LocalTime {
  int32_t day = 0;   // local day offset from the run's start day number
  int32_t half = 1;  // 1 morning, 2 evening (taken before the 12-hour clock)
  int32_t hour = 0;  // printed hour
  int32_t minute = 0;
  int32_t second = 0;  // truncated, not rounded
};

// local_time: given the engine time t (days from 0h UT of the start day
// number), the zone offset (hours, added to UT) and the clock (12 selects the
// 12-hour clock, any other value the 24-hour clock). Returned: the local day
// offset, half of the day and the printed hour, minute and second.
LocalTime local_time(float t, float zoneOffsetHours, int32_t clockHours);

// compute_line_values: given one record, its time t, the settings of the
// report format and the site constant site_rate_factor (990.8 x cos of the
// geocentric latitude). Returned: every printed value of the record's line.
void compute_line_values(const PredictionRecord& record, float t, const ReportSettings& settings,
                         float site_rate_factor, LineValues& values);

}  // namespace vespera
