// Helpers of the run-control tests: a console on temporary files, a
// temporary working directory, the example section and the texts the program
// writes for it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "format/text_record.h"
#include "run/console.h"
#include "vocabulary/program_exit.h"
#include "support/temp_files.h"

namespace vespera::testing {

// Lines joined with line ends.
inline std::string lines(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

// The banner that every run writes first.
inline const std::string kBanner = "Vespera 1.0 - satellite visibility predictions\n";

// Runs `action`, which must end with a fatal input/output error naming `file`.
template <class Action>
void expect_fatal_io_error(const std::string& file, Action&& action) {
  try {
    action();
    ADD_FAILURE() << "no error";
  } catch (const FatalIoError& error) {
    EXPECT_EQ(error.file(), file);
  }
}

// A console whose input is given text and whose output and error streams are
// captured.
class CapturedConsole {
 public:
  explicit CapturedConsole(const std::string& input = "") {
    console.in = test::stream_holding(input);
    console.out = std::tmpfile();
    console.err = std::tmpfile();
  }
  ~CapturedConsole() {
    std::fclose(console.in);
    std::fclose(console.out);
    std::fclose(console.err);
  }
  CapturedConsole(const CapturedConsole&) = delete;
  CapturedConsole& operator=(const CapturedConsole&) = delete;

  std::string out() const { return test::stream_text(console.out); }
  std::string err() const { return test::stream_text(console.err); }

  Console console;
};

// A fresh temporary directory, made the working directory for the lifetime
// of the object; removed with its contents afterwards.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous_(std::filesystem::current_path()), path_(directory_.dir()) {
    std::filesystem::current_path(path_);
  }
  ~TempWorkingDirectory() { std::filesystem::current_path(previous_); }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

  void write(const std::string& name, const std::string& text) const { directory_.write(name, text); }
  std::string read(const std::string& name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  test::TempDir directory_;
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Lines 1 to 17 of the example section: three nights of October 2017 at
// 40 degrees north, 75 west.
inline std::vector<std::string> example_settings_lines() {
  return {"2017 10", "16 18", "0 0", "40.0 75.0 300 Backyard observatory", "-4 EDT 12",
          "2000", "4.5", "10", "1.0", "T", "T", "F", "T 99", "T", "F", "", "A"};
}

// The example's settings lines followed by the file-name lines given.
inline std::vector<std::string> example_section(const std::vector<std::string>& names) {
  std::vector<std::string> rows = example_settings_lines();
  rows.insert(rows.end(), names.begin(), names.end());
  return rows;
}

// The settings line of the example section, the report's first line.
inline const std::string kExampleSettingsLine =
    "  40.000  75.000  300.   Backyard observatory     2000  4.5 10 F F T T F\n";

// Copies the small element file and magnitude catalogue of the run tests
// (three satellites) into a directory.
inline void copy_three_sets(const std::filesystem::path& directory) {
  for (const char* name : {"three-sets.tle", "three-sets.mag"}) {
    std::filesystem::copy_file(std::filesystem::path(VESPERA_TEST_DATA) / "run" / name,
                               directory / name);
  }
}

}  // namespace vespera::testing
