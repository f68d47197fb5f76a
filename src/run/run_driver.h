// The run driver: the program's main routine. It writes the banner, has the
// control file read section by section (each section's file-name lines in
// their steps around the loading of the magnitude catalogue), loads the
// magnitude catalogue (once) and the element sets (every run), opens the
// report, hands each run to the prediction engine, chains combined runs and
// ends with the summary line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "prediction/thread_start.h"
#include "run/console.h"
#include "vocabulary/orbit_model.h"

namespace vespera {

// run_program: runs every section of the control file named `control_file`
// (or, without a name, found otherwise) and returns the exit status, 0 for
// every orderly end.
// `threads` is the number of threads that search the element sets of a
// night (1: the calling thread alone), each made by `start`; the report and
// the console are the same for every number, also when fewer threads could
// be started (a line on console.err then says how many run). The
// report file, once opened, is closed on every path, an exception's included.
// Throws ProgramExit (a stop, an interrupt) and FatalIoError (a fatal input or
// output error), which exit_status_of_run turns into the exit status.
// `model` places the satellites: the compact orbit, or SGP4 (the banner
// then says so).
int run_program(std::optional<std::string> control_file, Console& console,
                int32_t threads = 1, OrbitModel model = OrbitModel::Compact,
                const ThreadStarter& start = start_thread);

}  // namespace vespera
