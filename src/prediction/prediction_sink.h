// Where the search of an element set puts its predictions, one accepted
// point at a time, each complete with its direction of motion.
#pragma once

#include <cstdio>
#include <vector>

#include "prediction/night.h"
#include "prediction/prediction_table.h"
#include "prediction/propagation_failure.h"

namespace vespera {

class PredictionSink {
 public:
  virtual ~PredictionSink() = default;
  // add: one prediction and its engine time (days from the run's start day number).
  virtual void add(float time, const PredictionRecord& record) = 0;
  // propagation_failed: the set searched could not be propagated this night
  // (SGP4 model); it has added nothing. Ignored unless a sink reports it.
  virtual void propagation_failed(const PropagationFailure& failure) { (void)failure; }
};

// A prediction and its engine time, kept for handing on later.
struct TimedPrediction {
  float time;
  PredictionRecord record;
};

// CollectingSink: keeps the predictions in the order they were added.
class CollectingSink final : public PredictionSink {
 public:
  explicit CollectingSink(std::vector<TimedPrediction>& out) : out_(out) {}
  void add(float time, const PredictionRecord& record) override { out_.push_back({time, record}); }

 private:
  std::vector<TimedPrediction>& out_;
};

// TableSink: appends to the prediction table. The moment the table holds
// 10000 predictions, it writes "Space limit10000 predictions - output is
// being split up" on the console and has the flusher write the table out
// and empty it, so that the table never overflows.
// A set that could not be propagated is named on the console through
// `failures`, once per set and run (none: not named).
class TableSink final : public PredictionSink {
 public:
  TableSink(PredictionTable& table, PredictionFlusher& flusher, const NightState& night,
            std::FILE* console, PropagationFailureLog* failures = nullptr)
      : table_(table), flusher_(flusher), night_(night), console_(console), failures_(failures) {}

  void add(float time, const PredictionRecord& record) override;
  void propagation_failed(const PropagationFailure& failure) override;

 private:
  PredictionTable& table_;
  PredictionFlusher& flusher_;
  const NightState& night_;
  std::FILE* console_;
  PropagationFailureLog* failures_;
};

}  // namespace vespera
