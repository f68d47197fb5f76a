// The ends of the program as its exit status: the run of the control file's
// sections (run_program) and every way it ends. An orderly end is 0; a stop
// (a STOP statement, an interrupt or termination request) carries its status;
// a fatal input/output error writes one line naming the file, and a failure
// of the system (a thread or a lock) one line naming it, on console.err, and
// both are status 2. Standard output is flushed before a diagnostic, so that
// the two keep their order on a terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "prediction/thread_start.h"
#include "run/console.h"
#include "vocabulary/orbit_model.h"

namespace vespera {

int exit_status_of_run(std::optional<std::string> control_file, Console& console, int32_t threads,
                       OrbitModel model, const ThreadStarter& start = start_thread);

}  // namespace vespera
