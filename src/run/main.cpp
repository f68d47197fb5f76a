// Entry point of the vespera program: reads the command line's options,
// installs the signal handling and runs the control file's sections, whose
// ends give the exit status. The driver owns the open files, so every end, an
// exception's included, closes them (the report flushed) before the process
// exits.
#include <cstdio>

#include "run/command_line.h"
#include "run/console.h"
#include "run/exit_status.h"
#include "run/signals.h"
#include "vocabulary/program_exit.h"

int main(int argc, char** argv) {
  const vespera::CommandLine command_line = vespera::parse_command_line(argc, argv);
  if (command_line.help || command_line.version) {
    if (command_line.help) {
      vespera::write_help(stdout);
    } else {
      vespera::write_version(stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : vespera::kFatalIoExitStatus;
  }
  if (command_line.error != vespera::CommandLine::Error::None) {
    vespera::write_command_line_error(stderr, command_line);
    return vespera::kCommandLineErrorExitStatus;
  }

  vespera::install_signal_handlers();
  vespera::Console console;
  const int status = vespera::exit_status_of_run(command_line.controlFile, console,
                                                 vespera::thread_count(command_line), command_line.model);
  std::fflush(stdout);
  return status;
}
