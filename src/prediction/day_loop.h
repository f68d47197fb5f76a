// The day loop of a run: for each day index the sun and the observing window,
// then the search of every element set, then the report of the day.
#pragma once

#include "prediction/engine_context.h"

namespace vespera {

enum class DayLoopEnd {
  AllDaysDone,         // every day index of the run was done
  CombineWithNextRun,  // a combined run found its first non-empty day: read the next section
};

// run_day_loop: for each day index from firstDay to lastDay (the first always)
// sets up the night; a window whose start is not before its end is reported
// on context.err and the day skipped; otherwise every element set is searched
// and the day's predictions are flushed, except in a combined run, which
// returns after its first non-empty day with the predictions kept.
DayLoopEnd run_day_loop(EngineContext& context);

}  // namespace vespera
