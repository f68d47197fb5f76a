// A thread start that fails as on a machine out of threads, for the tests of
// the worker pool and of whole runs whose threads cannot all start.
#pragma once

#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

#include "prediction/thread_start.h"

namespace vespera::test {

// Starts threads until the start numbered `first_failing` (0: the first),
// which and every later one throws std::system_error.
inline ThreadStarter failing_from(int first_failing) {
  auto started = std::make_shared<int>(0);
  return [started, first_failing](std::function<void()> work) {
    if ((*started)++ >= first_failing) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    return std::thread(std::move(work));
  };
}

}  // namespace vespera::test
