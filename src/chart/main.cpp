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
// only when all is done. The lines are read on a thread of their own while
// the main thread draws and writes what they hold.
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
#include "chart/threaded_reading.h"
#include "format/format_writer.h"

namespace {

using namespace vespera;
using namespace vespera::chart;

constexpr int kFailure = 2;

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

// Reads the report through the builder (on a thread of its own); an empty
// message when it read.
std::string read_through(const std::string& path, Report& report, ChartBuilder& builder) {
  const ReadingOutcome outcome = read_report_file(report.file, builder);
  if (!builder.problem().empty()) return path + ": " + builder.problem();
  switch (outcome.kind) {
    case ReadingOutcome::Kind::Failed:
      return path + ": cannot read the report";
    case ReadingOutcome::Kind::NotRead:
      return path + ":" + std::to_string(outcome.error.line_number) + ": expected " + outcome.error.expected;
    case ReadingOutcome::Kind::Read:
      break;
  }
  builder.finish(outcome.predictionLines);
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
