// vespera-chart: reads a Vespera report and writes its sky charts as one
// HTML page, and on request a table of every prediction line as CSV and the
// drawn passes as an iCalendar file.
//
// Without -o the page is written beside the report with the extension
// .html. An output that names the report or another output, a report that
// does not read, a file that cannot be read or written, and a wrong command
// line end with one message on standard error and exit status 2; then no
// file is written. The report is read a block at a time and each output is
// written as it goes, under a temporary name that takes the output's name
// only when all is done.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_builder.h"
#include "chart/command_line.h"
#include "chart/output_paths.h"
#include "chart/staged_file.h"
#include "format/format_writer.h"
#include "report/line_splitter.h"
#include "report/report_reader.h"

namespace {

using namespace vespera;
using namespace vespera::chart;

constexpr int kFailure = 2;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

int fail(std::string_view message) {
  write_formatted(stderr, "('vespera-chart: ',a)", {message});
  return kFailure;
}

struct Report {
  std::FILE* file = nullptr;
  int64_t changed = 0;  // seconds since 1970
  ~Report() {
    if (file != nullptr) std::fclose(file);
  }
};

bool open_report(const std::string& path, Report& report) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  report.changed = static_cast<int64_t>(info.st_mtime);
  report.file = std::fopen(path.c_str(), "rb");
  return report.file != nullptr;
}

// Reads the report through the builder; an empty message when it read.
std::string read_through(const std::string& path, Report& report, ChartBuilder& builder) {
  ReportReader reader(builder);
  LineSplitter splitter;
  const auto take = [&](std::string_view line) { return reader.read_line(line) && builder.problem().empty(); };
  std::vector<char> block(kBlockBytes);
  bool ok = true;
  while (ok) {
    const std::size_t n = std::fread(block.data(), 1, block.size(), report.file);
    if (n == 0) break;
    ok = splitter.feed(std::string_view(block.data(), n), take);
  }
  if (std::ferror(report.file)) return path + ": cannot read the report";
  ok = ok && splitter.finish(take) && reader.finish();
  if (!builder.problem().empty()) return path + ": " + builder.problem();
  if (!ok) return path + ":" + std::to_string(reader.error().line_number) + ": expected " + reader.error().expected;
  builder.finish(reader.prediction_lines());
  return builder.problem().empty() ? std::string() : path + ": " + builder.problem();
}

int run(Arguments& a) {
  if (a.page.empty()) a.page = std::filesystem::path(a.report).replace_extension(".html").string();
  std::vector<NamedPath> outputs = {{"the page", a.page}};
  if (!a.csv.empty()) outputs.push_back({"the CSV table", a.csv});
  if (!a.ics.empty()) outputs.push_back({"the calendar", a.ics});
  const std::string shared = shared_path_problem({"the report", a.report}, outputs);
  if (!shared.empty()) return fail(shared);
  Report report;
  if (!open_report(a.report, report)) return fail(a.report + ": cannot read the report");
  a.options.title = std::filesystem::path(a.report).filename().string();

  std::vector<std::unique_ptr<StagedFile>> files;
  std::string problem;
  for (const NamedPath& output : outputs) {
    files.push_back(StagedFile::create(output.path, problem));
    if (!files.back()) return fail(problem);
  }
  ChartOutputs out;
  out.page = files[0].get();
  out.csv = a.csv.empty() ? nullptr : files[1].get();
  out.calendar = a.ics.empty() ? nullptr : files.back().get();
  out.calendarStamp = report.changed;
  ChartBuilder builder(a.options, out);
  problem = read_through(a.report, report, builder);
  if (!problem.empty()) return fail(problem);
  std::vector<StagedFile*> staged;
  for (const auto& f : files) staged.push_back(f.get());
  if (!commit_files(staged, problem)) return fail(problem);
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
