// A failure to open or write the report. A call that waited (a FIFO that no
// one reads, a hung network file) and was interrupted by a stop request is
// the stop, not a failure of the file: the program ends with the interrupted
// status. Anything else is a fatal error naming the report.
#pragma once

#include <string>

#include "vocabulary/stop_request.h"

namespace vespera {

// throw_report_failure: throws the stop (ProgramExit) when `cause` (an errno)
// is EINTR and a stop has been requested, otherwise FatalIoError(name, message).
[[noreturn]] void throw_report_failure(const std::string& name, const std::string& message, int cause,
                                       const StopToken& stop);

}  // namespace vespera
