#include "prediction/day_loop.h"

#include <cstdint>

#include "format/format_writer.h"
#include "prediction/element_search.h"
#include "prediction/night_in_parallel.h"
#include "prediction/prediction_sink.h"
#include "prediction/propagation_failure.h"
#include "prediction/sun_window.h"

namespace vespera {

namespace {

// Every element set searched over one night; the predictions go to the table.
void search_night(const EngineRun& run, const NightState& night, DayLoopIo& io,
                  PropagationFailureLog& failures) {
  TableSink sink(io.table, io.flusher, night, io.out, &failures);
  ElementSet set;
  io.elements.rewindElementSets();
  PredictionTable::Mark handed_out = io.table.mark();
  while (io.elements.nextElementSet(io.element_context, set) == 0) {
    io.stop.throw_if_requested();
    io.table.hand_out_set(io.elements.supersedesPrevious(), handed_out);
    search_element_set(set, run, night, sink, io.stop);
  }
}

}  // namespace

DayLoopEnd run_day_loop(const EngineRun& run, DayLoopIo& io) {
  static const Format kReversedWindow(
      "(' Day',i3,' Start time',f6.2,' is greater than end time',f6.2)");
  // The sets the SGP4 model could not propagate, named once in the run.
  PropagationFailureLog failures;
  // At least the first day index is done, whatever the last one says.
  for (int32_t i = run.firstDay;; ++i) {
    io.stop.throw_if_requested();
    const NightState night = set_up_night(run.window, run.site, i);
    if (!(night.window.start < night.window.end)) {
      kReversedWindow.write(io.err, {i, night.window.start, night.window.end});
    } else {
      if (io.parallel != nullptr) {
        io.parallel->search(run, night, io, failures);
      } else {
        search_night(run, night, io, failures);
      }
      if (run.combineRuns) return DayLoopEnd::CombineWithNextRun;
      io.flusher.flush_predictions(io.table, night);
    }
    if (i >= run.lastDay) break;
  }
  return DayLoopEnd::AllDaysDone;
}

}  // namespace vespera
