// Round trip of the report's lines: random records, catalogue information and
// settings for every layout go through the writer's own line code into a
// report, and the report reader must read back, line by line, the values
// the writer printed (asterisks where a value did not fit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "format/format_writer.h"
#include "prediction/angles.h"
#include "report/day_number_to_date.h"
#include "report/line_values.h"
#include "report/prediction_lines.h"
#include "report/report_headers.h"
#include "report/report_layouts.h"
#include "report/report_reader.h"

namespace vespera {
namespace {

constexpr int32_t kStartDay = 58969;  // day 0 of May 2020
constexpr double kDegrees = 57.29577951308232;

// Draws values by hand from mt19937, the same on every platform.
class Draw {
 public:
  explicit Draw(uint32_t seed) : random_(seed) {}
  double uniform(double low, double high) {
    return low + (high - low) * (static_cast<double>(random_()) / 4294967296.0);
  }
  int32_t integer(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(random_() % static_cast<uint32_t>(high - low + 1));
  }
  bool chance(double p) { return uniform(0.0, 1.0) < p; }
  std::string text(std::size_t n) {
    static const std::string kChars = "ABCXYZ019 -/()<&>\"'.#";
    std::string t;
    for (std::size_t i = 0; i < n; ++i) t += kChars[random_() % kChars.size()];
    return t;
  }

 private:
  std::mt19937 random_;
};

RunSettings random_settings(Draw& d, char letter) {
  RunSettings s;
  s.formatLetter = letter;
  s.radarFormat = letter == 'R';
  s.rangePhaseLetter = d.chance(0.5) ? 'P' : ' ';
  s.azimuthLetter = d.chance(0.3) ? 'A' : ' ';
  s.detailLetter = d.chance(0.3) ? 'N' : (d.chance(0.5) ? 'D' : ' ');
  s.detailListing = (letter == 'A' || letter == 'D') && s.detailLetter == 'D';
  s.distancesInMiles = d.chance(0.5);
  s.blankLineBeforePass = d.chance(0.5);
  s.clockHours = d.chance(0.5) ? 12 : 24;
  s.zoneOffsetHours = static_cast<float>(d.integer(-48, 56) * 0.25);
  s.zoneLabel = FixedText<4>(d.text(4));
  return s;
}

PredictionRecord random_record(Draw& d) {
  PredictionRecord r;
  r.name = FixedText<16>(d.text(16));
  // Numbers from 100000 on are printed in the Alpha-5 form and read back.
  r.ncat = d.chance(0.2) ? d.integer(100000, 339999) : d.integer(1, 99999);
  r.walk_state = static_cast<int16_t>(d.integer(0, 2));
  r.direction = static_cast<int16_t>(d.integer(0, 359));
  r.altitude = static_cast<float>(d.uniform(-0.1, 1.5708));
  r.azimuth = static_cast<float>(d.chance(0.05) ? 6.2762 : d.uniform(0.0, 6.2831));
  r.right_ascension = static_cast<float>(d.uniform(0.0, 24.0));
  r.declination = static_cast<float>(d.chance(0.05) ? -90.0 : d.uniform(-90.0, 90.0));
  r.height = d.integer(100, d.chance(0.1) ? 150000 : 3000);
  r.shadow_height = d.integer(-500, d.chance(0.2) ? 20000 : 2000);
  r.range = static_cast<float>(d.chance(0.1) ? d.uniform(5.0, 70000.0) : d.uniform(150.0, 3000.0));
  r.phase_angle = d.integer(0, 180);
  r.age_days = static_cast<int16_t>(d.chance(0.1) ? d.integer(-2000, 32767) : d.integer(-5, 60));
  r.orbit_tenths = static_cast<int16_t>(d.integer(0, 9));
  r.time_error = d.chance(0.5) ? d.integer(0, 3) : d.integer(4, 500);
  r.magnitude = static_cast<float>(d.chance(0.05) ? -0.04 : d.uniform(-12.0, 24.0));
  return r;
}

MagnitudeInfo random_info(Draw& d) {
  MagnitudeInfo info;
  info.infoLevel = d.integer(1, 8);
  info.name = FixedText<16>(d.text(16));
  info.detail = FixedText<8>(d.text(8));
  info.flag = d.text(1)[0];
  for (FixedText<4>& size : info.sizes) size = FixedText<4>(d.text(4));
  info.crossSection = FixedText<4>(d.text(4));
  info.magnitude = static_cast<float>(d.uniform(-3.0, 20.0));
  info.commentLength = d.integer(0, 8);
  info.comment = FixedText<32>(d.text(32));
  return info;
}

std::string trimmed(std::string_view text) {
  return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

// What a value written under Iw or Fw.d reads back as: the value, or
// asterisks when it does not fit.
void expect_printed(const PrintedValue& got, double value, int width, int decimals,
                    const std::string& where) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::size_t length = std::string(text).size();
  if (std::fabs(value) < 1.0 && decimals > 0) --length;  // the zero before the point can go
  if (text[0] == '-' && std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) --length;
  if (length > static_cast<std::size_t>(width)) {
    EXPECT_EQ(got.state, PrintedValue::State::Asterisks) << where << " value " << value;
    return;
  }
  ASSERT_EQ(got.state, PrintedValue::State::Number) << where << " value " << value;
  EXPECT_NEAR(got.number, value, 0.5 * std::pow(10.0, -decimals) + 1e-6) << where;
}

// One random pass: its records and times, within the writer's 0.014-day window.
struct WrittenPoint {
  PredictionRecord record;
  float t;
  LineValues values;
};

class RoundTrip {
 public:
  RoundTrip(Draw& d, const RunSettings& s) : d_(d), s_(s) {
    Format(layouts::kSettingsLine.format)
        .append(text_, {40.0f, 75.0f, 300.0f, FixedText<24>("Round trip"), int32_t{2000}, 4.5f,
                        int32_t{10}, FormatItem::logical(s.radarFormat),
                        FormatItem::logical(false), FormatItem::logical(true),
                        FormatItem::logical(s.distancesInMiles),
                        FormatItem::logical(s.blankLineBeforePass)});
  }

