// The day loop of a run: for each day index the sun and the observing window,
// then the search of every element set, then the report of the day.
#pragma once

#include "prediction/engine_context.h"

namespace vespera {

enum class DayLoopEnd {
  AllDaysDone,         // every day index of the run was done
  CombineWithNextRun,  // a combined run found its first non-empty day: read the next section
};

DayLoopEnd run_day_loop(EngineContext& context);

}  // namespace vespera
