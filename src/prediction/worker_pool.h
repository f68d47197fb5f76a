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
#include <thread>
#include <vector>

namespace vespera {

class WorkerPool;

// start_quiet_thread: a thread running `work` with interrupt and termination
// requests blocked, so that the main thread takes them.
std::thread start_quiet_thread(std::function<void()> work);

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

// start_quiet_thread: a thread running `work` with interrupt and termination
// requests blocked, so that the main thread takes them.
std::thread start_quiet_thread(std::function<void()> work);
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
  // workers: the number of worker threads (at least 1).
  explicit WorkerPool(int workers);
  ~WorkerPool();  // (not copied: it holds a mutex)

  // submit: the workers start on the range's tasks; the range waits for
  // them before it goes.
  void submit(TaskRange& range);

 private:
  friend class TaskRange;
  void work();
  // Takes the range out of the queue; returns how many of its tasks were taken.
  std::size_t withdraw(TaskRange& range);

  std::vector<std::thread> threads_;
  std::deque<TaskRange*> queue_;  // ranges with tasks not yet taken
  bool closing_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
};

}  // namespace vespera
