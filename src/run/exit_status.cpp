#include "run/exit_status.h"

#include <cstdio>
#include <system_error>
#include <utility>

#include "format/format_writer.h"
#include "run/run_driver.h"
#include "vocabulary/program_exit.h"

namespace vespera {

int exit_status_of_run(std::optional<std::string> control_file, Console& console,
                       int32_t threads, OrbitModel model, const ThreadStarter& start) {
  static const Format kFatalIoDiagnostic("('vespera: ',a,': ',a)");
  static const Format kSystemDiagnostic("('vespera: system error: ',a)");
  try {
    return run_program(std::move(control_file), console, threads, model, start);
  } catch (const ProgramExit& exit) {
    return exit.status();
  } catch (const FatalIoError& error) {
    std::fflush(console.out);
    kFatalIoDiagnostic.write(console.err, {error.file(), error.cause()});
  } catch (const std::system_error& error) {
    std::fflush(console.out);
    kSystemDiagnostic.write(console.err, {error.what()});
  }
  return kFatalIoExitStatus;
}

}  // namespace vespera
