// The search of one night's element sets on the workers of a pool. The sets
// are handed out in batches; while the workers search one batch, each set
// into a buffer of its own, the calling thread hands the predictions of the
// batch before it to the prediction table in the order of the sets, with
// the console messages that handing each set out wrote, the withdrawal of
// a superseded set's predictions and the table's Space limit flushes, so
// that the report and the console are exactly those of one thread. A fatal
// error of the handing out (a read error of an element file) is thrown after
// the sets handed out before it have reached the table, as with one thread.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "prediction/engine_run.h"
#include "prediction/night.h"
#include "prediction/propagation_failure.h"
#include "prediction/worker_pool.h"

namespace vespera {

struct DayLoopIo;
struct SetBatch;

// Batches of a night searched or handed over at a time.
inline constexpr std::size_t kBatchesInFlight = 3;

class ParallelNightSearch {
 public:
  explicit ParallelNightSearch(WorkerPool& pool);
  ~ParallelNightSearch();
  ParallelNightSearch(const ParallelNightSearch&) = delete;
  ParallelNightSearch& operator=(const ParallelNightSearch&) = delete;

  // search: every element set of the night searched on the pool's workers;
  // the predictions go to io.table through its flusher, the sets that could
  // not be propagated to `failures`.
  void search(const EngineRun& run, const NightState& night, DayLoopIo& io,
              PropagationFailureLog& failures);

 private:
  WorkerPool& pool_;
  // The batches, reused from batch to batch: the workers search the newer
  // ones while the oldest is handed to the table.
  std::array<std::unique_ptr<SetBatch>, kBatchesInFlight> batches_;
};

}  // namespace vespera
