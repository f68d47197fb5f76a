#include "chart/command_line.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vespera::chart {

namespace {

constexpr double kMostOffsetHours = 14.0;
constexpr int32_t kMostAlarmMinutes = 7 * 24 * 60;

// A whole number from `least` to `most`, written in full (no sign but "-", no blanks).
std::optional<int64_t> whole_number(std::string_view text, int64_t least, int64_t most) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < least || value > most) {
    return std::nullopt;
  }
  return value;
}

// A finite decimal number, read the same in every locale.
std::optional<double> real_number(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<LocalDate> date_value(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = whole_number(text.substr(0, 4), 0, 9999);
  const auto month = whole_number(text.substr(5, 2), 1, 12);
  const auto day = whole_number(text.substr(8, 2), 1, 31);
  if (!year || !month || !day) return std::nullopt;
  const LocalDate date{static_cast<int32_t>(*year), static_cast<int32_t>(*month), static_cast<int32_t>(*day)};
  if (!date.valid()) return std::nullopt;
  return date;
}

class Parser {
 public:
  Parser(Arguments& a, std::string& problem) : a_(a), problem_(problem) {}

  // One option with its value; false when the option is unknown or the value wrong.
  bool option(std::string_view name, std::string_view value);
  bool fail(std::string message) {
    problem_ = std::move(message);
    return false;
  }

 private:
  bool wrong(std::string_view name, std::string_view value, std::string_view wanted) {
    return fail(std::string(name) + " takes " + std::string(wanted) + ", not \"" + std::string(value) + "\"");
  }

  Arguments& a_;
  std::string& problem_;
};

bool Parser::option(std::string_view name, std::string_view value) {
  ChartOptions& o = a_.options;
  if (name == "-o" || name == "--csv" || name == "--ics") {
    if (value.empty()) return wrong(name, value, "a file name");
    (name == "-o" ? a_.page : name == "--csv" ? a_.csv : a_.ics) = value;
  } else if (name == "--passes") {
    const auto n = whole_number(value, 0, std::numeric_limits<int32_t>::max());
    if (!n) return wrong(name, value, "a whole number of passes, 0 for all");
    o.choice.limit = static_cast<std::size_t>(*n);
  } else if (name == "--satellite") {
    if (value.empty()) return wrong(name, value, "a catalogue number or a part of a name");
    o.choice.satellites.emplace_back(value);
  } else if (name == "--night") {
    const auto date = date_value(value);
    if (!date) return wrong(name, value, "the date of a night's evening, YYYY-MM-DD");
    o.choice.nights.push_back(*date);
  } else if (name == "--brighter-than") {
    o.choice.brighterThan = real_number(value);
    if (!o.choice.brighterThan) return wrong(name, value, "a magnitude");
  } else if (name == "--higher-than") {
    o.choice.higherThan = real_number(value);
    if (!o.choice.higherThan || std::fabs(*o.choice.higherThan) > 90.0) {
      return wrong(name, value, "an altitude in degrees, -90 to 90");
    }
  } else if (name == "--utc-offset") {
    o.utcOffsetHours = real_number(value);
    if (!o.utcOffsetHours || std::fabs(*o.utcOffsetHours) > kMostOffsetHours) {
      return wrong(name, value, "the hours added to UT, -14 to 14");
    }
  } else if (name == "--alarm") {
    const auto minutes = whole_number(value, 0, kMostAlarmMinutes);
    if (!minutes) return wrong(name, value, "the minutes before a pass, 0 to 10080");
    o.alarmMinutes = static_cast<int32_t>(*minutes);
  } else {
    return fail("unknown option: " + std::string(name));
  }
  return true;
}

bool takes_value(std::string_view name) {
  for (const std::string_view known : {"-o", "--csv", "--ics", "--passes", "--satellite", "--night",
                                       "--brighter-than", "--higher-than", "--utc-offset", "--alarm"}) {
    if (name == known) return true;
  }
  return false;
}

}  // namespace

bool parse_arguments(int argc, const char* const* argv, Arguments& a, std::string& problem) {
  Parser parser(a, problem);
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    if (takes_value(name)) {
      if (equals == std::string_view::npos && i + 1 >= argc) {
        return parser.fail("unknown option or missing value: " + std::string(arg));
      }
      const std::string_view value = equals != std::string_view::npos ? arg.substr(equals + 1) : argv[++i];
      if (!parser.option(name, value)) return false;
    } else if (arg == "--azimuths-from-south") {
      a.options.azimuthsFromSouth = true;
    } else if (arg == "-h" || arg == "--help") {
      a.help = true;
    } else if (arg.starts_with("-") && arg != "-") {
      return parser.fail("unknown option or missing value: " + std::string(arg));
    } else if (a.report.empty()) {
      a.report = arg;
    } else {
      return parser.fail("more than one report: " + std::string(arg));
    }
  }
  if (a.options.alarmMinutes && a.ics.empty()) return parser.fail("--alarm needs --ics FILE");
  if (a.report.empty() && !a.help) return parser.fail("no report named");
  a.options.csvName = a.csv;
  return true;
}

}  // namespace vespera::chart
