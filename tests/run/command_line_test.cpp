#include "run/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace vespera {
namespace {

using Error = CommandLine::Error;

TEST(CommandLine, ArgumentsTable) {
  struct Row {
    std::vector<std::string_view> arguments;
    bool help;
    bool version;
    int32_t threads;
    const char* control_file;  // null: none given
    Error error;
    const char* error_value;
  };
  const Row rows[] = {
      {{}, false, false, 0, nullptr, Error::None, ""},
      {{"my.ctl"}, false, false, 0, "my.ctl", Error::None, ""},
      // An empty first argument is still the control file's argument.
      {{""}, false, false, 0, "", Error::None, ""},
      // Later arguments are ignored, as they always were.
      {{"a.ctl", "b.ctl"}, false, false, 0, "a.ctl", Error::None, ""},
      {{"--help"}, true, false, 0, nullptr, Error::None, ""},
      {{"--version"}, false, true, 0, nullptr, Error::None, ""},
      {{"run.ctl", "--version"}, false, true, 0, "run.ctl", Error::None, ""},
      // Reading stops at the first of --help and --version.
      {{"--help", "--version"}, true, false, 0, nullptr, Error::None, ""},
      {{"--version", "--threads", "x"}, false, true, 0, nullptr, Error::None, ""},
      // Only the exact words are options; another word starting with "--"
      // is refused where it stands (a single "-" is a file name).
      {{"-h"}, false, false, 0, "-h", Error::None, ""},
      {{"--helpme", "--help"}, false, false, 0, nullptr, Error::UnknownOption, "--helpme"},
      {{"--thread", "2"}, false, false, 0, nullptr, Error::UnknownOption, "--thread"},
      {{"--threadsx=2"}, false, false, 0, nullptr, Error::UnknownOption, "--threadsx=2"},
      {{"run.ctl", "--"}, false, false, 0, "run.ctl", Error::UnknownOption, "--"},
      {{"./--odd.ctl"}, false, false, 0, "./--odd.ctl", Error::None, ""},
      {{"--threads", "2", "run.ctl"}, false, false, 2, "run.ctl", Error::None, ""},
      {{"run.ctl", "--threads", "1"}, false, false, 1, "run.ctl", Error::None, ""},
      {{"--threads=256"}, false, false, 256, nullptr, Error::None, ""},
      {{"--threads", "007"}, false, false, 7, nullptr, Error::None, ""},
      {{"--threads", "4", "--threads", "3"}, false, false, 3, nullptr, Error::None, ""},
      {{"--threads"}, false, false, 0, nullptr, Error::ThreadsMissing, ""},
      {{"run.ctl", "--threads"}, false, false, 0, "run.ctl", Error::ThreadsMissing, ""},
      {{"--threads", "0"}, false, false, 0, nullptr, Error::ThreadsInvalid, "0"},
      {{"--threads", "257"}, false, false, 0, nullptr, Error::ThreadsInvalid, "257"},
      {{"--threads", "-1"}, false, false, 0, nullptr, Error::ThreadsInvalid, "-1"},
      {{"--threads", "+2"}, false, false, 0, nullptr, Error::ThreadsInvalid, "+2"},
      {{"--threads", " 2"}, false, false, 0, nullptr, Error::ThreadsInvalid, " 2"},
      {{"--threads", "2.0"}, false, false, 0, nullptr, Error::ThreadsInvalid, "2.0"},
      {{"--threads", "99999999999999999999"}, false, false, 0, nullptr, Error::ThreadsInvalid,
       "99999999999999999999"},
      {{"--threads", "--help"}, false, false, 0, nullptr, Error::ThreadsInvalid, "--help"},
      {{"--threads="}, false, false, 0, nullptr, Error::ThreadsInvalid, ""},
      // A bad value ends the reading: a later --help is not seen.
      {{"--threads", "many", "--help"}, false, false, 0, nullptr, Error::ThreadsInvalid, "many"},
  };
  for (const Row& row : rows) {
    std::string trace;
    for (std::string_view argument : row.arguments) trace.append("[").append(argument).append("]");
    SCOPED_TRACE(trace);
    const CommandLine parsed = parse_command_line(row.arguments);
    EXPECT_EQ(parsed.help, row.help);
    EXPECT_EQ(parsed.version, row.version);
    EXPECT_EQ(parsed.threads, row.threads);
    EXPECT_EQ(parsed.controlFile.has_value(), row.control_file != nullptr);
    if (row.control_file != nullptr && parsed.controlFile) {
      EXPECT_EQ(*parsed.controlFile, row.control_file);
    }
    EXPECT_EQ(parsed.error, row.error);
    EXPECT_EQ(parsed.errorValue, row.error_value);
  }
}

TEST(CommandLine, ModelTable) {
  struct Row {
    std::vector<std::string_view> arguments;
    OrbitModel model;
    const char* control_file;  // null: none given
    Error error;
    const char* error_value;
  };
  const Row rows[] = {
      {{}, OrbitModel::Compact, nullptr, Error::None, ""},
      {{"--model", "sgp4"}, OrbitModel::Sgp4, nullptr, Error::None, ""},
      {{"--model=sgp4", "run.ctl"}, OrbitModel::Sgp4, "run.ctl", Error::None, ""},
      {{"run.ctl", "--model", "compact"}, OrbitModel::Compact, "run.ctl", Error::None, ""},
      {{"--model", "sgp4", "--model=compact"}, OrbitModel::Compact, nullptr, Error::None, ""},
      {{"--threads", "2", "--model", "sgp4", "a.ctl"}, OrbitModel::Sgp4, "a.ctl", Error::None, ""},
      {{"--model"}, OrbitModel::Compact, nullptr, Error::ModelMissing, ""},
      {{"--model", "SGP4"}, OrbitModel::Compact, nullptr, Error::ModelInvalid, "SGP4"},
      {{"--model", "sdp4"}, OrbitModel::Compact, nullptr, Error::ModelInvalid, "sdp4"},
      {{"--model="}, OrbitModel::Compact, nullptr, Error::ModelInvalid, ""},
      // The value is taken whatever it looks like, as for --threads.
      {{"--model", "--help"}, OrbitModel::Compact, nullptr, Error::ModelInvalid, "--help"},
      {{"--models", "sgp4"}, OrbitModel::Compact, nullptr, Error::UnknownOption, "--models"},
      // A bad value ends the reading: a later --help is not seen.
      {{"--model", "x", "--help"}, OrbitModel::Compact, nullptr, Error::ModelInvalid, "x"},
  };
  for (const Row& row : rows) {
    std::string trace;
    for (std::string_view argument : row.arguments) trace.append("[").append(argument).append("]");
    SCOPED_TRACE(trace);
    const CommandLine parsed = parse_command_line(row.arguments);
    EXPECT_EQ(parsed.model, row.model);
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(parsed.controlFile.has_value(), row.control_file != nullptr);
    if (row.control_file != nullptr && parsed.controlFile) {
      EXPECT_EQ(*parsed.controlFile, row.control_file);
    }
    EXPECT_EQ(parsed.error, row.error);
    EXPECT_EQ(parsed.errorValue, row.error_value);
  }
}

}  // namespace
}  // namespace vespera
