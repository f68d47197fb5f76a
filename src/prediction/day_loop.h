// The day loop of a run: for each day index the sun and the observing window,
// then the search of every element set, then the report of the day.
#pragma once

#include <cstdio>

#include "elements/element_source.h"
#include "prediction/engine_run.h"
#include "prediction/prediction_table.h"
#include "prediction/night_in_parallel.h"
#include "vocabulary/stop_request.h"

namespace vespera {

enum class DayLoopEnd {
  AllDaysDone,         // every day index of the run was done
  CombineWithNextRun,  // a combined run found its first non-empty day: read the next section
};

// What the day loop reads from and writes to besides the run itself: the
// element sets, the prediction table with the report writer that empties it,
// and the console.
struct DayLoopIo {
  ElementSource& elements;
  ElementContext element_context;  // the reader's settings, catalogue and console
  PredictionTable& table;
  PredictionFlusher& flusher;  // the report writer
  std::FILE* out;              // the "Space limit" line
  std::FILE* err;              // the reversed-window line
  StopToken stop;              // asked between days, element sets, revolutions and steps
  // Searches the sets of a night on a pool's workers; none: one thread.
  ParallelNightSearch* parallel = nullptr;
};

// run_day_loop: for each day index from firstDay to lastDay (the first always)
// sets up the night; a window whose start is not before its end is reported
// on io.err and the day skipped; otherwise every element set is searched
// and the day's predictions are flushed, except in a combined run, which
// returns after its first non-empty day with the predictions kept.
DayLoopEnd run_day_loop(const EngineRun& run, DayLoopIo& io);

}  // namespace vespera
