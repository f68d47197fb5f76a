#include "prediction/thread_start.h"

#include <pthread.h>

#include <csignal>
#include <utility>

namespace vespera {

namespace {

// Interrupt and termination requests blocked for the lifetime of the object
// in the calling thread; its mask as before afterwards.
class StopSignalsBlocked {
 public:
  StopSignalsBlocked() {
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, &previous_);
  }
  ~StopSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  StopSignalsBlocked(const StopSignalsBlocked&) = delete;
  StopSignalsBlocked& operator=(const StopSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace

std::thread start_thread(std::function<void()> work) { return std::thread(std::move(work)); }

std::thread start_quiet_thread(std::function<void()> work, const ThreadStarter& start) {
  // A new thread takes the signal mask of the thread that makes it.
  const StopSignalsBlocked blocked;
  return start(std::move(work));
}

}  // namespace vespera