  void write_pass() {
    std::vector<WrittenPoint> pass;
    float t = static_cast<float>(d_.uniform(0.0, 40.0));
    const int points = d_.integer(1, 3);
    const MagnitudeInfo info = random_info(d_);
    const float rate = static_cast<float>(d_.uniform(0.0, 990.0));
    for (int i = 0; i < points; ++i) {
      WrittenPoint p{random_record(d_), t, {}};
      compute_line_values(p.record, t, s_, rate, p.values);
      if (i == 0) {
        append_day_header(text_, p.values.day + kStartDay, p.values.half, s_.zoneOffsetHours,
                          s_.zoneLabel, static_cast<float>(d_.uniform(-2.0, 24.0)),
                          static_cast<float>(d_.uniform(0.0, 24.0)));
        append_column_header(text_, s_);
        if (s_.blankLineBeforePass) append_pass_separator(text_);
        append_pass_identification(text_, p.record.ncat, info, s_);
      }
      append_prediction_line(text_, p.record, p.values, s_, i == 0, info);
      const bool sky = !s_.radarFormat && (s_.formatLetter == 'B' || s_.formatLetter == 'C');
      if (i == 0 && sky) append_comment_line(text_, info, s_);
      pass.push_back(p);
      t = static_cast<float>(t + d_.uniform(0.0, 0.0135));
    }
    passes_.push_back(pass);
    infos_.push_back(info);
  }

  // Reads the report back and checks it; returns the prediction lines read.
  std::size_t check() const {
    ReportContents c;
    ReportReadError error;
    EXPECT_TRUE(read_report(text_, c, error)) << error.line_number << ": " << error.expected;
    check_contents(c);
    return c.predictionLines;
  }

 private:
  void check_contents(const ReportContents& c) const {
    EXPECT_EQ(c.formatLetter, s_.radarFormat ? 'R' : s_.formatLetter);
    EXPECT_EQ(c.settings.distancesInMiles, s_.distancesInMiles);
    ASSERT_EQ(c.passes.size(), passes_.size());
    for (std::size_t p = 0; p < passes_.size(); ++p) {
      ASSERT_EQ(c.passes[p].points.size(), passes_[p].size());
      check_identification(c, c.passes[p], passes_[p].front().record.ncat, infos_[p]);
      for (std::size_t i = 0; i < passes_[p].size(); ++i) {
        check_point(c, c.passes[p].points[i], passes_[p][i]);
      }
    }
  }

