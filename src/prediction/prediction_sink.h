// Where the search of an element set puts its predictions, one accepted
// point at a time, each complete with its direction of motion.
#pragma once

#include <cstdio>

#include "prediction/night.h"
#include "prediction/prediction_table.h"

namespace vespera {

class PredictionSink {
 public:
  virtual ~PredictionSink() = default;
  // add: one prediction and its engine time (days from the run's start day number).
  virtual void add(float time, const PredictionRecord& record) = 0;
};

// TableSink: appends to the prediction table. The moment the table holds
// 10000 predictions, it writes "Space limit10000 predictions - output is
// being split up" on the console and has the flusher write the table out
// and empty it, so that the table never overflows.
class TableSink final : public PredictionSink {
 public:
  TableSink(PredictionTable& table, PredictionFlusher& flusher, const NightState& night,
            std::FILE* console)
      : table_(table), flusher_(flusher), night_(night), console_(console) {}

  void add(float time, const PredictionRecord& record) override;

 private:
  PredictionTable& table_;
  PredictionFlusher& flusher_;
  const NightState& night_;
  std::FILE* console_;
};

}  // namespace vespera
