// A small pool of worker threads for the search: a range of tasks (one per
// element set of a batch) is handed to the pool, the workers take its tasks
// one at a time, and the caller waits for the range when it needs its
// results. The workers do not take interrupt or termination signals, which
// the main thread handles.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "prediction/thread_start.h"

namespace vespera {

class WorkerPool;

// TaskRange: `count` tasks, task(i) for i from 0 to count - 1, each run once
// by some worker. An exception that a task throws is kept for its index.
class TaskRange {
 public:
  TaskRange(std::size_t count, std::function<void(std::size_t)> task);
  ~TaskRange() { cancel(); }  // (not copied: it holds a mutex)

  // wait: until every task has run.
  void wait() { wait_for(count_); }
  // cancel: tasks not yet started are not run; waits for those started.
  void cancel();
  // The exception task(i) threw, or null.
  std::exception_ptr error(std::size_t i) const { return errors_[i]; }

 private:
  friend class WorkerPool;
  void run(std::size_t i);
  void wait_for(std::size_t tasks);

  std::size_t count_;
  std::function<void(std::size_t)> task_;
  std::vector<std::exception_ptr> errors_;
  WorkerPool* pool_ = nullptr;  // set when submitted
  std::size_t claimed_ = 0;     // tasks taken by workers; guarded by the pool's mutex
  std::size_t finished_ = 0;    // guarded by mutex_
  std::size_t awaited_ = 0;     // finished tasks the waiter waits for; guarded by mutex_
  std::mutex mutex_;
  std::condition_variable finished_one_;
};

class WorkerPool {
 public:
  // workers: the number of worker threads wanted (at least 1), each made by
  // `start`. A start that fails (std::system_error) ends the starting: the
  // pool works with the threads started before it, or with none.
  explicit WorkerPool(int workers, const ThreadStarter& start = start_thread);
  ~WorkerPool();  // (not copied: it holds a mutex)

  // The worker threads that run. With none, submit runs the tasks itself.
  int workers() const { return static_cast<int>(threads_.size()); }
  // Why fewer threads than wanted run; empty when all started.
  std::error_code start_failure() const { return start_failure_; }

  // submit: the workers start on the range's tasks; the range waits for
  // them before it goes. Without workers the calling thread runs them all.
  void submit(TaskRange& range);

 private:
  friend class TaskRange;
  void work();
  // Takes the range out of the queue; returns how many of its tasks were taken.
  std::size_t withdraw(TaskRange& range);
  // Lets the workers end once the queue is empty, and waits for them.
  void close();

  std::vector<std::thread> threads_;
  std::error_code start_failure_;
  std::deque<TaskRange*> queue_;  // ranges with tasks not yet taken
  bool closing_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace vespera
