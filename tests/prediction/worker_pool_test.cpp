// The worker pool: every task of a range runs once, an exception is kept for
// its task, and a cancelled range leaves no task running behind it.
#include "prediction/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

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

}  // namespace
}  // namespace vespera
