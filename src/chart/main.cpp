// vespera-chart: reads a Vespera report and writes its sky charts as one
// HTML page, and on request a table of every prediction line as CSV.
//
//   vespera-chart REPORT [-o PAGE.html] [--csv FILE] [--azimuths-from-south]
//
// Without -o the page is written beside the report with the extension
// .html. A report that does not read, a file that cannot be read or
// written, and a wrong command line end with one message on standard error
// and exit status 2; then no page and no table are written.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "chart/output_files.h"
#include "chart/point_table.h"
#include "chart/sky_chart_page.h"
#include "format/format_writer.h"
#include "report/report_reader.h"

namespace {

using namespace vespera;

constexpr int kFailure = 2;
constexpr std::string_view kUsage =
    "usage: vespera-chart REPORT [-o PAGE.html] [--csv FILE] [--azimuths-from-south]";

struct Arguments {
  std::string report;
  std::string page;
  std::string csv;
  bool azimuthsFromSouth = false;
  bool help = false;
};

int fail(std::string_view message) {
  write_formatted(stderr, "('vespera-chart: ',a)", {message});
  return kFailure;
}

// The command line; false with `problem` set when it is not one of the usage.
bool parse_arguments(int argc, char** argv, Arguments& a, std::string& problem) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if ((arg == "-o" || arg == "--csv") && i + 1 < argc) {
      (arg == "-o" ? a.page : a.csv) = argv[++i];
    } else if (arg == "--azimuths-from-south") {
      a.azimuthsFromSouth = true;
    } else if (arg == "-h" || arg == "--help") {
      a.help = true;
    } else if (arg.starts_with("-") && arg != "-") {
      problem = "unknown option or missing value: " + std::string(arg);
      return false;
    } else if (a.report.empty()) {
      a.report = arg;
    } else {
      problem = "more than one report: " + std::string(arg);
      return false;
    }
  }
  if (a.report.empty() && !a.help) problem = "no report named";
  return problem.empty();
}

int run(const Arguments& a) {
  std::error_code folder_error;
  std::ifstream file(a.report, std::ios::binary);
  if (!file.is_open() || std::filesystem::is_directory(a.report, folder_error)) {
    return fail(a.report + ": cannot read the report");
  }
  std::ostringstream text;
  text << file.rdbuf();  // an empty file gives no text, which the reader names
  if (file.bad()) return fail(a.report + ": cannot read the report");
  ReportContents report;
  ReportReadError error;
  if (!read_report(text.str(), report, error)) {
    return fail(a.report + ":" + std::to_string(error.line_number) + ": expected " + error.expected);
  }
  std::filesystem::path page = a.page;
  if (page.empty()) page = std::filesystem::path(a.report).replace_extension(".html");
  std::error_code same_error;
  if (std::filesystem::equivalent(page, a.report, same_error) || page == a.report) {
    return fail(page.string() + ": the page would replace the report; name another with -o");
  }
  chart::ChartOptions options;
  options.title = std::filesystem::path(a.report).filename().string();
  options.azimuthsFromSouth = a.azimuthsFromSouth;
  std::vector<chart::OutputFile> files = {{page.string(), chart::sky_chart_page(report, options)}};
  if (!a.csv.empty()) files.push_back({a.csv, chart::point_table_csv(report)});
  std::string problem;
  if (!chart::write_files_whole(files, problem)) return fail(problem);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  std::string problem;
  if (!parse_arguments(argc, argv, arguments, problem)) {
    fail(problem);
    return fail(kUsage);
  }
  if (arguments.help) {
    write_formatted(stdout, "(a)", {kUsage});
    return 0;
  }
  return run(arguments);
}
