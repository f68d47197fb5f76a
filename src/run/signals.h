// Signal handling: a floating-point exception or abort writes its word on
// standard error and aborts; an interrupt or termination request writes its
// word and is acted on at the next safe point, where the program ends with
// status 1 after the report written so far has been flushed and closed. A
// further request when the first has not ended the program within 2 s (a
// report that cannot be written) ends it at once, with status 1.
#pragma once

#include "vocabulary/stop_request.h"

namespace vespera {

void install_signal_handlers();
// The token that tells whether an interrupt or termination request has arrived.
StopToken signal_stop_token();
// Throws ProgramExit(1) when an interrupt or termination request has arrived.
void check_interrupt();

}  // namespace vespera
