// The program as a process: exit statuses, the diagnostic of a fatal input or
// output error, the signal words, and the stop of a program whose report
// cannot be written.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "run_test_support.h"

namespace vespera {
namespace {

using testing::example_section;
using testing::kBanner;
using testing::lines;
using testing::TempWorkingDirectory;

// The program running in the working directory, its console on pipes.
class Process {
 public:
  explicit Process(const std::vector<std::string>& arguments, bool ignore_interrupts = false) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      const rlimit no_core{0, 0};
      setrlimit(RLIMIT_CORE, &no_core);
      std::signal(SIGINT, ignore_interrupts ? SIG_IGN : SIG_DFL);
      std::vector<char*> argv;
      std::string binary = VESPERA_BINARY;
      argv.push_back(binary.data());
      std::vector<std::string> copies = arguments;
      for (std::string& argument : copies) argv.push_back(argument.data());
      argv.push_back(nullptr);
      execv(binary.c_str(), argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
  }
  ~Process() {
    if (in_ >= 0) close(in_);
    close(out_);
    close(err_);
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  void send(const std::string& text) {
    if (write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
  }
  void close_input() {
    close(in_);
    in_ = -1;
  }
  // Reads standard output until it ends with `text` (or ends).
  void wait_for_output(const std::string& text) {
    while (out_text_.size() < text.size() ||
           out_text_.compare(out_text_.size() - text.size(), text.size(), text) != 0) {
      char buffer[256];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) return;
      out_text_.append(buffer, static_cast<std::size_t>(n));
    }
  }
  // Reads standard error until it holds `text` (or ends).
  void wait_for_error(const std::string& text) {
    while (err_text_.find(text) == std::string::npos) {
      char buffer[256];
      const ssize_t n = read(err_, buffer, sizeof buffer);
      if (n <= 0) return;
      err_text_.append(buffer, static_cast<std::size_t>(n));
    }
  }
  void signal(int signal_number) { kill(pid_, signal_number); }
  pid_t pid() const { return pid_; }

  // Waits at most `seconds` for the end, reading the console meanwhile so
  // that the program never waits on a full pipe; returns the wait status, or
  // -1 when it is still running then.
  int wait_within(double seconds) {
    if (in_ >= 0) close_input();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) return -1;
      pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
      if (poll(fds, 2, 1) > 0) {
        std::string* texts[2] = {&out_text_, &err_text_};
        for (int k = 0; k < 2; ++k) {
          char buffer[4096];
          if ((fds[k].revents & POLLIN) == 0) continue;
          const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
          if (n > 0) texts[k]->append(buffer, static_cast<std::size_t>(n));
        }
      }
    }
    waited_ = true;
    out_text_ += drain(out_);
    err_text_ += drain(err_);
    return status;
  }

  // Waits for the end; returns the wait status.
  int wait() {
    if (in_ >= 0) close_input();
    out_text_ += drain(out_);
    err_text_ += drain(err_);
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return status;
  }
  const std::string& out() const { return out_text_; }
  const std::string& err() const { return err_text_; }

 private:
  static std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    return text;
  }

  pid_t pid_ = -1;
  bool waited_ = false;
  int in_ = -1, out_ = -1, err_ = -1;
  std::string out_text_, err_text_;
};

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

int exit_status(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::copy_three_sets(directory_.path()); }
  TempWorkingDirectory directory_;
};

TEST_F(ProgramTest, OrderlyEndIsStatusZero) {
  directory_.write("vespera.ctl", lines(example_section({"three-sets.mag", "none", "report.txt",
                                                         "three-sets.tle"})));
  Process program({});
  const int status = program.wait();
  EXPECT_EQ(exit_status(status), 0);
  EXPECT_EQ(program.out().substr(0, kBanner.size()), kBanner);
  EXPECT_NE(program.out().find(" predictions written to file report.txt"), std::string::npos);
  EXPECT_EQ(program.err(), "");
}

