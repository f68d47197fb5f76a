// Fuzz target: a report read back and drawn, as vespera-chart reads the files
// that users edit and pass around.
//
// The first byte chooses the options (how many passes a night, azimuths from
// the south, a satellite to choose, an offset from UT) and the size of the
// pieces the text arrives in; the rest is the report. The report is read
// whole into memory and read in pieces through the chart's builder, which
// writes the page, the CSV table and the calendar into memory. Both readings
// must agree on whether the report reads and where it does not; a report
// that reads gives a CSV row for each prediction line and a whole page. A
// third reading takes the prediction lines read ahead (as vespera-chart's
// second thread reads them) and must agree with the second line for line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_builder.h"
#include "chart/point_table.h"
#include "chart/text_output.h"
#include "report/line_splitter.h"
#include "report/read_ahead.h"
#include "report/report_reader.h"

namespace {

using namespace vespera;
using namespace vespera::chart;

ChartOptions options_of(uint8_t byte) {
  ChartOptions o;
  o.choice.limit = byte & 3;  // 0 draws all
  o.azimuthsFromSouth = (byte & 4) != 0;
  if ((byte & 8) != 0) o.choice.satellites = {"1", "R/B"};
  if ((byte & 16) != 0) o.utcOffsetHours = -4.0;
  return o;
}

// The report read with its prediction lines read ahead; the CSV table, or
// the line that does not read.
std::string read_ahead_csv(const std::vector<std::string_view>& lines, const ChartOptions& options, bool& ok) {
  TextBuffer page, csv, calendar;
  ChartBuilder builder(options, ChartOutputs{&page, &csv, &calendar, 0});
  ReportReader reader(builder);
  ReadAheadReader ahead_reader;
  ReadAhead ahead;
  std::string cells;
  ok = true;
  for (const std::string_view line : lines) {
    ahead_reader.read(line, ahead);
    cells.clear();
    if (ahead.format != nullptr) append_value_cells(cells, ahead.values, ahead_reader.format()->pointColumns);
    builder.take_cells(cells);
    if (!reader.read_line(line, ahead.format != nullptr ? &ahead : nullptr) || !builder.problem().empty()) {
      ok = false;
      return std::to_string(reader.error().line_number) + reader.error().expected;
    }
  }
  ok = reader.finish();
  if (!ok) return std::to_string(reader.error().line_number) + reader.error().expected;
  builder.finish(reader.prediction_lines());
  return csv.text();
}

std::size_t count_lines(const std::string& text) {
  std::size_t n = 0;
  for (const char c : text) n += c == '\n';
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return -1;
  const std::string_view report(reinterpret_cast<const char*>(data) + 1, size - 1);
  const ChartOptions options = options_of(data[0]);
  const std::size_t piece = 1 + (data[0] >> 5) * 37;

  ReportContents contents;
  ReportReadError whole_error;
  const bool whole = read_report(report, contents, whole_error);

  TextBuffer page, csv, calendar;
  ChartBuilder builder(options, ChartOutputs{&page, &csv, &calendar, 0});
  ReportReader reader(builder);
  LineSplitter splitter;
  const auto take = [&](std::string_view line) { return reader.read_line(line) && builder.problem().empty(); };
  bool ok = true;
  for (std::size_t at = 0; ok && at < report.size(); at += piece) ok = splitter.feed(report.substr(at, piece), take);
  ok = ok && splitter.finish(take);
  if (ok && builder.problem().empty()) ok = reader.finish();
  if (!builder.problem().empty()) return 0;  // the calendar needs an offset that the report does not tell
  if (ok != whole) std::abort();
  std::vector<std::string_view> lines;
  for (const std::string_view line : report_lines(report)) lines.push_back(line);
  bool ahead_ok = false;
  const std::string ahead = read_ahead_csv(lines, options, ahead_ok);
  if (!ok) {
    if (reader.error().line_number != whole_error.line_number || reader.error().expected != whole_error.expected) {
      std::abort();
    }
    if (ahead_ok || ahead != std::to_string(whole_error.line_number) + whole_error.expected) std::abort();
    return 0;
  }
  builder.finish(reader.prediction_lines());
  if (!ahead_ok || ahead != csv.text()) std::abort();
  if (reader.prediction_lines() != contents.predictionLines) std::abort();
  if (count_lines(csv.text()) != contents.predictionLines + 1) std::abort();
  if (!page.text().ends_with("</html>\n")) std::abort();
  for (const ReportPass& pass : contents.passes) {
    if (pass.points.empty()) std::abort();
    for (const ReportPoint& p : pass.points) {
      if (p.seconds_of_day < 0 || p.seconds_of_day >= 86400 || !p.date.valid()) std::abort();
    }
  }
  return 0;
}
