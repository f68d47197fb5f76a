// Starting the program's own threads: the searching workers and the report
// writer's thread. How a thread is made is a parameter, so that a test can
// make a start fail as a machine out of threads does (std::system_error).
#pragma once

#include <functional>
#include <thread>

namespace vespera {

// Makes a thread running its argument, or throws std::system_error.
using ThreadStarter = std::function<std::thread(std::function<void()>)>;

// start_thread: std::thread's own start.
std::thread start_thread(std::function<void()> work);

// start_quiet_thread: a thread made by `start` running `work` with interrupt
// and termination requests blocked, so that the main thread takes them. The
// caller's signal mask is left as it was, also when the start throws.
std::thread start_quiet_thread(std::function<void()> work,
                               const ThreadStarter& start = start_thread);

}  // namespace vespera
