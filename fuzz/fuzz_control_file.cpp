// Fuzz target: a whole program run from a fuzzed control file.
//
// The input is the control file, optionally followed by a line "%%" and the
// console answers (dates, catalogue numbers, file names typed at prompts).
// The control file is written into a private working directory beside small
// valid element and magnitude files (e.tle, m.mag, o.mag), so that a file
// that names them gets through to the prediction engine and the report.
//
// Inputs are chosen, never altered: an input is skipped when it could leave
// that directory (a "/" anywhere) or when a run would take long for reasons
// that are the user's choice (many days, very long nightly windows, a tiny
// step scale). The settings are judged by the program's own control-file
// reader on a dry run before the real one.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "run/console.h"
#include "run/control_file.h"
#include "vocabulary/program_exit.h"
#include "run/run_driver.h"
#include "vocabulary/run_settings.h"

namespace {

using vespera::Console;
using vespera::ControlFile;
using vespera::RunSettings;

// Bounds of one execution (a few milliseconds each).
constexpr int64_t kMaxDays = 4;             // over all sections
constexpr float kMaxOffsetHours = 30.0f;    // window offsets from twilight or 0h UT
constexpr float kMinStepScale = 0.05f;      // walk steps grow as 1 / step scale

// A console on the given answers whose output is discarded.
struct FuzzConsole {
  explicit FuzzConsole(std::string_view answers) {
    console.in = std::tmpfile();
    if (console.in == nullptr) std::abort();
    std::fwrite(answers.data(), 1, answers.size(), console.in);
    std::rewind(console.in);
    console.out = vespera::fuzz::discard_stream();
    console.err = vespera::fuzz::discard_stream();
  }
  ~FuzzConsole() { std::fclose(console.in); }
  FuzzConsole(const FuzzConsole&) = delete;
  FuzzConsole& operator=(const FuzzConsole&) = delete;

  Console console;
};

// Reads the section's file-name lines as a run does (lines 18 to the end of
// the element list, with the prompts); returns whether the list ended with
// "combine", so that a further section follows.
bool read_file_name_lines(ControlFile& control, RunSettings& settings, Console& console) {
  vespera::read_magnitude_file_names(control, settings, console);
  return vespera::read_output_file_name(control, settings, console) == 0 &&
         vespera::read_element_file_names(control, settings, console) == 0 &&
         settings.combineRuns;
}

bool settings_within_bounds(const RunSettings& s, int64_t& days) {
  const int64_t span =
      s.lastDay > s.firstDay ? int64_t{s.lastDay} - int64_t{s.firstDay} + 1 : int64_t{1};
  days += span;
  return days <= kMaxDays && std::fabs(s.startOffsetHours) <= kMaxOffsetHours &&
         std::fabs(s.endOffsetHours) <= kMaxOffsetHours && s.stepScale >= kMinStepScale;
}

// A dry run through the control file's sections with the program's reader:
// whether every section that would run stays within the bounds above.
bool within_bounds(std::string_view answers) {
  FuzzConsole dry(answers);
  ControlFile control(std::string("c.ctl"));
  RunSettings settings;
  int64_t days = 0;
  try {
    for (bool first = true;; first = false) {
      if (vespera::read_control_section(first, control, settings, dry.console) != 0) return true;
      if (!settings_within_bounds(settings, days)) return false;
      if (!read_file_name_lines(control, settings, dry.console)) return true;
    }
  } catch (const vespera::FatalIoError&) {
    return true;
  } catch (const vespera::ProgramExit&) {
    return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vespera::fuzz::Workspace workspace;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.find('/') != std::string_view::npos) return -1;  // names outside the workspace
  const auto pieces = vespera::fuzz::split(input, vespera::fuzz::kPieceMarker, 2);
  const std::string_view answers = pieces.size() > 1 ? pieces[1] : std::string_view();

  workspace.reset();
  workspace.write("c.ctl", pieces[0]);
  const vespera::fuzz::WorkingDirectory inside(workspace.path());
  if (!within_bounds(answers)) return -1;

  FuzzConsole run(answers);
  try {
    vespera::run_program("c.ctl", run.console);
  } catch (const vespera::ProgramExit&) {
    // A year outside the calendar's range: the orderly stop.
  } catch (const vespera::FatalIoError&) {
    // The end of the control file or of the console answers where a line is
    // required, or a file that cannot be read or written.
  }
  return 0;
}
