// Helpers of the run-control tests: a console on temporary files, a
// temporary working directory, and blank-padded lines.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run/console.h"
#include "support/temp_files.h"

namespace vespera::testing {

// The text padded with blanks or cut to n characters.
inline std::string pad(const std::string& text, std::size_t n) {
  std::string padded = text.substr(0, n);
  padded.resize(n, ' ');
  return padded;
}

// Lines joined with line ends.
inline std::string lines(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

inline std::string read_stream(std::FILE* stream) { return test::stream_text(stream); }

// A console whose input is given text and whose output and error streams are
// captured.
class CapturedConsole {
 public:
  explicit CapturedConsole(const std::string& input = "") {
    console.in = std::tmpfile();
    console.out = std::tmpfile();
    console.err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), console.in);
    std::rewind(console.in);
  }
  ~CapturedConsole() {
    std::fclose(console.in);
    std::fclose(console.out);
    std::fclose(console.err);
  }
  CapturedConsole(const CapturedConsole&) = delete;
  CapturedConsole& operator=(const CapturedConsole&) = delete;

  std::string out() const { return read_stream(console.out); }
  std::string err() const { return read_stream(console.err); }

  Console console;
};

// A fresh temporary directory, made the working directory for the lifetime
// of the object; removed with its contents afterwards.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "vespera-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~TempWorkingDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

  void write(const std::string& name, const std::string& text) const {
    std::ofstream file(path_ / name, std::ios::binary);
    file << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
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

// Copies the small element file and magnitude catalogue of the run tests
// (three satellites) into a directory.
inline void copy_three_sets(const std::filesystem::path& directory) {
  for (const char* name : {"three-sets.tle", "three-sets.mag"}) {
    std::filesystem::copy_file(std::filesystem::path(VESPERA_TEST_DATA) / "run" / name,
                               directory / name);
  }
}

}  // namespace vespera::testing
