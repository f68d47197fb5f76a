#include "run/run_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "vocabulary/program_exit.h"
#include "run_test_support.h"

namespace vespera {
namespace {

using testing::CapturedConsole;
using testing::kBanner;
using testing::kExampleSettingsLine;
using testing::lines;
using testing::TempWorkingDirectory;

std::vector<std::string> settings_lines() { return testing::example_settings_lines(); }
std::vector<std::string> section(const std::vector<std::string>& names) {
  return testing::example_section(names);
}

std::vector<std::string> example_section() {
  return section({"three-sets.mag", "none", "report.txt", "three-sets.tle"});
}

std::string summary(int count, const std::string& name) {
  char head[16];
  std::snprintf(head, sizeof head, "%5d", count);
  return head + std::string(" predictions written to file ") + fixed_record(name, 40) + "\n";
}

std::string missing_elements(const std::string& name) {
  return "Input file " + fixed_record(name, 40) + " not found - exit\n";
}

// Prediction lines of a report: they start with the time "hh mm ss".
int prediction_lines(const std::string& report) {
  static const std::regex kPredictionLine(R"(^[ \d]\d [ \d]\d [ \d]\d )");
  int count = 0;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find('\n', start);
    if (end == std::string::npos) end = report.size();
    if (std::regex_search(report.substr(start, end - start), kPredictionLine)) ++count;
    start = end + 1;
  }
  return count;
}

class RunDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::copy_three_sets(directory_.path()); }

  struct Result {
    int status;
    std::string out;
    std::string err;
  };

  // Runs the program on a control file of the given text, named on the
  // command line, with the console answers given.
  Result run(const std::string& control_text, const std::string& answers = "") {
    directory_.write("test.ctl", control_text);
    CapturedConsole captured(answers);
    Result result{};
    result.status = run_program("test.ctl", captured.console);
    result.out = captured.out();
    result.err = captured.err();
    return result;
  }

  TempWorkingDirectory directory_;
};