  void check_point(const ReportContents& c, const ReportPoint& got, const WrittenPoint& w) const {
    const std::string where = "line " + std::to_string(got.line_number);
    const PredictionRecord& r = w.record;
    const LineValues& v = w.values;
    const LocalTime local = local_time(w.t, s_.zoneOffsetHours, 24);
    const ReportDate date = day_number_to_date(local.day + kStartDay);
    EXPECT_EQ(got.date.year, date.year) << where;
    EXPECT_EQ(got.date.day, date.dayOfMonth) << where;
    EXPECT_EQ(got.seconds_of_day, local.hour * 3600 + local.minute * 60 + local.second) << where;
    EXPECT_EQ(got.found_here(), r.walk_state == 0) << where;
    if (r.time_error > 3) {
      expect_printed(got[ReportField::TimeError], r.time_error, 4, 0, where + " Tim");
    } else {
      EXPECT_EQ(got[ReportField::TimeError].state, PrintedValue::State::Blank) << where;
    }
    for (const ReportContents::PointColumn& column : c.pointColumns) {
      const std::string at = where + " " + std::string(field_name(column.field));
      const PrintedValue& value = got[column.field];
      const double expected = expected_value(column.field, r, v);
      if (std::isnan(expected)) continue;
      expect_printed(value, expected, static_cast<int>(column.width), column.decimals, at);
    }
  }

  double expected_value(ReportField field, const PredictionRecord& r, const LineValues& v) const {
    using F = ReportField;
    switch (field) {
      case F::Hour: return v.hour;
      case F::Minute: return v.minute;
      case F::Second: return v.second;
      case F::Altitude: return v.alt;
      case F::Azimuth: return v.az;
      case F::AzimuthDegrees: return r.azimuth * kDegrees;
      case F::AltitudeDegrees: return r.altitude * kDegrees;
      case F::Direction: return r.direction;
      case F::Magnitude: return r.magnitude;
      case F::AgeDays: return r.age_days;
      case F::OrbitTenths: return r.orbit_tenths;
      case F::Height: return r.height;
      case F::ShadowHeight: return r.shadow_height;
      case F::Range: return v.rng;
      case F::Ew: return v.ew;
      case F::PhaseAngle: return r.phase_angle;
      case F::RaHours: return v.rah;
      case F::RaMinutes: return v.ram;
      case F::Declination: return r.declination;
      default: return NAN;  // the mark and the time error are checked apart
    }
  }

  void check_identification(const ReportContents& c, const ReportPass& got, int32_t ncat,
                            const MagnitudeInfo& info) const {
    const PassIdentification& id = got.identification;
    const std::string where = "identification at line " + std::to_string(id.line_number);
    const int32_t level = info.infoLevel;
    const bool sky = c.formatLetter == 'B' || c.formatLetter == 'C';
    EXPECT_EQ(id.ncat, sky && level > 1 ? 0 : ncat) << where;
    EXPECT_EQ(id.name, level >= 2 ? trimmed(info.name.sub(0, 14)) : "") << where;
    if (level < 3) return;
    if (c.formatLetter != 'R') {
      EXPECT_EQ(id.crossSection, trimmed(info.crossSection.view())) << where;
    }
    EXPECT_EQ(id.flag, info.flag) << where;
    const std::size_t room = c.formatLetter == 'R' || sky ? 8 : (c.detailListing ? 6 : 8);
    const std::size_t words = level >= 7 ? std::min<std::size_t>(info.commentLength, room) : 0;
    std::string comment(info.comment.view().substr(0, 4 * words));
    if (words == 6 && room == 6) comment.resize(23);
    const bool comment_shown = !sky || s_.detailLetter != 'N';
    EXPECT_EQ(sky ? got.commentLine : id.comment, comment_shown ? trimmed(comment) : "") << where;
    if (sky || c.formatLetter == 'R') return;
    EXPECT_EQ(c.detailListing, s_.detailListing) << where;
    EXPECT_EQ(id.detail, s_.detailListing ? trimmed(info.detail.view()) : "") << where;
    const bool sizes = level == 4 || level == 6 || level == 8;
    EXPECT_EQ(id.sizes, sizes ? trimmed(info.sizes[0].str() + info.sizes[1].str() + info.sizes[2].str())
                              : "")
        << where;
    if (level >= 5) expect_printed(id.standardMagnitude, info.magnitude, 4, 1, where);
  }

  Draw& d_;
  RunSettings s_;
  std::string text_;
  std::vector<std::vector<WrittenPoint>> passes_;
  std::vector<MagnitudeInfo> infos_;
};

TEST(ReportRoundTrip, EveryLineReadsBackToTheValuesItPrinted) {
  Draw d(20240601);
  std::size_t lines = 0;
  for (int run = 0; run < 60; ++run) {
    const char letter = "ABCDER"[run % 6];
    const RunSettings s = random_settings(d, letter);
    SCOPED_TRACE(std::string("format ") + letter + " run " + std::to_string(run));
    RoundTrip trip(d, s);
    for (int pass = 0; pass < 25; ++pass) trip.write_pass();
    lines += trip.check();
    if (HasFailure()) return;
  }
  EXPECT_GE(lines, 2500u);
}

}  // namespace
}  // namespace vespera
