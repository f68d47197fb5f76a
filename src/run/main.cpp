// Entry point of the vespera program: reads the command line's options,
// installs the signal handling, runs the control file's sections and turns the
// ends of the program into exit statuses. The driver owns the open files, so
// every end, an exception's included, closes them (the report flushed) before
// the process exits.
#include <cstdio>

#include "format/format_writer.h"
#include "run/command_line.h"
#include "run/console.h"
#include "run/run_driver.h"
#include "run/signals.h"
#include "vocabulary/program_exit.h"

int main(int argc, char** argv) {
  static const vespera::Format kFatalIoDiagnostic("('vespera: ',a,': ',a)");
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
  int status = 0;
  try {
    status = vespera::run_program(command_line.controlFile, console,
                                  vespera::thread_count(command_line), command_line.model);
  } catch (const vespera::ProgramExit& exit) {
    status = exit.status();
  } catch (const vespera::FatalIoError& error) {
    std::fflush(stdout);
    kFatalIoDiagnostic.write(stderr, {error.file(), error.cause()});
    status = vespera::kFatalIoExitStatus;
  }
  std::fflush(stdout);
  return status;
}
