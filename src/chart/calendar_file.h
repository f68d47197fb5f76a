// The drawn passes as an iCalendar file (RFC 5545), one event a pass: from
// its first point to its last in UTC, a summary with its brightest
// magnitude and greatest altitude ("ISS (ZARYA) -2.9 mag, 67° high"), its
// highest point and first and last directions in the description, the site
// as the location, and a UID made of the pass's start, the satellite and the
// site, the same every time the same pass is written. DTSTAMP is the time
// the report was last changed, so that the same report gives the same file.
// Lines end with CR LF and are folded at 75 octets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "chart/drawn_pass.h"
#include "chart/text_output.h"
#include "report/report_records.h"

namespace vespera::chart {

class CalendarWriter {
 public:
  // `stamp`: seconds since 1970 (UT); `alarm`: minutes before each pass.
  CalendarWriter(TextOutput& out, int64_t stamp, std::optional<int32_t> alarm)
      : out_(out), stamp_(stamp), alarm_(alarm) {}

  void begin(const SettingsLine& site);
  // A drawn pass of a night whose clock is `utc_offset_hours` ahead of UT
  // and labelled `zone`.
  void add(const DrawnPass& pass, double utc_offset_hours, std::string_view zone);
  void finish();

 private:
  void line(std::string_view name, std::string_view value);

  TextOutput& out_;
  int64_t stamp_;
  std::optional<int32_t> alarm_;
  SettingsLine site_;
};

// ics_text: a TEXT value, its backslashes, semicolons, commas and line ends
// escaped.
std::string ics_text(std::string_view text);
// folded_line: a content line ended by CR LF, folded into lines of at most
// 75 octets (each fold starts with a blank), never inside a UTF-8 character.
std::string folded_line(std::string_view line);
// utc_stamp: "20171016T232053Z".
std::string utc_stamp(int64_t seconds);
// compass_point: "N", "NNE", ... "NNW" of an azimuth in degrees.
std::string_view compass_point(double azimuth);

}  // namespace vespera::chart
