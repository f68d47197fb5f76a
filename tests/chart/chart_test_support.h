// Helpers of the chart program's tests: files, the program run in a folder,
// a report drawn in memory, and the example's and a crowded night's reports.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "chart/chart_builder.h"
#include "chart/text_output.h"
#include "report/line_splitter.h"
#include "report/report_reader.h"
#include "support/temp_files.h"

namespace vespera::chart::test_support {

inline std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline std::string example_report() {
  return read_file(std::string(VESPERA_TEST_DATA) + "/end_to_end/example-report.txt");
}
// The 150 brightest of the 11,284 passes of the first night of the
// whole-catalogue month (bench/catalog-month-memory.ctl).
inline std::string crowded_night() { return read_file(std::string(VESPERA_TEST_DATA) + "/chart/crowded-night.txt"); }

inline std::size_t count(std::string_view text, std::string_view part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Runs vespera-chart in `dir`; returns its exit status, with its standard error.
inline int run_chart(const test::TempDir& dir, const std::string& arguments, std::string& err) {
  const std::string command =
      "cd " + dir.dir() + " && " + VESPERA_CHART_BINARY + " " + arguments + " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  err = read_file(dir.path("err.txt"));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A report drawn in memory: the page, the CSV table and the calendar.
struct Drawn {
  bool read = false;
  ReportReadError error;
  std::string problem;
  TextBuffer page, csv, calendar;
};

inline void draw(std::string_view report, const ChartOptions& options, Drawn& d) {
  ChartOutputs outputs{&d.page, &d.csv, &d.calendar, 1508196000};
  ChartBuilder builder(options, outputs);
  ReportReader reader(builder);
  LineSplitter splitter;
  const auto take = [&](std::string_view line) { return reader.read_line(line) && builder.problem().empty(); };
  d.read = splitter.feed(report, take) && splitter.finish(take) && reader.finish();
  if (d.read) builder.finish(reader.prediction_lines());
  d.error = reader.error();
  d.problem = builder.problem();
}

}  // namespace vespera::chart::test_support
