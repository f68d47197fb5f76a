#include "prediction/prediction_sink.h"

#include <stdexcept>

#include "format/format_writer.h"

namespace vespera {

void TableSink::add(float time, const PredictionRecord& record) {
  if (table_.full()) {
    // The table is written out the moment it fills; a report writer that
    // leaves it full is a programming error, not a reason to overrun it.
    throw std::logic_error("prediction table still full after it was written out");
  }
  table_.append(time, record);
  if (table_.full()) {
    static const Format kSpaceLimit("('Space limit',i5,' predictions - output is being split up')");
    kSpaceLimit.write(console_, {kPredictionCapacity});
    flusher_.flush_predictions(table_, night_);
  }
}

void TableSink::propagation_failed(const PropagationFailure& failure) {
  if (failures_ != nullptr) failures_->report(failure, console_);
}

}  // namespace vespera
