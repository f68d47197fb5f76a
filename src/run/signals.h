// Signal handling: a floating-point exception or abort writes its word on
// standard error and aborts; an interrupt or termination request writes its
// word and is acted on at the next safe point, where the program ends with
// status 1 after the report written so far has been flushed and closed. A
// further request when the first has not ended the program within 2 s (a
// report that cannot be written) ends it at once, with status 1.
#pragma once

#include <cstdio>

#include "vocabulary/stop_request.h"

namespace vespera {

void install_signal_handlers();
// The token that tells whether an interrupt or termination request has arrived.
StopToken signal_stop_token();
// Throws ProgramExit(1) when an interrupt or termination request has arrived.
void check_interrupt();
// wait_for_input: returns once `stream` has something to read (or its end),
// or once an interrupt or termination request has arrived, whichever comes
// first; the caller then checks for the request. A request that comes just
// before the wait is not lost: the requests are held back while the flag is
// tested and let through only inside the wait. Input already buffered, and a
// stream without a descriptor, need no wait.
void wait_for_input(std::FILE* stream);

}  // namespace vespera
