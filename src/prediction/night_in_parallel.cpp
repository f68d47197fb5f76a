#include "prediction/night_in_parallel.h"

#include <cstdio>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "format/memory_stream.h"
#include "prediction/day_loop.h"
#include "prediction/element_search.h"
#include "prediction/prediction_sink.h"

namespace vespera {

namespace {

// Sets handed out, and searched, together.
constexpr std::size_t kBatchSets = 256;

// A set's predictions, kept in the order the search made them, and whether
// the set could not be propagated.
class BufferSink final : public PredictionSink {
 public:
  BufferSink(std::vector<TimedPrediction>& out, std::optional<PropagationFailure>& failure)
      : collect_(out), failure_(failure) {}
  void add(float time, const PredictionRecord& record) override { collect_.add(time, record); }
  void propagation_failed(const PropagationFailure& failure) override { failure_ = failure; }

 private:
  CollectingSink collect_;
  std::optional<PropagationFailure>& failure_;
};

}  // namespace

// One batch of element sets handed out in a row, their searches and what
// handing them out wrote on the console. Its buffers are kept from batch to
// batch, so that a night's searches rarely allocate.
struct SetBatch {
  std::vector<ElementSet> sets;
  std::vector<bool> supersedes;               // the set supersedes the one before it
  std::vector<std::size_t> messages_end;      // console text up to the set's handing out
  std::vector<std::vector<TimedPrediction>> predictions;
  std::vector<std::optional<PropagationFailure>> failures;  // a set the SGP4 model could not propagate
  MemoryStream console;                       // what handing the sets out wrote
  std::size_t messages_begin = 0;             // where this batch's text starts
  bool ends_night = false;                    // the element source had no more sets, or failed
  std::size_t trailing_end = 0;               // console text up to the end of the night
  std::exception_ptr hand_out_error;          // the handing out after the last set failed
  std::unique_ptr<TaskRange> searches;        // last: it waits for its tasks before the rest goes

  // Empties the batch for the next sets, keeping its buffers.
  void reset() {
    searches.reset();
    sets.clear();
    supersedes.clear();
    messages_end.clear();
    for (std::vector<TimedPrediction>& p : predictions) p.clear();
    for (std::optional<PropagationFailure>& f : failures) f.reset();
    messages_begin = console.size();
    ends_night = false;
    hand_out_error = nullptr;
  }
};

namespace {

// Hands out the next sets of the night into `batch`. A handing out that
// fails (a fatal read error) ends the night's handing out: the error is kept
// for the batch, to be thrown once the sets handed out before it are in the
// table, as one thread would have stored them before it met the error.
void fill(SetBatch& batch, DayLoopIo& io) {
  const ElementContext context{io.element_context.settings, io.element_context.magnitudes,
                               batch.console.file(), io.element_context.readsMeanElements};
  ElementSet set;
  try {
    while (batch.sets.size() < kBatchSets) {
      if (io.elements.nextElementSet(context, set) != 0) break;
      batch.sets.push_back(set);
      batch.supersedes.push_back(io.elements.supersedesPrevious());
      batch.messages_end.push_back(batch.console.size());
    }
    if (batch.sets.size() == kBatchSets) return;
  } catch (...) {
    batch.hand_out_error = std::current_exception();
  }
  batch.ends_night = true;
  batch.trailing_end = batch.console.size();
}

void start_searches(SetBatch& batch, const EngineRun& run, const NightState& night,
                    const StopToken& stop, WorkerPool& pool) {
  if (batch.predictions.size() < batch.sets.size()) {
    batch.predictions.resize(batch.sets.size());
    batch.failures.resize(batch.sets.size());
  }
  batch.searches = std::make_unique<TaskRange>(batch.sets.size(), [&, stop](std::size_t k) {
    BufferSink sink(batch.predictions[k], batch.failures[k]);
    search_element_set(batch.sets[k], run, night, sink, stop);
  });
  pool.submit(*batch.searches);
}

// Hands the batch's predictions to the table, set by set, as one thread
// would have stored them.
void replay(SetBatch& batch, DayLoopIo& io, TableSink& sink, PredictionTable::Mark& handed_out) {
  batch.searches->wait();
  std::size_t written = batch.messages_begin;
  const auto write_messages = [&](std::size_t to) {
    const std::string_view text = batch.console.text(written, to);
    std::fwrite(text.data(), 1, text.size(), io.out);
    written = to;
  };
  for (std::size_t k = 0; k < batch.sets.size(); ++k) {
    write_messages(batch.messages_end[k]);
    io.stop.throw_if_requested();
    io.table.hand_out_set(batch.supersedes[k], handed_out);
    if (const std::exception_ptr error = batch.searches->error(k)) std::rethrow_exception(error);
    for (const TimedPrediction& p : batch.predictions[k]) sink.add(p.time, p.record);
    if (batch.failures[k]) sink.propagation_failed(*batch.failures[k]);
  }
  if (batch.ends_night) write_messages(batch.trailing_end);
  if (batch.hand_out_error) std::rethrow_exception(batch.hand_out_error);
}

}  // namespace

ParallelNightSearch::ParallelNightSearch(WorkerPool& pool) : pool_(pool) {
  for (std::unique_ptr<SetBatch>& batch : batches_) batch = std::make_unique<SetBatch>();
}

ParallelNightSearch::~ParallelNightSearch() = default;

void ParallelNightSearch::search(const EngineRun& run, const NightState& night, DayLoopIo& io,
                                 PropagationFailureLog& failures) {
  TableSink sink(io.table, io.flusher, night, io.out, &failures);
  io.elements.rewindElementSets();
  PredictionTable::Mark handed_out = io.table.mark();
  // Whatever happens, no search of a batch outlives this call.
  struct Cancel {
    std::array<std::unique_ptr<SetBatch>, kBatchesInFlight>& batches;
    ~Cancel() {
      for (std::unique_ptr<SetBatch>& batch : batches) batch->searches.reset();
    }
  } cancel{batches_};
  // The batches in the order handed out; the oldest is handed to the table
  // while the workers search the others.
  std::deque<SetBatch*> in_flight;
  std::size_t next = 0;
  bool night_ended = false;
  const auto launch = [&] {
    SetBatch& batch = *batches_[next];
    next = (next + 1) % kBatchesInFlight;
    batch.reset();
    fill(batch, io);
    start_searches(batch, run, night, io.stop, pool_);
    in_flight.push_back(&batch);
    night_ended = batch.ends_night;
  };
  while (!night_ended && in_flight.size() + 1 < kBatchesInFlight) launch();
  while (!in_flight.empty()) {
    if (!night_ended && in_flight.size() < kBatchesInFlight) launch();
    replay(*in_flight.front(), io, sink, handed_out);
    in_flight.pop_front();
  }
}

}  // namespace vespera
