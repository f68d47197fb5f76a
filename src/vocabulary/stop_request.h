// A request to stop the program, made by an interrupt or a termination
// request. The long loops ask it at every safe point (between days, element
// sets, candidate revolutions, steps of a pass walk and report lines) and end
// the program there, so that the report is flushed and closed.
#pragma once

#include <atomic>

#include "vocabulary/program_exit.h"

namespace vespera {

class StopToken {
 public:
  // A token that is never requested.
  StopToken() = default;
  // A token that reads `flag`, which a signal handler may set at any time.
  explicit StopToken(const std::atomic<bool>& flag) : flag_(&flag) {}

  bool stop_requested() const {
    return flag_ != nullptr && flag_->load(std::memory_order_relaxed);
  }
  // Ends the program with the interrupted status (ProgramExit) when a stop
  // has been requested.
  void throw_if_requested() const {
    if (stop_requested()) throw ProgramExit(kInterruptedExitStatus);
  }

 private:
  const std::atomic<bool>* flag_ = nullptr;
};

}  // namespace vespera
