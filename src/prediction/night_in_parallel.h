// The search of one night's element sets on the workers of a pool. The sets
// are handed out in batches; while the workers search one batch, each set
// into a buffer of its own, the calling thread hands the predictions of the
// batch before it to the prediction table in the order of the sets, with
// the console messages that handing each set out wrote, the withdrawal of
// a superseded set's predictions and the table's Space limit flushes, so
// that the report and the console are exactly those of one thread.
#pragma once

#include "prediction/day_loop.h"
#include "prediction/engine_run.h"
#include "prediction/night.h"
#include "prediction/worker_pool.h"

namespace vespera {

// search_night_in_parallel: every element set of the night searched on the
// pool's workers; the predictions go to io.table through its flusher.
void search_night_in_parallel(const EngineRun& run, const NightState& night, DayLoopIo& io,
                              WorkerPool& pool);

}  // namespace vespera
