// Entry point of the vespera program: installs the signal handling, runs the
// control file's sections and turns the ends of the program into exit
// statuses. The driver owns the open files, so every end, an exception's
// included, closes them (the report flushed) before the process exits.
#include <cstdio>

#include "format/format_writer.h"
#include "run/console.h"
#include "vocabulary/program_exit.h"
#include "run/run_driver.h"
#include "run/signals.h"

int main(int argc, char** argv) {
  static const vespera::Format kFatalIoDiagnostic("('vespera: ',a,': ',a)");
  vespera::install_signal_handlers();
  vespera::Console console;
  int status = 0;
  try {
    status = vespera::run_program(argc, argv, console);
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