TEST_F(RunDriverTest, OneSectionEndingAtTheEndOfTheFile) {
  directory_.write("report.txt", "an older report, replaced\n");
  const Result r = run(lines(example_section()));
  EXPECT_EQ(r.status, 0);
  const std::string report = directory_.read("report.txt");
  const int count = prediction_lines(report);
  EXPECT_GT(count, 0);
  EXPECT_EQ(r.out, kBanner + summary(count, "report.txt"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(report.substr(0, kExampleSettingsLine.size()), kExampleSettingsLine);
  EXPECT_EQ(report.find("older"), std::string::npos);
}

TEST_F(RunDriverTest, SettingsLineShowsTheValuesAsGiven) {
  std::vector<std::string> rows = example_section();
  rows[3] = "-33.8688 -151.2093 -12 Sydney, Observatory Hill and more";
  rows[5] = "none";   // equinox: default 1950
  rows[6] = "x";      // magnitude limit: default 12.0
  rows[7] = "";       // minimum altitude: default 15
  rows[8] = "-1";     // step scale: default 1.0
  rows[11] = "T";
  rows[12] = "F";
  rows[13] = "F";
  rows[14] = "T";
  rows[16] = "R";  // radar format: shadow ignored
  const Result r = run(lines(rows));
  EXPECT_EQ(r.status, 0);
  const std::string report = directory_.read("report.txt");
  EXPECT_EQ(report.substr(0, report.find('\n') + 1),
            " -33.869-151.209  -12.   Sydney, Observatory Hill 1950 12.0 15 T T F F T\n");
}

TEST_F(RunDriverTest, EndOnLineTwentyOneIsAFileName) {
  const Result r = run(lines(section({"three-sets.mag", "none", "report.txt", "end"})));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kBanner + missing_elements("end") +
                       "Error: no elements were loaded (none matched flags?)\n"
                       " (or the input file did not contain CR characters)\n");
  EXPECT_FALSE(directory_.exists("report.txt"));  // not opened before the sets loaded
}

TEST_F(RunDriverTest, PromptedFileNames) {
  const Result r = run(lines(section({"three-sets.mag", "none", "prompt", "prompt",
                                      "never-read.tle"})),
                       "  answered.txt  a comment\nthree-sets.tle\n");
  EXPECT_EQ(r.status, 0);
  const std::string report = directory_.read("answered.txt");
  EXPECT_EQ(r.out, kBanner + "Enter output file name\nEnter elements file name\n" +
                       summary(prediction_lines(report), "answered.txt"));
  EXPECT_EQ(report.substr(0, kExampleSettingsLine.size()), kExampleSettingsLine);
}

TEST_F(RunDriverTest, MissingFileNames) {
  struct Row {
    std::vector<std::string> names;
    std::string answers;
    std::string expected;  // after the banner
  };
  const Row rows[] = {
      {{"three-sets.mag", "none", "", "three-sets.tle"}, "", "No output file name given - exit\n"},
      {{"three-sets.mag", "none", "prompt", "three-sets.tle"}, "\n",
       "Enter output file name\nNo output file name given - exit\n"},
      {{"three-sets.mag", "none", "report.txt", ""}, "", "No input file name given - exit\n"},
      {{"three-sets.mag", "none", "report.txt", "prompt"}, " \n",
       "Enter elements file name\nNo input file name given - exit\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    const Result r = run(lines(section(row.names)), row.answers);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kBanner + row.expected);
    EXPECT_FALSE(directory_.exists("report.txt"));
  }
}

TEST_F(RunDriverTest, BlankMagnitudeFileNamesAreReplaced) {
  const Result r = run(lines(section({"", "", "report.txt", "three-sets.tle"})));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kBanner + "Error in intrinsic magnitude file name\n" +
                       "Error in user override intrinsic magnitude file name\n" +
                       "File for intrinsic magnitudes not found\n" +
                       summary(prediction_lines(directory_.read("report.txt")), "report.txt"));
}

TEST_F(RunDriverTest, BadValueOnEachLineEndsTheProgram) {
  struct Row {
    int line;  // of the settings lines, 1-based
    std::string text;
    std::string message;
  };
  const std::string line80 = " " + fixed_record("x", 80) + "\n";
  const Row rows[] = {
      {1, "2017 x", "Invalid integer input value columns  6 to  6\n " + fixed_record("2017 x", 80) + "\n"},
      {1, "2017 13", "Invalid month number: 13\n"},
      {2, "x", "Invalid integer input value columns  1 to  1\n" + line80},
      {3, "x", "Invalid numeric input value columns  1 to  1\n" + line80},
      {4, "x", "Invalid numeric input value columns  1 to  1\n" + line80},
      {5, "x", "Invalid numeric input value columns  1 to  1\n" + line80},
      {10, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {11, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {12, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {13, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {13, "T 0", "Invalid integer input value columns  3 to  3\n " + fixed_record("T 0", 80) + "\n"},
      {14, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {15, "x", "Invalid logical input value columns  1 to  1\n" + line80},
      {17, "x", "Invalid A, B, C, D, R format flag in column 1\n " + fixed_record("x", 40) + "\n"},
      {17, "A x", "Invalid Range/Phase flag in column 3\n " + fixed_record("A x", 40) + "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.line) + ": " + row.text);
    std::vector<std::string> rows_of_file = example_section();
    rows_of_file[static_cast<std::size_t>(row.line - 1)] = row.text;
    const Result r = run(lines(rows_of_file));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kBanner + row.message);
    EXPECT_FALSE(directory_.exists("report.txt"));
  }
  // Line 16 ("prompt" with no number), 16a and 17a.
  struct TailRow {
    std::vector<std::string> lines16to17a;
    std::string message;
  };
  const TailRow tails[] = {
      {{"prompt", "A"}, "Enter next NCAT number\nNo NCAT numbers entered - exit\n"},
      {{"AA", "x", "A"}, "Invalid numeric input value columns  1 to  1\n" + line80},
      {{"RD", "1 2 3 4 5 x", "A"},
       "Invalid numeric input value columns 11 to 11\n " + fixed_record("1 2 3 4 5 x", 80) + "\n"},
      {{"", "A       RL", "x"}, "Invalid Range Limit value\n" + line80},
  };
  for (const TailRow& tail : tails) {
    SCOPED_TRACE(tail.lines16to17a[0] + " " + tail.lines16to17a[1]);
    std::vector<std::string> rows_of_file = settings_lines();
    rows_of_file.resize(15);
    rows_of_file.insert(rows_of_file.end(), tail.lines16to17a.begin(), tail.lines16to17a.end());
    for (const char* name : {"three-sets.mag", "none", "report.txt", "three-sets.tle"}) {
      rows_of_file.push_back(name);
    }
    const Result r = run(lines(rows_of_file), "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kBanner + tail.message);
    EXPECT_FALSE(directory_.exists("report.txt"));
  }
}

TEST_F(RunDriverTest, SelectionAndRangeLimitRun) {
  // "prompt" selection with the ISS alone, a sky region and a range limit.
  std::vector<std::string> rows = settings_lines();
  rows[15] = "prompt";
  rows[16] = "A       RL";
  rows.push_back("600");
  for (const char* name : {"three-sets.mag", "none", "report.txt", "three-sets.tle"}) {
    rows.push_back(name);
  }
  const Result r = run(lines(rows), "25544\n\n");
  EXPECT_EQ(r.status, 0);
  const std::string report = directory_.read("report.txt");
  EXPECT_EQ(r.out, kBanner + "Enter next NCAT number\nEnter next NCAT number\n" +
                       summary(prediction_lines(report), "report.txt"));
  EXPECT_EQ(report.find("17912"), std::string::npos);
}

TEST_F(RunDriverTest, CombinedRunsShareOneReport) {
  std::vector<std::string> first = section(
      {"three-sets.mag", "none", "report.txt", "three-sets.tle", "combine"});
  first[1] = "16";  // the combined run covers its first non-empty day only
  std::vector<std::string> second = section(
      {"missing.mag", "none", "ignored.txt", "three-sets.tle", "end", "never read"});
  second[16] = "B";
  const Result r = run(lines(first) + lines(second));
  EXPECT_EQ(r.status, 0);
  const std::string report = directory_.read("report.txt");
  EXPECT_FALSE(directory_.exists("ignored.txt"));  // only the first run's name is used
  // The catalogue is loaded on the first run only: no message for missing.mag.
  EXPECT_EQ(r.out, kBanner + summary(prediction_lines(report), "report.txt"));
  // One settings line, from the first run.
  EXPECT_EQ(report.substr(0, kExampleSettingsLine.size()), kExampleSettingsLine);
  EXPECT_EQ(report.find(kExampleSettingsLine, 1), std::string::npos);
}

TEST_F(RunDriverTest, CombinedRunWhoseNextSectionFails) {
  std::vector<std::string> first = section(
      {"three-sets.mag", "none", "report.txt", "three-sets.tle", "combine"});
  std::vector<std::string> second = section({"three-sets.mag", "none", "prompt", "three-sets.tle"});
  Result r = run(lines(first) + lines(second), "\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kBanner + "Enter output file name\nNo output file name given - exit\n");
  // The report holds the settings line only: the buffered predictions are
  // not written.
  EXPECT_EQ(directory_.read("report.txt"), kExampleSettingsLine);

  second[0] = "2017 0";
  r = run(lines(first) + lines(second));
  EXPECT_EQ(r.out, kBanner + "Invalid month number:  0\n");
}

TEST_F(RunDriverTest, YearOutOfRangeStopsTheProgram) {
  std::vector<std::string> rows = example_section();
  rows[0] = "1949 12";
  try {
    run(lines(rows));
    ADD_FAILURE() << "no stop";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.status(), 0);
  }
  EXPECT_FALSE(directory_.exists("report.txt"));
}

TEST_F(RunDriverTest, ControlFileNotFound) {
  directory_.write("vespera.ctl", lines(example_section()));
  CapturedConsole captured;
  EXPECT_EQ(run_program("absent.ctl", captured.console), 0);
  EXPECT_EQ(captured.out(), kBanner + "Control file not found (" + fixed_record("absent.ctl", 40) + ")\n");
  EXPECT_FALSE(directory_.exists("report.txt"));

  // Without an argument the default name is read.
  CapturedConsole second;
  EXPECT_EQ(run_program(std::nullopt, second.console), 0);
  EXPECT_TRUE(directory_.exists("report.txt"));
}

// Control files of random bytes, and the example with random bytes changed,
// end in an orderly way or with one of the program's own ends.
TEST_F(RunDriverTest, RandomControlFilesNeverCrash) {
  // No byte may make a name that leaves the directory.
  const auto no_slash = [](int byte) { return byte == '/' ? '?' : static_cast<char>(byte); };
  const std::string example = lines(example_section());
  const std::size_t settings_bytes = lines(settings_lines()).size();
  int completed = 0;  // runs that reached the summary line
  for (unsigned seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::string text;
    if (seed % 4 == 0) {
      std::uniform_int_distribution<int> byte(0, 255);
      text.resize(std::uniform_int_distribution<std::size_t>(0, 3000)(random));
      for (char& c : text) c = no_slash(byte(random));
    } else {
      // Changes within the settings lines only, so that no file name can
      // come to point outside the test's directory.
      text = example;
      std::uniform_int_distribution<std::size_t> where(0, settings_bytes - 1);
      std::uniform_int_distribution<int> byte(0, 255);
      const int changes = 1 + static_cast<int>(seed % 3);
      for (int i = 0; i < changes; ++i) text[where(random)] = no_slash(byte(random));
    }
    try {
      const Result r = run(text, "");
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.out.substr(0, kBanner.size()), kBanner);
      if (r.out.find(" predictions written to file ") != std::string::npos) ++completed;
    } catch (const ProgramExit& exit) {
      EXPECT_EQ(exit.status(), 0);
    } catch (const FatalIoError&) {
    }
    std::filesystem::remove(directory_.path() / "report.txt");
  }
  EXPECT_GT(completed, 10);
}

}  // namespace
}  // namespace vespera
