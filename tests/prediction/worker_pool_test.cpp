// The worker pool: every task of a range runs once, an exception is kept for
// its task, and a cancelled range leaves no task running behind it. Threads
// that cannot start leave the pool with those that did (or none, the caller
// then running the tasks), and the caller's signal mask as it was.
#include "prediction/worker_pool.h"

#include <pthread.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "support/failing_thread_start.h"

namespace vespera {
namespace {

TEST(WorkerPool, EveryTaskRunsOnceAndErrorsStayWithTheirTask) {
  WorkerPool pool(3);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::atomic<int>> runs(257);
    TaskRange range(runs.size(), [&](std::size_t i) {
      runs[i].fetch_add(1);
      if (i % 50 == 7) throw std::runtime_error("task " + std::to_string(i));
    });
    pool.submit(range);
    range.wait();
    for (std::size_t i = 0; i < runs.size(); ++i) {
      ASSERT_EQ(runs[i].load(), 1) << i;
      ASSERT_EQ(range.error(i) != nullptr, i % 50 == 7) << i;
    }
  }
  TaskRange empty(0, [](std::size_t) {});
  pool.submit(empty);
  empty.wait();
}

TEST(WorkerPool, CancelledRangeWaitsForTheTasksStarted) {
  WorkerPool pool(2);
  std::atomic<int> started{0}, ended{0};
  {
    TaskRange range(1000, [&](std::size_t) {
      started.fetch_add(1);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ended.fetch_add(1);
    });
    pool.submit(range);
    while (started.load() == 0) std::this_thread::yield();
  }  // cancelled by its destructor
  EXPECT_EQ(started.load(), ended.load());
  EXPECT_LT(started.load(), 1000);
}

bool blocks(int signal_number) {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, signal_number) == 1;
}

TEST(WorkerPool, StartsThatFailLeaveThePoolWithTheThreadsStarted) {
  struct Row {
    int first_failing;
    int workers;
  };
  for (const Row row : {Row{0, 0}, Row{1, 1}, Row{3, 3}, Row{4, 4}, Row{9, 4}}) {
    SCOPED_TRACE(row.first_failing);
    WorkerPool pool(4, test::failing_from(row.first_failing));
    EXPECT_EQ(pool.workers(), row.workers);
    EXPECT_EQ(static_cast<bool>(pool.start_failure()), row.workers < 4);
    EXPECT_FALSE(blocks(SIGINT));
    EXPECT_FALSE(blocks(SIGTERM));
    std::vector<std::atomic<int>> runs(100);
    std::mutex mutex;
    std::set<std::thread::id> runners;
    TaskRange range(runs.size(), [&](std::size_t i) {
      runs[i].fetch_add(1);
      std::lock_guard lock(mutex);
      runners.insert(std::this_thread::get_id());
    });
    pool.submit(range);
    range.wait();
    for (std::size_t i = 0; i < runs.size(); ++i) ASSERT_EQ(runs[i].load(), 1) << i;
    // Without workers the caller runs the tasks; with workers, it never does.
    EXPECT_EQ(runners.count(std::this_thread::get_id()), row.workers == 0 ? 1u : 0u);
  }
}

TEST(WorkerPool, QuietThreadsLeaveStopSignalsToTheCaller) {
  std::atomic<bool> blocked_inside{false};
  std::thread quiet = start_quiet_thread([&] { blocked_inside = blocks(SIGINT) && blocks(SIGTERM); });
  quiet.join();
  EXPECT_TRUE(blocked_inside.load());
  EXPECT_FALSE(blocks(SIGINT));
  // A start that fails leaves the caller's mask as it was.
  EXPECT_THROW(start_quiet_thread([] {}, test::failing_from(0)), std::system_error);
  EXPECT_FALSE(blocks(SIGINT));
  EXPECT_FALSE(blocks(SIGTERM));
}

}  // namespace
}  // namespace vespera
