// The chart program's work on a report as it is read: every prediction line
// goes to the CSV table at once; the passes of a night are offered to the
// night's choice, and when the night ends its part of the page (and its
// events of the calendar) is written and its passes let go. Memory holds one
// night's chosen passes, whatever the report's size.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "chart/calendar_file.h"
#include "chart/chart_options.h"
#include "chart/page_frame.h"
#include "chart/pass_choice.h"
#include "chart/point_table.h"
#include "chart/star_field.h"
#include "chart/text_output.h"
#include "chart/zone_offset.h"
#include "report/report_reader.h"

namespace vespera::chart {

struct ChartOutputs {
  TextOutput* page = nullptr;
  TextOutput* csv = nullptr;       // or none
  TextOutput* calendar = nullptr;  // or none
  int64_t calendarStamp = 0;       // seconds since 1970 (UT): the report's last change
};

class ChartBuilder : public ReportReceiver {
 public:
  ChartBuilder(const ChartOptions& options, const ChartOutputs& outputs);

  void settings(const SettingsLine& settings) override;
  void format(const ReportFormat& format) override;
  void header(const DayHeader& header, std::size_t index, bool starts_night) override;
  void point(const ReportPass& pass, const ReportPoint& point) override;
  void pass(ReportPass&& pass) override;
  // The CSV cells of the values of the next prediction line, made
  // beforehand (or empty).
  void take_cells(std::string_view cells) { cells_ = cells; }
  // Whether the builder writes a CSV table (and so takes cells at all).
  bool writes_csv() const { return csv_.has_value(); }
  // The end of a report that read: the last night and the ends of the files.
  void finish(std::size_t prediction_lines);

  // Why the work cannot go on (the calendar needs a night's offset from UT
  // that the report does not tell); empty while it can.
  const std::string& problem() const { return problem_; }

 private:
  void end_night();
  std::optional<double> night_offset() const;

  const ChartOptions& options_;
  ChartOutputs outputs_;
  std::optional<PointTableWriter> csv_;
  std::optional<CalendarWriter> calendar_;
  SettingsLine settings_;
  PageTotals totals_;
  NightPassChoice choice_;
  std::optional<ZoneOffsetFinder> offset_finder_;
  std::optional<DayHeader> night_header_;  // the first header of the night under way
  std::string zone_;                       // the label of the header the lines are under
  bool night_chosen_ = false;
  std::string_view cells_;
  std::string problem_;
};

}  // namespace vespera::chart
