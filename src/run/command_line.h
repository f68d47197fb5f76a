// The program's command line: the options --help, --version and --threads N,
// and the control file's name. Everything that is not one of the options is
// taken as before: the first such argument names the control file, later ones
// are ignored. The options are read from left to right; --help, --version and
// a bad --threads value end the reading where they stand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vespera {

// Exit status of a bad option value (the same as a fatal input error: the
// program could not start on what it was given).
inline constexpr int kCommandLineErrorExitStatus = 2;

// The largest worker thread count that --threads accepts.
inline constexpr int32_t kMaxThreads = 256;

// What the command line asked for.
struct CommandLine {
  enum class Error : uint8_t {
    None,
    ThreadsMissing,  // --threads was the last argument
    ThreadsInvalid,  // its value is not a whole number from 1 to kMaxThreads
  };

  bool help = false;
  bool version = false;
  // Worker threads; 0 stands for the default, the machine's cores.
  int32_t threads = 0;
  // The first argument that is not an option, exactly as given (it may be
  // empty); absent when there is none.
  std::optional<std::string> controlFile;
  Error error = Error::None;
  std::string errorValue;  // the rejected --threads value
};

// Reads the arguments after the program's name.
CommandLine parse_command_line(std::span<const std::string_view> arguments);
// Reads argv[1] to argv[argc - 1].
CommandLine parse_command_line(int argc, char** argv);

// thread_count: the threads asked for, or by default the machine's cores (1
// when the machine does not say).
int32_t thread_count(const CommandLine& command_line);

// The texts of --help and --version.
void write_help(std::FILE* stream);
void write_version(std::FILE* stream);
// The one line that names a bad option; nothing when there is no error.
void write_command_line_error(std::FILE* stream, const CommandLine& command_line);

}  // namespace vespera
