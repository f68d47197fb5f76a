#include "run/signals.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace vespera {

namespace {

// Set by the handler of an interrupt or termination request; acted on at the
// next safe point. With the handler's own mark of a first request, the only
// mutable state of the program outside its records. Lock-free, so that the
// handler may set it and any thread may read it.
std::atomic<bool> g_stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

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
  write_word(word_of(signal_number));
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal_number, &default_action, nullptr);
  raise(signal_number);  // delivered when the handler returns
}

// Interrupt and termination request: the word, and a flag for the next safe
// point, which every loop of the program reaches within moments. A further
// request while the first is being acted on changes nothing: the program is
// already on its way to closing the report.
void on_stop_signal(int signal_number) {
  static std::atomic<bool> requested_before{false};  // a request has come before
  if (requested_before.exchange(true)) return;
  // The word first: the program may end as soon as it sees the flag.
  write_word(word_of(signal_number));
  g_stop_requested.store(true);
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

void check_interrupt() { signal_stop_token().throw_if_requested(); }

}  // namespace vespera
