#include "prediction/day_loop.h"

#include <cstdint>

#include "format/format_writer.h"
#include "prediction/orbit.h"
#include "prediction/sun_window.h"

namespace vespera {

DayLoopEnd run_day_loop(EngineContext& context) {
  static const Format kReversedWindow(
      "(' Day',i3,' Start time',f6.2,' is greater than end time',f6.2)");
  const int32_t first = context.settings.firstDay;
  const int32_t last = context.settings.lastDay;
  // At least the first day index is done, whatever the last one says.
  for (int32_t i = first;; ++i) {
    set_up_night(context.settings, context.site, i, context.night);
    const ObservingWindow& window = context.night.window;
    if (!(window.start < window.end)) {
      kReversedWindow.write(context.err, {i, window.start, window.end});
    } else {
      const ElementContext element_context = context.element_context();
      context.elements.rewindElementSets();
      PredictionTable::Mark handed_out = context.predictions.mark();
      while (context.elements.nextElementSet(element_context, context.current) == 0) {
        context.stop.throw_if_requested();
        // A newer set of the satellite handed out just before withdraws the
        // predictions made from the older one.
        if (context.elements.supersedesPrevious()) context.predictions.withdraw_since(handed_out);
        handed_out = context.predictions.mark();
        search_element_set(context);
      }
      if (context.settings.combineRuns) return DayLoopEnd::CombineWithNextRun;
      context.flusher.flush_predictions();
    }
    if (i >= last) break;
  }
  return DayLoopEnd::AllDaysDone;
}

}  // namespace vespera
