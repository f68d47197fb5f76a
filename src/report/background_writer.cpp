#include "report/background_writer.h"

#include <algorithm>
#include <utility>

namespace vespera {

namespace {

// Tables that may wait for the writer's thread before the engine waits.
constexpr std::size_t kMostWaitingTables = 3;

}  // namespace

BackgroundReportWriter::BackgroundReportWriter(ReportWriter& writer, const ThreadStarter& start)
    : writer_(writer), thread_(start_quiet_thread([this] { write_tables(); }, start)) {}

BackgroundReportWriter::~BackgroundReportWriter() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundReportWriter::flush_predictions(PredictionTable& table, const NightState& night) {
  if (table.count <= 0) return;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMostWaitingTables || error_; });
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    Job job;
    if (spare_.empty()) {
      job.table = std::make_unique<PredictionTable>();
    } else {
      job = std::move(spare_.back());
      spare_.pop_back();
    }
    // The engine's table takes the job's empty slots.
    job.table->swap_slots(table);
    job.night = night;
    waiting_.push_back(std::move(job));
  }
  table.clear();
  changed_.notify_all();
}

void BackgroundReportWriter::finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (waiting_.empty() && !writing_) || error_; });
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void BackgroundReportWriter::write_tables() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
    if (waiting_.empty()) return;  // closing, with nothing in hand
    Job job = std::move(waiting_.front());
    waiting_.pop_front();
    writing_ = true;
    lock.unlock();
    std::exception_ptr error;
    try {
      writer_.flush_whole(*job.table, job.night);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    writing_ = false;
    if (error) {
      error_ = error;
      waiting_.clear();  // nothing after a failed write is written
    }
    spare_.push_back(std::move(job));
    changed_.notify_all();
  }
}

}  // namespace vespera