// --help and --version answer on standard output without the banner and
// without looking for a control file; a bad --threads or --model value and
// an unknown option are one line on standard error with status 2; the
// options leave the control file's argument to the run.
TEST_F(ProgramTest, OptionsTable) {
  directory_.write("test.ctl", lines(example_section({"three-sets.mag", "none", "report.txt",
                                                      "three-sets.tle"})));
  struct Row {
    std::vector<std::string> arguments;
    int status;
    std::string out_start;  // standard output starts with this
    std::string err;
  };
  const Row rows[] = {
      {{"--help"}, 0, "Usage: vespera [--threads N] [--model sgp4|compact] [CONTROL-FILE]\n", ""},
      {{"no-such.ctl", "--help"}, 0, "Usage: vespera [--threads N] [--model sgp4|compact] [CONTROL-FILE]\n", ""},
      {{"--version"}, 0, "vespera 1.0\n", ""},
      {{"--threads", "0", "test.ctl"}, 2, "",
       "vespera: --threads takes a whole number from 1 to 256, not \"0\"\n"},
      {{"test.ctl", "--threads"}, 2, "",
       "vespera: --threads needs a value: a whole number from 1 to 256\n"},
      {{"--threads", "2", "test.ctl"}, 0, kBanner + "   17 predictions written to file report.txt", ""},
      {{"--threads=1", "no-such.ctl"}, 0, kBanner + "Control file not found (no-such.ctl ", ""},
      {{"--model", "sgp4", "test.ctl"}, 0,
       "Vespera 1.0 - satellite visibility predictions (SGP4 model)\n", ""},
      {{"--model=compact", "test.ctl"}, 0, kBanner + "   17 predictions written to file report.txt", ""},
      {{"test.ctl", "--model"}, 2, "", "vespera: --model needs a value: sgp4 or compact\n"},
      {{"--model", "SGP4", "test.ctl"}, 2, "", "vespera: --model takes sgp4 or compact, not \"SGP4\"\n"},
      {{"--model="}, 2, "", "vespera: --model takes sgp4 or compact, not \"\"\n"},
      {{"--frobnicate", "test.ctl"}, 2, "",
       "vespera: unknown option \"--frobnicate\" (a control file of that name is given as "
       "./--frobnicate)\n"},
      {{"test.ctl", "--"}, 2, "",
       "vespera: unknown option \"--\" (a control file of that name is given as ./--)\n"},
      {{"./--frobnicate"}, 0, kBanner + "Control file not found (./--frobnicate ", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments.front());
    Process program(row.arguments);
    const int status = program.wait();
    EXPECT_EQ(exit_status(status), row.status);
    EXPECT_EQ(program.out().substr(0, row.out_start.size()), row.out_start);
    if (row.out_start.empty()) {
      EXPECT_EQ(program.out(), "");
    }
    EXPECT_EQ(program.err(), row.err);
  }
  // The help names every option and where the reference is.
  Process help({"--help"});
  help.wait();
  for (const char* text : {"--threads N", "--model NAME", "--help", "--version", "Exit status", "README.md"}) {
    EXPECT_NE(help.out().find(text), std::string::npos) << text;
  }
  EXPECT_EQ(help.out().find(kBanner), std::string::npos);
}

TEST_F(ProgramTest, FatalInputErrorsNameTheFile) {
  struct Row {
    std::vector<std::string> control;
    std::string answers;
    std::string diagnostic;
  };
  const Row rows[] = {
      {example_section({"three-sets.mag", "none"}), "",
       "vespera: test.ctl: end of file inside a section\n"},
      {example_section({"three-sets.mag", "none", "prompt", "three-sets.tle"}), "",
       "vespera: standard input: end of file where an answer is required\n"},
      {example_section({"three-sets.mag", "none", "no-such-dir/report.txt", "three-sets.tle"}), "",
       "vespera: no-such-dir/report.txt: cannot create the report: No such file or directory\n"},
      // A report that cannot be written (a full device) is not reported as written.
      {example_section({"three-sets.mag", "none", "/dev/full", "three-sets.tle"}), "",
       "vespera: /dev/full: No space left on device\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.diagnostic);
    directory_.write("test.ctl", lines(row.control));
    Process program({"test.ctl"});
    program.send(row.answers);
    const int status = program.wait();
    EXPECT_EQ(exit_status(status), 2);
    EXPECT_EQ(program.err(), row.diagnostic);
    EXPECT_EQ(program.out().find("predictions written"), std::string::npos);
  }
}

TEST_F(ProgramTest, YearOutOfRangeStopsWithStatusZero) {
  std::vector<std::string> rows = example_section({"three-sets.mag", "none", "report.txt",
                                                   "three-sets.tle"});
  rows[0] = "2100 1";
  directory_.write("test.ctl", lines(rows));
  Process program({"test.ctl"});
  const int status = program.wait();
  EXPECT_EQ(exit_status(status), 0);
  EXPECT_EQ(program.out(), kBanner + "Year cannot be greater than 2099\n");
  EXPECT_EQ(program.err(), "STOP Error statement executed\n");
}

TEST_F(ProgramTest, InterruptAndTerminationWhileWaitingForAnAnswer) {
  struct Row {
    int signal_number;
    const char* word;
  };
  for (const Row row : {Row{SIGINT, "Interrupt\n"}, Row{SIGTERM, "Killed\n"}}) {
    SCOPED_TRACE(row.word);
    Process program({});  // no control file: the program asks for one
    program.wait_for_output("Enter control file name\n");
    program.signal(row.signal_number);
    const int status = program.wait();
    EXPECT_EQ(exit_status(status), 1);
    EXPECT_EQ(program.err(), row.word);
    EXPECT_EQ(program.out(), kBanner + "Enter control file name\n");
  }
}

TEST_F(ProgramTest, IgnoredInterruptStaysIgnored) {
  Process program({}, /*ignore_interrupts=*/true);
  program.wait_for_output("Enter control file name\n");
  program.signal(SIGINT);
  program.signal(SIGTERM);
  const int status = program.wait();
  EXPECT_EQ(exit_status(status), 1);
  EXPECT_EQ(program.err(), "Killed\n");
}

TEST_F(ProgramTest, FloatingExceptionAndAbortEndTheProcess) {
  struct Row {
    int signal_number;
    const char* word;
  };
  for (const Row row : {Row{SIGFPE, "Floating Exception\n"}, Row{SIGABRT, "IOT Trap\n"}}) {
    SCOPED_TRACE(row.word);
    Process program({});
    program.wait_for_output("Enter control file name\n");
    program.signal(row.signal_number);
    const int status = program.wait();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), row.signal_number);
    EXPECT_EQ(program.err(), row.word);
  }
}

