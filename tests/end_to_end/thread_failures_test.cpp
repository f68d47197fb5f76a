// Whole runs in this process with 1, 2, 3 and 8 searching threads where
// something fails on the way: an element file whose read fails in its middle
// after the table was split, and threads that cannot be started. The report,
// the console and the exit status are those of one thread (a thread that
// cannot start adds one line on the error stream).
#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "crowded_runs.h"
#include "end_to_end_support.h"
#include "run/exit_status.h"
#include "run/run_test_support.h"
#include "support/failing_thread_start.h"

namespace vespera::e2e {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err, report;
};

// The working directory is the workspace's while the object lives.
class InWorkspace {
 public:
  explicit InWorkspace(const Workspace& ws) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(ws.path());
  }
  ~InWorkspace() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

// Runs the control file run.ctl of the workspace in this thread with
// `threads` threads, each made by `start`.
Outcome run_here(const Workspace& ws, int threads, const ThreadStarter& start = start_thread) {
  std::filesystem::remove(ws.path() / "report.txt");
  const InWorkspace in(ws);
  vespera::testing::CapturedConsole captured;
  Outcome outcome;
  outcome.status = exit_status_of_run("run.ctl", captured.console, threads, OrbitModel::Compact, start);
  outcome.out = captured.out();
  outcome.err = captured.err();
  outcome.report = ws.read("report.txt");
  return outcome;
}

void expect_same(const Outcome& many, const Outcome& one) {
  EXPECT_EQ(many.status, one.status);
  EXPECT_TRUE(many.out == one.out) << many.out.substr(0, 400);
  EXPECT_TRUE(many.report == one.report) << "reports of " << many.report.size() << " and "
                                         << one.report.size() << " bytes differ";
}

// While the object lives, SIGUSR1 interrupts a system call that waits (a
// read of an empty pipe) and does nothing else.
class InterruptingSignal {
 public:
  InterruptingSignal() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the call returns EINTR
    sigaction(SIGUSR1, &action, &previous_);
  }
  ~InterruptingSignal() { sigaction(SIGUSR1, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// An element file that is a pipe: it gives `text`, and once the reading
// thread has taken all of it, the read that waits for more fails
// ("Interrupted system call"), as a read error in the middle of a file does.
class FailingPipe {
 public:
  FailingPipe(const std::filesystem::path& path, std::string text)
      : path_(path), text_(std::move(text)), reader_(pthread_self()) {
    std::filesystem::remove(path_);
    if (mkfifo(path_.c_str(), 0600) != 0) throw std::system_error(errno, std::generic_category());
    feeder_ = std::thread([this] { feed(); });
  }
  ~FailingPipe() {
    done_.store(true);
    feeder_.join();
  }

 private:
  void feed() {
    // A reader that goes early makes the writes fail (EPIPE), not the process end.
    sigset_t broken_pipe;
    sigemptyset(&broken_pipe);
    sigaddset(&broken_pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &broken_pipe, nullptr);
    int fd = -1;
    while (!done_.load() && (fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK)) < 0) usleep(1000);
    if (fd < 0) return;
    fcntl(fd, F_SETFL, 0);
    bool fed = true;
    for (std::size_t at = 0; fed && at < text_.size();) {
      const ssize_t n = write(fd, text_.data() + at, text_.size() - at);
      fed = n > 0;
      at += fed ? static_cast<std::size_t>(n) : 0;
    }
    int unread = 0;
    while (fed && !done_.load() && ioctl(fd, FIONREAD, &unread) == 0 && unread > 0) usleep(1000);
    // Every byte is taken: the reader's next read waits, and is interrupted.
    while (fed && !done_.load()) {
      pthread_kill(reader_, SIGUSR1);
      usleep(1000);
    }
    close(fd);
  }

  std::filesystem::path path_;
  std::string text_;
  pthread_t reader_;
  std::atomic<bool> done_{false};
  std::thread feeder_;
};

TEST(ThreadCounts, ReadErrorInsideAnElementFileAfterATableSplit) {
  ExcerptWorkspace ws;
  Section s = crowded_day();
  s.memory = "F";
  s.elements = {"visual-excerpt.tle", "sets.fifo"};
  ws.write("run.ctl", s.text());
  const std::string text = with_duplicates(ws.read("visual-excerpt.tle"));
  const InterruptingSignal interrupting;
  const auto run = [&](int threads) {
    const FailingPipe pipe(ws.path() / "sets.fifo", text);
    return run_here(ws, threads);
  };
  const Outcome one = run(1);
  EXPECT_EQ(one.status, 2);
  EXPECT_EQ(one.err, "vespera: sets.fifo: read error: Interrupted system call\n");
  EXPECT_NE(one.out.find("Space limit10000 predictions - output is being split up\n"),
            std::string::npos);
  EXPECT_NE(one.out.find("Format error in elements file at line"), std::string::npos);
  for (const int threads : {2, 3, 8}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    const Outcome many = run(threads);
    expect_same(many, one);
    EXPECT_EQ(many.err, one.err);
  }
}

bool stop_signals_blocked() {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, SIGINT) == 1 || sigismember(&mask, SIGTERM) == 1;
}

// The report writer's thread starts first, then the searching workers. The
// run goes on with the threads that started; one line says how many.
TEST(ThreadCounts, ThreadsThatCannotStart) {
  ExcerptWorkspace ws;
  Section second;
  second.days = "16 17";
  ws.write("run.ctl", crowded_day_combined_with(second));
  const Outcome one = run_here(ws, 1);
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(one.err, "");
  struct Row {
    int threads;
    int first_failing;  // 0: the writer's thread, k: the k-th worker
    const char* running;
  };
  const Row rows[] = {{2, 0, "1 of 2"}, {2, 1, "1 of 2"}, {3, 2, "1 of 3"},
                      {3, 3, "2 of 3"}, {8, 6, "5 of 8"}, {8, 8, "7 of 8"}};
  for (const Row& row : rows) {
    SCOPED_TRACE("threads " + std::to_string(row.threads) + ", failing from " +
                 std::to_string(row.first_failing));
    const Outcome many = run_here(ws, row.threads, test::failing_from(row.first_failing));
    expect_same(many, one);
    EXPECT_EQ(many.err, std::string("vespera: could not start more threads (Resource temporarily "
                                    "unavailable); running with ") +
                            row.running + "\n");
    EXPECT_FALSE(stop_signals_blocked());
  }
}

}  // namespace
}  // namespace vespera::e2e
