// BackgroundReportWriter: the report written on a thread of its own while
// the engine goes on. Each table handed to it is copied and emptied at once;
// the thread writes the copies through the report writer in the order they
// were handed over, so the report is the one the writer would have written
// itself. A few tables may wait their turn; the engine waits beyond that.
// A table handed over is written whole, also after a stop request: one
// thread would have written it before it went on.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "prediction/night.h"
#include "prediction/prediction_table.h"
#include "prediction/thread_start.h"
#include "report/report_writer.h"

namespace vespera {

class BackgroundReportWriter final : public PredictionFlusher {
 public:
  // The thread is made by `start`; a start that fails throws
  // std::system_error (the report is then the writer's to write directly).
  explicit BackgroundReportWriter(ReportWriter& writer, const ThreadStarter& start = start_thread);
  // Waits for the tables in hand to be written; errors are dropped.
  ~BackgroundReportWriter() override;
  BackgroundReportWriter(const BackgroundReportWriter&) = delete;
  BackgroundReportWriter& operator=(const BackgroundReportWriter&) = delete;

  // flush_predictions: takes a copy of the table and empties it, waiting
  // while the most tables wait their turn. An empty table is left as it is.
  // Throws the error (a failed write) of an earlier write.
  void flush_predictions(PredictionTable& table, const NightState& night) override;

  // finish: waits until every table handed over is written; throws the error
  // of a write. The writer may then be used directly (a new run, the count).
  void finish();

 private:
  struct Job {
    std::unique_ptr<PredictionTable> table;
    NightState night;
  };
  void write_tables();

  ReportWriter& writer_;
  std::deque<Job> waiting_;       // in the order handed over
  std::vector<Job> spare_;        // tables written, for reuse
  bool writing_ = false;          // the thread is writing a table
  bool closing_ = false;
  std::exception_ptr error_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;  // last: started when everything above is in place
};

}  // namespace vespera
