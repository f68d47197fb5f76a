#include "run/command_line.h"

#include <algorithm>
#include <charconv>
#include <thread>
#include <vector>

#include "format/format_writer.h"

namespace vespera {

namespace {

constexpr std::string_view kThreadsOption = "--threads";
constexpr std::string_view kModelOption = "--model";
constexpr std::string_view kOptionPrefix = "--";

// The thread count of a --threads value: a whole number from 1 to
// kMaxThreads written in decimal digits only; 0 when it is not one.
int32_t thread_count(std::string_view value) {
  if (value.empty()) return 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return 0;
  }
  int32_t count = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
  if (error != std::errc() || end != value.data() + value.size()) return 0;  // too large
  return count >= 1 && count <= kMaxThreads ? count : 0;
}

// Takes the value of --threads into `command_line`; false when it is bad.
bool take_threads(std::string_view value, CommandLine& command_line) {
  command_line.threads = thread_count(value);
  if (command_line.threads != 0) return true;
  command_line.error = CommandLine::Error::ThreadsInvalid;
  command_line.errorValue = std::string(value);
  return false;
}

// Takes the value of --model into `command_line`; false when it is bad.
bool take_model(std::string_view value, CommandLine& command_line) {
  if (value == "sgp4") {
    command_line.model = OrbitModel::Sgp4;
  } else if (value == "compact") {
    command_line.model = OrbitModel::Compact;
  } else {
    command_line.error = CommandLine::Error::ModelInvalid;
    command_line.errorValue = std::string(value);
    return false;
  }
  return true;
}

using ValueTaker = bool (*)(std::string_view, CommandLine&);

// An option that takes a value, as "--name value" or "--name=value".
struct ValueOption {
  std::string_view name;
  ValueTaker take;
  CommandLine::Error missing;  // the option was the last argument
};

constexpr ValueOption kValueOptions[] = {
    {kThreadsOption, take_threads, CommandLine::Error::ThreadsMissing},
    {kModelOption, take_model, CommandLine::Error::ModelMissing},
};

// Reads the value option at arguments[i] (moving i past its value) when it
// is one. Returns false when it is none; otherwise sets `ok` to whether the
// reading goes on.
bool read_value_option(std::span<const std::string_view> arguments, std::size_t& i,
                       CommandLine& command_line, bool& ok) {
  const std::string_view argument = arguments[i];
  for (const ValueOption& option : kValueOptions) {
    if (argument == option.name) {
      if (i + 1 == arguments.size()) {
        command_line.error = option.missing;
        ok = false;
      } else {
        ok = option.take(arguments[++i], command_line);
      }
      return true;
    }
    if (argument.starts_with(option.name) && argument.size() > option.name.size() &&
        argument[option.name.size()] == '=') {
      ok = option.take(argument.substr(option.name.size() + 1), command_line);
      return true;
    }
  }
  return false;
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> arguments) {
  CommandLine command_line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help") {
      command_line.help = true;
      break;
    }
    if (argument == "--version") {
      command_line.version = true;
      break;
    }
    bool ok = true;
    if (read_value_option(arguments, i, command_line, ok)) {
      if (!ok) break;
    } else if (argument.starts_with(kOptionPrefix)) {
      command_line.error = CommandLine::Error::UnknownOption;
      command_line.errorValue = std::string(argument);
      break;
    } else if (!command_line.controlFile) {
      command_line.controlFile = std::string(argument);
    }
  }
  return command_line;
}

CommandLine parse_command_line(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc && argv[i] != nullptr; ++i) arguments.emplace_back(argv[i]);
  return parse_command_line(arguments);
}

void write_help(std::FILE* stream) {
  static const Format kLine("(a)");
  static constexpr const char* kHelp[] = {
      "Usage: vespera [--threads N] [--model sgp4|compact] [CONTROL-FILE]",
      "       vespera --help | --version",
      "",
      "Predicts when artificial satellites can be seen from one site. Reads the",
      "control file (default: vespera.ctl in the working directory; when that is",
      "missing, its name is asked for at the console), the magnitude files and the",
      "element files it names, and writes the report file it names. Prompts and",
      "messages go to the console.",
      "",
      "Options:",
      "  --threads N     worker threads, 1 to 256 (default: the machine's cores;",
      "                  1 computes on one core)",
      "  --model NAME    the orbit model: compact (the default, the program's own)",
      "                  or sgp4 (SGP4/SDP4, the theory of the element sets, with",
      "                  the site on the WGS-84 ellipsoid); same report layout",
      "  --help          print this help and exit",
      "  --version       print the version and exit",
      "The first other argument names the control file; further ones are ignored.",
      "A word starting with -- that is no option is refused: give a control file",
      "of such a name as ./--name.",
      "",
      "Exit status: 0 for every orderly end (also after an error reported in the",
      "control file), 1 after an interrupt or termination request, 2 after a fatal",
      "input/output or system error (one line on standard error says which), a bad",
      "option value or an unknown option.",
      "",
      "The control file, the input files and every report format are described in",
      "README.md (installed in share/doc/vespera) and in the manual page vespera(1).",
  };
  for (const char* line : kHelp) kLine.write(stream, {line});
}

void write_version(std::FILE* stream) {
  static const Format kVersion("('vespera 1.0')");
  kVersion.write(stream, {});
}

void write_command_line_error(std::FILE* stream, const CommandLine& command_line) {
  static const Format kThreadsMissing(
      "('vespera: --threads needs a value: a whole number from 1 to 256')");
  static const Format kThreadsInvalid(
      "('vespera: --threads takes a whole number from 1 to 256, not \"',a,'\"')");
  static const Format kModelMissing("('vespera: --model needs a value: sgp4 or compact')");
  static const Format kModelInvalid("('vespera: --model takes sgp4 or compact, not \"',a,'\"')");
  static const Format kUnknownOption(
      "('vespera: unknown option \"',a,'\" (a control file of that name is given as ./',a,')')");
  switch (command_line.error) {
    case CommandLine::Error::None:
      break;
    case CommandLine::Error::ThreadsMissing:
      kThreadsMissing.write(stream, {});
      break;
    case CommandLine::Error::ThreadsInvalid:
      kThreadsInvalid.write(stream, {command_line.errorValue});
      break;
    case CommandLine::Error::ModelMissing:
      kModelMissing.write(stream, {});
      break;
    case CommandLine::Error::ModelInvalid:
      kModelInvalid.write(stream, {command_line.errorValue});
      break;
    case CommandLine::Error::UnknownOption:
      kUnknownOption.write(stream, {command_line.errorValue, command_line.errorValue});
      break;
  }
}

int32_t thread_count(const CommandLine& command_line) {
  if (command_line.threads > 0) return command_line.threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp<unsigned>(cores, 1, kMaxThreads));
}

}  // namespace vespera