TEST_F(ProgramTest, InterruptedRunLeavesTheReportWrittenSoFar) {
  // The second section of a combined run asks for the output file name: the
  // report is open, with its settings line, when the interrupt arrives.
  const std::string control =
      lines(example_section({"three-sets.mag", "none", "report.txt", "three-sets.tle", "combine"})) +
      lines(example_section({"three-sets.mag", "none", "prompt", "three-sets.tle"}));
  directory_.write("test.ctl", control);
  Process program({"test.ctl"});
  program.wait_for_output("Enter output file name\n");
  program.signal(SIGINT);
  const int status = program.wait();
  EXPECT_EQ(exit_status(status), 1);
  EXPECT_EQ(program.err(), "Interrupt\n");
  EXPECT_EQ(directory_.read("report.txt"), testing::kExampleSettingsLine);
}

// A stop request is acted on wherever the run is: in a day loop of empty
// windows (every day reported on standard error) and inside the search of
// one night of 1e11 hours. The run ends within 2 s with status 1, the word
// once, and the report closed on a whole line; a second request while the
// first is being acted on loses nothing. (Two requests sent together may be
// handled in either order: one word is written, of the one handled first.)
TEST_F(ProgramTest, StopRequestsEndLongRunsPromptly) {
  struct Row {
    const char* name;
    const char* days;
    const char* window;
    std::vector<int> signals;
    const char* word;
  };
  const Row rows[] = {
      {"empty windows", "1 2000000000", "30 0", {SIGTERM}, "Killed\n"},
      {"one long night", "16 16", "0 99999999999", {SIGINT}, "Interrupt\n"},
      {"empty windows, twice", "1 2000000000", "30 0", {SIGINT, SIGTERM}, "Interrupt\n"},
      {"one long night, twice", "16 16", "0 99999999999", {SIGTERM, SIGINT}, "Killed\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> section =
        example_section({"three-sets.mag", "none", "report.txt", "three-sets.tle"});
    section[1] = row.days;
    section[2] = row.window;
    directory_.write("test.ctl", lines(section));
    std::filesystem::remove(directory_.path() / "report.txt");
    Process program({"test.ctl"});
    // Under way: the first empty day reported, or the report opened for the night.
    if (std::string(row.window) == "30 0") {
      program.wait_for_error(" Day  2 Start time");
    } else {
      while (!directory_.exists("report.txt")) usleep(1000);
    }
    for (const int signal_number : row.signals) program.signal(signal_number);
    const int status = program.wait_within(2.0);
    ASSERT_NE(status, -1) << "still running 2 s after the request";
    EXPECT_EQ(exit_status(status), 1);
    const std::string& err = program.err();
    const std::size_t words = count(err, "Interrupt\n") + count(err, "Killed\n");
    EXPECT_EQ(words, 1u) << err.substr(err.size() > 100 ? err.size() - 100 : 0);
    if (row.signals.size() == 1) {
      // The word is the last line, or the one before a line that was being
      // written when the request came.
      const std::size_t at = err.find(row.word);
      ASSERT_NE(at, std::string::npos);
      EXPECT_LE(count(err.substr(at + std::strlen(row.word)), "\n"), 1u);
    }
    const std::string report = directory_.read("report.txt");
    EXPECT_EQ(report.substr(0, testing::kExampleSettingsLine.size()),
              testing::kExampleSettingsLine);
    EXPECT_EQ(report.back(), '\n');
  }
}

// ---------------------------------------------------------------------------
// A report that cannot be written: a pipe that no one reads. A first stop
// request cannot end the program while its report waits; a second one, 2 s
// or more after the first, ends it at once with status 1.

constexpr std::chrono::milliseconds kStopGrace{2000};

// One night of the three satellites in small steps, every point whatever
// its brightness or sunlight: a report of about 250 kB, more than a pipe takes.
std::vector<std::string> crowded_night(const std::string& report) {
  std::vector<std::string> rows = example_section({"three-sets.mag", "none", report, "three-sets.tle"});
  rows[1] = "16 16";
  rows[2] = "0 24 A";
  rows[6] = "30";
  rows[7] = "0";
  rows[8] = "0.03";
  rows[11] = "T";
  return rows;
}

std::string read_all(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// The system call the process's main thread waits in, as /proc shows it
// (its number and arguments), or "running".
std::string waiting_call(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
  std::string line;
  std::getline(file, line);
  return line;
}

class BlockedReport : public ProgramTest {
 protected:
  // The report file made a pipe, opened here for reading but never read
  // while the program runs; returns the reading end (not blocking).
  int stalled_report_pipe() {
    const std::string path = (directory_.path() / "report.txt").string();
    if (mkfifo(path.c_str(), 0600) != 0) std::abort();
    return open(path.c_str(), O_RDONLY | O_NONBLOCK);
  }
};

// With one thread, the main thread waits in the write itself: a second
// request interrupts it, and the program stops as on any stop. With more,
// the main thread waits for the writer's thread, which takes no signals: a
// second request soon after the first changes nothing, one 2 s or more
// after it ends the program at once. Either way the pipe holds the start of
// the report.
TEST_F(BlockedReport, ASecondRequestEndsTheProgram) {
  directory_.write("test.ctl", lines(crowded_night("whole.txt")));
  Process whole_run({"test.ctl"});
  ASSERT_EQ(exit_status(whole_run.wait()), 0);
  const std::string whole = directory_.read("whole.txt");
  ASSERT_GT(whole.size(), 200000u);
  directory_.write("test.ctl", lines(crowded_night("report.txt")));
  for (const char* threads : {"1", "2"}) {
    SCOPED_TRACE(std::string("threads ") + threads);
    const bool one_thread = std::string(threads) == "1";
    std::filesystem::remove(directory_.path() / "report.txt");
    const int pipe_end = stalled_report_pipe();
    ASSERT_GE(pipe_end, 0);
    const int capacity = fcntl(pipe_end, F_GETPIPE_SZ);
    Process program({"--threads", threads, "test.ctl"});
    // The pipe (all but its last page) is full: the report's writer waits.
    int unread = 0;
    while (ioctl(pipe_end, FIONREAD, &unread) == 0 && unread < capacity - 4096) usleep(1000);
    const auto first = std::chrono::steady_clock::now();
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait_within(0.3), -1) << "ended by the first request";
    program.signal(SIGTERM);
    if (!one_thread) {
      EXPECT_EQ(program.wait_within(0.3), -1) << "ended by a request soon after the first";
      std::this_thread::sleep_until(first + kStopGrace + std::chrono::milliseconds(100));
      program.signal(SIGTERM);
    }
    // (At once; the margin is for ThreadSanitizer, which waits 1 s at an
    // exit that leaves a thread behind.)
    const int status = program.wait_within(3.0);
    ASSERT_NE(status, -1) << "still running after the last request";
    EXPECT_EQ(exit_status(status), 1);
    EXPECT_EQ(program.err(), one_thread ? "Killed\n" : "Killed\nKilled\n");
    const std::string written = read_all(pipe_end);
    close(pipe_end);
    EXPECT_GE(written.size(), static_cast<std::size_t>(capacity - 4096));
    EXPECT_TRUE(whole.compare(0, written.size(), written) == 0);
  }
}

// A report that is a pipe no one has opened: the opening waits; a stop
// request then ends the program as a stop (status 1, its word alone), not
// as a failure to create the report.
TEST_F(BlockedReport, AStopWhileTheReportOpens) {
  directory_.write("test.ctl", lines(crowded_night("report.txt")));
  const std::string path = (directory_.path() / "report.txt").string();
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  for (const char* threads : {"1", "2"}) {
    SCOPED_TRACE(std::string("threads ") + threads);
    Process program({"--threads", threads, "test.ctl"});
    // Waiting in openat, and still there a moment later: the report's.
    const std::string opening = std::to_string(SYS_openat) + " ";
    std::string call;
    do {
      usleep(20000);
      call = waiting_call(program.pid());
    } while (call.rfind(opening, 0) != 0 || waiting_call(program.pid()) != call);
    program.signal(SIGINT);
    const int status = program.wait_within(2.0);
    ASSERT_NE(status, -1);
    EXPECT_EQ(exit_status(status), 1);
    EXPECT_EQ(program.err(), "Interrupt\n");
  }
}

}  // namespace
}  // namespace vespera
