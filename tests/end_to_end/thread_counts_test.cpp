// The same whole runs with 1, 2, 3 and 8 searching threads: the report, the
// console output and the exit status are the same byte for byte. The runs:
// random sections of every report format; a combined run; a day that fills
// the prediction table more than once; streaming mode with newer and older
// duplicates and a damaged set; a fatal read error (the third element file
// a directory) after the table was split; and a run interrupted at a prompt
// after its table was split.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "crowded_runs.h"
#include "end_to_end_support.h"
#include "random_sections.h"

namespace vespera::e2e {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err, report;
};

// Runs the program with --threads `threads` on the control file run.ctl,
// with `input` on the console; with `interrupt_at`, sends an interrupt once
// the console shows that text (the console input then stays open, so that a
// prompt waits).
Outcome run_with(const Workspace& ws, int threads, const std::string& input_text,
                 const std::string& interrupt_at, const std::string& model = "compact") {
  for (const char* name : {"report.txt", "out.txt", "err.txt"}) std::filesystem::remove(ws.path() / name);
  int input[2];
  if (pipe(input) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(input[0], STDIN_FILENO);
    close(input[0]);
    close(input[1]);
    if (chdir(ws.path().c_str()) != 0 || !std::freopen("out.txt", "w", stdout) ||
        !std::freopen("err.txt", "w", stderr)) {
      _exit(126);
    }
    const std::string count = std::to_string(threads);
    execl(VESPERA_BINARY, VESPERA_BINARY, "--threads", count.c_str(), "--model", model.c_str(), "run.ctl",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  if (write(input[1], input_text.data(), input_text.size()) !=
      static_cast<ssize_t>(input_text.size())) {
    std::abort();
  }
  if (interrupt_at.empty()) close(input[1]);
  if (!interrupt_at.empty()) {
    // A run that never shows the text is a failure, not a test that waits
    // for ever: after a minute it is killed.
    int waited_ms = 0;
    while (ws.read("out.txt").find(interrupt_at) == std::string::npos && waited_ms < 60000) {
      usleep(2000);
      waited_ms += 2;
    }
    if (waited_ms >= 60000) ADD_FAILURE() << "the console never showed: " << interrupt_at;
    kill(pid, waited_ms >= 60000 ? SIGKILL : SIGINT);
  }
  Outcome outcome;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
  if (!interrupt_at.empty()) close(input[1]);
  outcome.out = ws.read("out.txt");
  outcome.err = ws.read("err.txt");
  outcome.report = ws.read("report.txt");
  return outcome;
}

// Every thread count gives the one-thread outcome; returns it.
Outcome expect_same_for_every_thread_count(const Workspace& ws, const std::string& input = "",
                                           const std::string& interrupt_at = "",
                                           const std::string& model = "compact") {
  const Outcome one = run_with(ws, 1, input, interrupt_at, model);
  for (const int threads : {2, 3, 8}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    const Outcome many = run_with(ws, threads, input, interrupt_at, model);
    EXPECT_EQ(many.status, one.status);
    EXPECT_TRUE(many.out == one.out) << many.out.substr(0, 400);
    EXPECT_TRUE(many.err == one.err) << many.err.substr(0, 400);
    EXPECT_TRUE(many.report == one.report) << "reports of " << many.report.size() << " and "
                                           << one.report.size() << " bytes differ";
  }
  return one;
}

TEST(ThreadCounts, RandomSectionsOfEveryFormat) {
  for (const char format : {'A', 'B', 'C', 'D', 'E', 'R'}) {
    for (uint32_t n = 0; n < 2; ++n) {
      const RandomRun run = random_run(20261208 + n * 7 + static_cast<uint32_t>(format), format);
      SCOPED_TRACE(run.section.text());
      ExcerptWorkspace ws;
      ws.write("run.ctl", run.section.text());
      const Outcome one = expect_same_for_every_thread_count(ws, run.console_input);
      EXPECT_EQ(one.status, 0);
    }
  }
}

TEST(ThreadCounts, CombinedRunAndAFullTable) {
  ExcerptWorkspace ws;
  Section second;
  second.days = "16 17";
  second.format = "A     A";
  ws.write("run.ctl", crowded_day_combined_with(second));
  const Outcome one = expect_same_for_every_thread_count(ws);
  EXPECT_EQ(one.status, 0);
  EXPECT_NE(one.out.find("Space limit10000 predictions - output is being split up\n"),
            std::string::npos);
}

TEST(ThreadCounts, StreamingModeWithDuplicates) {
  ExcerptWorkspace ws;
  ws.write("dup.tle", with_duplicates(ws.read("visual-excerpt.tle")));
  Section s = crowded_day();
  s.days = "15 16";
  s.memory = "F";
  s.step_scale = "0.2";
  s.elements = {"dup.tle", "visual-excerpt.tle"};
  ws.write("run.ctl", s.text());
  const Outcome one = expect_same_for_every_thread_count(ws);
  EXPECT_EQ(one.status, 0);
  EXPECT_NE(one.out.find("Format error in elements file at line"), std::string::npos);
}

// A fatal read error in streaming mode after the table was split: the sets
// read before it are searched and handed to the table, with their console
// messages and flushes, before the error ends the program. The third file
// is a directory, which opens but cannot be read.
TEST(ThreadCounts, ThirdElementFileIsADirectory) {
  ExcerptWorkspace ws;
  ws.write("dup.tle", with_duplicates(ws.read("visual-excerpt.tle")));
  std::filesystem::create_directory(ws.path() / "sets.d");
  Section s = crowded_day();
  s.memory = "F";
  s.elements = {"dup.tle", "missing.tle", "sets.d"};
  ws.write("run.ctl", s.text());
  const Outcome one = expect_same_for_every_thread_count(ws);
  EXPECT_EQ(one.status, 2);
  EXPECT_EQ(one.err, "vespera: sets.d: read error: Is a directory\n");
  EXPECT_NE(one.out.find("Space limit10000 predictions - output is being split up\n"),
            std::string::npos);
  EXPECT_NE(one.out.find("Input file missing.tle"), std::string::npos);
}

TEST(ThreadCounts, InterruptAtAPromptAfterTheTableWasSplit) {
  ExcerptWorkspace ws;
  Section second;
  second.output = "prompt";
  ws.write("run.ctl", crowded_day_combined_with(second));
  const Outcome one = expect_same_for_every_thread_count(ws, "", "Enter output file name\n");
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(one.err, "Interrupt\n");
  EXPECT_NE(one.report.find("\n"), std::string::npos);
}

// The SGP4 model: walked passes of every satellite of the excerpt over two
// nights, with a set that decays on the second (its one console line where
// one thread writes it), in the long format and in the radar format.
TEST(ThreadCounts, Sgp4Model) {
  for (const char* format : {"E", "R"}) {
    SCOPED_TRACE(format);
    ExcerptWorkspace ws;
    ws.write("decaying.tle",
             "DECAYING\n"
             "1 99901U 98067Z   17288.50000000  .00500000  00000-0  10000-1 0  9990\n"
             "2 99901  51.6416 151.5519 0004813  31.8478  64.5059 16.00000000 80680\n");
    Section s;
    s.days = "16 20";
    s.magnitude_limit = "12";
    s.step_scale = "0.5";
    s.format = format;
    s.window = std::string(format) == "R" ? "0 24 A" : "0 0";
    s.elements = {"visual-excerpt.tle", "decaying.tle"};
    ws.write("run.ctl", s.text());
    const Outcome one = expect_same_for_every_thread_count(ws, "", "", "sgp4");
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("SGP4 cannot propagate NCAT  99901: "), std::string::npos);
  }
}

}  // namespace
}  // namespace vespera::e2e
