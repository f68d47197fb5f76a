// The program's command line: the options --help, --version, --threads N and
// --model NAME, and the control file's name. The first argument that is not
// an option names the control file, later ones are ignored; a word that
// starts with "--" and is no option is refused (a control file of such a
// name is given as ./--name). The options are read from left to right;
// --help, --version, a bad option value and an unknown option end the
// reading where they stand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "vocabulary/orbit_model.h"

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
    ModelMissing,    // --model was the last argument
    ModelInvalid,    // its value is neither "sgp4" nor "compact"
    UnknownOption,   // a word starting with "--" that is no option
  };

  bool help = false;
  bool version = false;
  // Worker threads; 0 stands for the default, the machine's cores.
  int32_t threads = 0;
  // The orbit model of every run: compact (the default) or sgp4.
  OrbitModel model = OrbitModel::Compact;
  // The first argument that is not an option, exactly as given (it may be
  // empty); absent when there is none.
  std::optional<std::string> controlFile;
  Error error = Error::None;
  std::string errorValue;  // the rejected value, or the unknown option
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
