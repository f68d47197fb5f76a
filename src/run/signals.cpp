#include "run/signals.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

namespace vespera {

namespace {

// Set by the handler of an interrupt or termination request; acted on at the
// next safe point. With the handler's own mark and time of a first request,
// the only mutable state of the program outside its records. Lock-free, so
// that the handler may set it and any thread may read it.
std::atomic<bool> g_stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int64_t>::is_always_lock_free);  // the handler's time of a first request

void write_word(const char* word) {
  // write(2) is async-signal-safe; a failed write has nowhere to be reported.
  const std::size_t length = std::strlen(word);
  ssize_t written = ::write(STDERR_FILENO, word, length);
  written = ::write(STDERR_FILENO, "\n", 1);
  (void)written;
}

const char* word_of(int signal_number) {
  switch (signal_number) {
    case SIGFPE: return "Floating Exception";
    case SIGABRT: return "IOT Trap";
    case SIGINT: return "Interrupt";
    case SIGTERM: return "Killed";
    default: return "Signal";
  }
}

// Floating-point exception and abort: the word, then the default action of
// the signal, which ends the process.
void on_fatal_signal(int signal_number) {
  const int saved_errno = errno;
  write_word(word_of(signal_number));
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal_number, &default_action, nullptr);
  raise(signal_number);  // delivered when the handler returns
  errno = saved_errno;
}

// Nanoseconds of the monotonic clock (clock_gettime is async-signal-safe).
int64_t monotonic_nanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A stop request that the first has not acted on within this time ends the
// program at once.
constexpr int64_t kStopGraceNanoseconds = 2000000000;

// Interrupt and termination request: the word, and a flag for the next safe
// point, which every loop of the program reaches within moments. A further
// request soon after the first changes nothing: the program is on its way to
// closing the report. One that comes when the first has not ended the program
// within the grace time (a report that cannot be written, such as a pipe that
// no one reads) ends it at once with the interrupted status; the report keeps
// what was handed to the file.
void on_stop_signal(int signal_number) {
  const int saved_errno = errno;
  static std::atomic<bool> requested_before{false};  // a request has come before
  static std::atomic<int64_t> first_request{0};      // its time; 0 until set
  const int64_t now = monotonic_nanoseconds();
  if (!requested_before.exchange(true)) {
    first_request.store(now);
    // The word first: the program may end as soon as it sees the flag.
    write_word(word_of(signal_number));
    g_stop_requested.store(true);
  } else {
    const int64_t first = first_request.load();
    if (first != 0 && now - first >= kStopGraceNanoseconds) {
      write_word(word_of(signal_number));
      _exit(kInterruptedExitStatus);
    }
  }
  errno = saved_errno;
}

void install(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a console read waiting for input returns
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void install_signal_handlers() {
  install(SIGFPE, on_fatal_signal);
  install(SIGABRT, on_fatal_signal);
  // An interrupt that was ignored when the program started (a program run in
  // the background by a shell) stays ignored.
  struct sigaction current {};
  if (sigaction(SIGINT, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
    install(SIGINT, on_stop_signal);
  }
  install(SIGTERM, on_stop_signal);
}

StopToken signal_stop_token() { return StopToken(g_stop_requested); }

void wait_for_input(std::FILE* stream) {
#ifdef __GLIBC__
  if (stream->_IO_read_ptr < stream->_IO_read_end) return;  // read ahead already
#endif
  const int descriptor = fileno(stream);
  if (descriptor < 0) return;
  sigset_t requests;
  sigset_t before;
  sigemptyset(&requests);
  sigaddset(&requests, SIGINT);
  sigaddset(&requests, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &requests, &before) != 0) return;
  sigset_t during = before;
  sigdelset(&during, SIGINT);
  sigdelset(&during, SIGTERM);
  pollfd input{descriptor, POLLIN, 0};
  while (!g_stop_requested.load() && ppoll(&input, 1, nullptr, &during) < 0 && errno == EINTR) {
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void check_interrupt() { signal_stop_token().throw_if_requested(); }

}  // namespace vespera
