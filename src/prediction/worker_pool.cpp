#include "prediction/worker_pool.h"

#include <algorithm>

namespace vespera {

TaskRange::TaskRange(std::size_t count, std::function<void(std::size_t)> task)
    : count_(count), task_(std::move(task)), errors_(count) {}

void TaskRange::run(std::size_t i) {
  try {
    task_(i);
  } catch (...) {
    errors_[i] = std::current_exception();
  }
  std::lock_guard lock(mutex_);
  // The waiter is woken only when what it waits for is done.
  if (++finished_ == awaited_) finished_one_.notify_all();
}

void TaskRange::wait_for(std::size_t tasks) {
  std::unique_lock lock(mutex_);
  awaited_ = tasks;
  finished_one_.wait(lock, [&] { return finished_ >= tasks; });
}

void TaskRange::cancel() {
  wait_for(pool_ != nullptr ? pool_->withdraw(*this) : 0);
}

WorkerPool::WorkerPool(int workers, const ThreadStarter& start) {
  const std::size_t wanted = static_cast<std::size_t>(std::max(workers, 1));
  threads_.reserve(wanted);
  try {
    while (threads_.size() < wanted) threads_.push_back(start_quiet_thread([this] { work(); }, start));
  } catch (const std::system_error& error) {
    start_failure_ = error.code();
  } catch (...) {
    close();  // no thread outlives a pool that is not made
    throw;
  }
}

WorkerPool::~WorkerPool() { close(); }

void WorkerPool::close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void WorkerPool::submit(TaskRange& range) {
  if (range.count_ == 0) return;
  if (threads_.empty()) {
    {
      std::lock_guard lock(mutex_);
      range.pool_ = this;
      range.claimed_ = range.count_;
    }
    for (std::size_t i = 0; i < range.count_; ++i) range.run(i);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    range.pool_ = this;
    queue_.push_back(&range);
  }
  wake_.notify_all();
}

std::size_t WorkerPool::withdraw(TaskRange& range) {
  std::lock_guard lock(mutex_);
  queue_.erase(std::remove(queue_.begin(), queue_.end(), &range), queue_.end());
  return range.claimed_;
}

void WorkerPool::work() {
  for (;;) {
    TaskRange* range = nullptr;
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;  // closing, with nothing left to take
      range = queue_.front();
      index = range->claimed_++;
      if (range->claimed_ == range->count_) queue_.pop_front();
    }
    range->run(index);
  }
}

}  // namespace vespera
