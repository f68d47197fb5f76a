#include "report/line_values.h"

#include <cmath>

#include "format/format_writer.h"
#include "prediction/angles.h"
#include "report/report_layouts.h"

namespace vespera {

namespace {

// An angle in radians as single-precision degrees.
float degrees_of(float radians) {
  return static_cast<float>(static_cast<double>(radians) * static_cast<double>(kDegreesPerRadian));
}

// The internal writes that build the short texts of a line, in the layouts
// the report reader reads them by.
struct LineValueFormats {
  Format tim_text{layouts::kTimText.format};
  Format range_text{layouts::kRangeText.format};
  Format phase_text{layouts::kPhaseText.format};
  Format alt_az{layouts::kAltAzText.format};
  Format az_alt{layouts::kAzAltText.format};
  Format exact_az_alt{layouts::kExactAzAltText.format};
};

const LineValueFormats& formats() {
  static const LineValueFormats compiled;
  return compiled;
}

constexpr float kSixty = 60.0f;
constexpr int32_t kDegreesPerTurn = 360;
constexpr int32_t kHalfTurnDegrees = 180;

// Whole degrees of an angle in radians, rounded half up, truncated toward zero.
int32_t rounded_degrees(float radians) {
  return static_cast<int32_t>(static_cast<double>(radians) * static_cast<double>(kDegreesPerRadian) +
                              0.5);
}

}  // namespace

LocalTime local_time(float t, float zoneOffsetHours, int32_t clockHours) {
  LocalTime local;
  float u = 0.0f;
  split_turns(t, kHoursPerDay, local.day, u);
  u = static_cast<float>(static_cast<double>(u) + static_cast<double>(zoneOffsetHours));
  if (u >= kHoursPerDay) {
    local.day += 1;
    u = static_cast<float>(static_cast<double>(u) - static_cast<double>(kHoursPerDay));
  }
  if (u < 0.0f) {
    local.day -= 1;
    u = static_cast<float>(static_cast<double>(u) + static_cast<double>(kHoursPerDay));
  }
  float minutes = 0.0f;
  float seconds = 0.0f;
  split_turns(u, kSixty, local.hour, minutes);
  split_turns(minutes, kSixty, local.minute, seconds);
  local.second = static_cast<int32_t>(seconds);

  local.half = local.hour < 12 ? 1 : 2;
  if (clockHours == 12) {
    if (local.hour == 0) {
      local.hour = 12;
    } else if (local.hour >= 13) {
      local.hour -= 12;
    }
  }
  return local;
}

void compute_line_values(const PredictionRecord& record, float t, const ReportSettings& settings,
                         float site_rate_factor, LineValues& v) {
  const LineValueFormats& f = formats();

  const LocalTime local = local_time(t, settings.zoneOffsetHours, settings.clockHours);
  v.day = local.day;
  v.half = local.half;
  v.hour = local.hour;
  v.minute = local.minute;
  v.second = local.second;

  v.alt = rounded_degrees(record.altitude);
  v.az = rounded_degrees(record.azimuth);
  if (v.az == kDegreesPerTurn) v.az = 0;
  if (settings.azimuthLetter == 'A') {
    v.az = v.az < kHalfTurnDegrees ? v.az + kHalfTurnDegrees : v.az - kHalfTurnDegrees;
  }

  v.rng = settings.distancesInMiles
              ? static_cast<int32_t>(record.range)
              : static_cast<int32_t>(static_cast<double>(record.range) *
                                     static_cast<double>(kKilometresPerMile));

  if (!settings.radarFormat) {
    const double sin_az = std::sin(static_cast<double>(record.azimuth));
    const double cos_alt = std::cos(static_cast<double>(record.altitude));
    v.ew = static_cast<float>(
        static_cast<double>(site_rate_factor) * std::sqrt(1.0 - sin_az * sin_az * cos_alt * cos_alt) /
            static_cast<double>(record.range) +
        0.25 * std::cos(static_cast<double>(record.declination) *
                        static_cast<double>(kRadiansPerDegree)));
    float minutes = 0.0f;
    split_turns(static_cast<float>(static_cast<double>(record.right_ascension) +
                                   static_cast<double>(kHalfMinuteOfHours)),
                kSixty, v.rah, minutes);
    v.ram = static_cast<int32_t>(minutes);
    if (v.rah == 24) v.rah = 0;
  }

  if (record.time_error > kLargestUnprintedTimeError) {
    f.tim_text.record(v.tim_text, {record.time_error});
  } else {
    v.tim_text.clear();
  }
  v.c_text = record.walk_state == 0 ? 'C' : ' ';

  v.angle_text.clear();
  v.angle_length = 7;
  switch (settings.formatLetter) {
    case 'A':
    case 'C':
      f.alt_az.record(v.angle_text, {v.alt, v.az});
      break;
    case 'B':
    case 'D':
      f.az_alt.record(v.angle_text, {v.az, v.alt});
      break;
    case 'E':
      // The degrees are real items: each product is rounded to single
      // precision before it is edited.
      f.exact_az_alt.record(v.angle_text, {degrees_of(record.azimuth), degrees_of(record.altitude)});
      v.angle_length = 13;
      break;
    default:  // format R prints the angles as numbers
      v.angle_length = 0;
      break;
  }

  v.distance_text.clear();
  v.distance_length = 0;
  if (settings.formatLetter == 'B' || settings.formatLetter == 'C') {
    if (settings.rangePhaseLetter == 'P') {
      f.phase_text.record(v.distance_text, {record.phase_angle});
      v.distance_length = 4;
    } else {
      f.range_text.record(v.distance_text, {v.rng});
      v.distance_length = 5;
    }
  }
}

}  // namespace vespera
