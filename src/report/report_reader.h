// Reads a report back line by line: the settings line, the day headers, the
// column header (which tells the report format), the passes with their
// identification and the prediction lines of each, and the comment lines of
// formats B and C. Every line is read by the layout the writer writes it
// with (report_layouts.h). What it reads is handed on as it is read, so that
// a report of any size is read in the memory of one pass; a report that does
// not read gives the number of its first unreadable line and what was
// expected there.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "report/report_records.h"

namespace vespera {

// What a reading hands on, in the order of the report.
class ReportReceiver {
 public:
  virtual ~ReportReceiver() = default;
  virtual void settings(const SettingsLine&) {}
  // The first column header: the report's format and the columns of its
  // prediction lines.
  virtual void format(const ReportFormat&) {}
  // A day header, the index'th of the report (from 0). `starts_night` when
  // the header before it belonged to another night (or there was none):
  // the night before then has no more passes to come, unless its headers
  // come back later in the report, which then starts it again.
  virtual void header(const DayHeader&, std::size_t /*index*/, bool /*starts_night*/) {}
  // A prediction line of `pass` (its points before this one are in it).
  // The printed texts of the point's values stand only during the call.
  virtual void point(const ReportPass& /*pass*/, const ReportPoint& /*point*/) {}
  // A pass whose lines are all read (the values' printed texts are gone).
  virtual void pass(ReportPass&& /*pass*/) {}
};

class ReportParser;
struct ReadAhead;

class ReportReader {
 public:
  explicit ReportReader(ReportReceiver& receiver);
  ~ReportReader();
  ReportReader(const ReportReader&) = delete;
  ReportReader& operator=(const ReportReader&) = delete;

  // The next line of the report, without its line end; false when it does
  // not read (error() says where and what was expected). `ahead`: the line
  // read ahead (read_ahead.h), whose values are then taken as they are.
  bool read_line(std::string_view line, const ReadAhead* ahead = nullptr);
  // The end of the report: hands on the last pass; false when the report
  // ends where it cannot, or when its identification lines do not read
  // alike.
  bool finish();

  const ReportReadError& error() const;
  // Formats A, D and E: the identification lines carry the detail text (as
  // far as the lines read so far tell).
  bool detail_listing() const;
  std::size_t prediction_lines() const;

 private:
  std::unique_ptr<ReportParser> parser_;
};

// read_report: reads a whole report (lines ended by LF, CRLF or CR) into
// memory. True with the contents; false with the first line that does not
// read and what was expected there.
bool read_report(std::string_view text, ReportContents& contents, ReportReadError& error);

// read_day_header: one day header line, without the empty line before it.
std::optional<DayHeader> read_day_header(std::string_view line);

// The lines of a text, ended by LF, CRLF or a lone CR.
std::vector<std::string_view> report_lines(std::string_view text);

}  // namespace vespera
