#include "run/control_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "format/catalogue_number.h"
#include "format/format_writer.h"
#include "vocabulary/program_exit.h"
#include "vocabulary/units.h"

namespace vespera {

namespace {

constexpr int kMonthsPerYear = 12;
// Four-character month names for the date prompt, indexed by month.
constexpr std::string_view kMonthNames = "Jan Feb Mar Apr May JuneJulyAug SeptOct Nov Dec";

// Defaults of lines 6 to 9, taken when a value is missing or invalid.
constexpr int32_t kDefaultEquinoxYear = 1950;
constexpr float kDefaultMagnitudeLimit = 12.0f;
constexpr int32_t kDefaultMinAltitudeDeg = 15;
constexpr float kDefaultStepScale = 1.0f;

float degrees_to_radians(float degrees) {
  return static_cast<float>(static_cast<double>(degrees) * static_cast<double>(kRadiansPerDegree));
}

// Finds and opens the control file: the name on the command line, else the
// default name, else a name asked on the console. Returns 0, or 1 after its
// message.
int open_control_file(ControlFile& control, Console& console) {
  static const Format kEnterName("('Enter control file name')");
  static const Format kNoName("('No control file name entered - exit')");
  static const Format kNotFound("('Control file not found (',a,')')");

  FileName name;
  const auto& argument = control.first_argument();
  if (!argument || first_word(*argument, name) != 0) {
    if (control.open(kDefaultControlFileName)) return 0;
    kEnterName.write(console.out, {});
    if (first_word(read_answer(console, kNameLineLength), name) != 0) {
      kNoName.write(console.out, {});
      return 1;
    }
  }
  if (control.open(name.trimmed())) return 0;
  kNotFound.write(console.out, {name});
  return 1;
}

// The day index after `day`, wrapping at the end of the 32-bit range.
int32_t next_day_index(int32_t day) {
  return static_cast<int32_t>(static_cast<uint32_t>(day) + 1u);
}

// Reads the settings lines of one section. Each read_* step returns true when
// it failed after writing its message.
class SectionReader {
 public:
  SectionReader(ControlFile& control, RunSettings& settings, Console& console)
      : control_(control), scanner_(control.scanner), s_(settings), console_(console) {}

  int read() {
    if (dates() || window() || site() || clock()) return 1;
    defaults();
    if (logicals() || selection() || report_format()) return 1;
    // Twilight mode: day index d is the night that begins on the evening of
    // day d - 1, so the days asked for are raised by one. In 32-bit
    // arithmetic that wraps: a last day of 2147483647 becomes the lowest
    // integer, and the run covers its first day only.
    if (!s_.radarFormat && s_.windowLetter != 'A') {
      s_.firstDay = next_day_index(s_.firstDay);
      s_.lastDay = next_day_index(s_.lastDay);
    }
    return 0;
  }

 private:
  void next_line() { scanner_.set_line(control_.read_required_line(kSettingsLineLength)); }

  // The value error messages: the columns of the offending value and the line.
  bool value_error(const Format& message) {
    message.write(console_.out, {scanner_.tokenStart, static_cast<int16_t>(scanner_.position - 1),
                                 scanner_.line});
    return true;
  }
  bool integer_error() {
    static const Format kMessage("('Invalid integer input value columns',i3,' to',i3,/,1x,a)");
    return value_error(kMessage);
  }
  bool numeric_error() {
    static const Format kMessage("('Invalid numeric input value columns',i3,' to',i3,/,1x,a)");
    return value_error(kMessage);
  }
  bool text_error() {
    static const Format kMessage("('Invalid text input value columns',i3,' to',i3,/,1x,a)");
    return value_error(kMessage);
  }
  bool logical_error() {
    static const Format kMessage("('Invalid logical input value columns',i3,' to',i3,/,1x,a)");
    return value_error(kMessage);
  }

  bool required_integer(int32_t& value) {
    return scanner_.read_integer_field(value, value) != 0 && integer_error();
  }
  bool required_real(float& value) {
    return scanner_.read_real_field(value, value) != 0 && numeric_error();
  }
  bool required_logical(bool& value) {
    return scanner_.read_logical_field(value) != 0 && logical_error();
  }

  // Lines 1 and 2: "tonight", or the year and month and then the days.
  bool dates() {
    static const Format kBadMonth("('Invalid month number:',i3)");
    static const Format kDatePrompt("('Enter start date and stop date for ',a4,' prediction')");

    next_line();
    if (scanner_.line.compare(0, 7, "tonight") == 0) {
      const CalendarDate today = today_date();
      s_.year = today.year;
      s_.month = today.month;
      s_.firstDay = s_.lastDay = today.day;
      return false;
    }
    if (required_integer(s_.year) || required_integer(s_.month)) return true;
    if (s_.month < 1 || s_.month > kMonthsPerYear) {
      kBadMonth.write(console_.out, {s_.month});
      return true;
    }

    next_line();
    if (required_integer(s_.firstDay)) return true;
    if (s_.firstDay == 0) {
      const std::string_view month_name =
          kMonthNames.substr(static_cast<std::size_t>(s_.month - 1) * 4, 4);
      kDatePrompt.write(console_.out, {month_name});
      scanner_.set_line(read_answer(console_, kSettingsLineLength));
      if (required_integer(s_.firstDay)) return true;
    }
    int32_t last = 0;
    scanner_.read_integer_field(last, 0);
    s_.lastDay = last == 0 ? s_.firstDay : last;
    return false;
  }

  // Line 3: the window offsets and the optional window letter.
  bool window() {
    next_line();
    if (required_real(s_.startOffsetHours) || required_real(s_.endOffsetHours)) return true;
    s_.windowLetter = scanner_.next_token() == kTokenWord ? scanner_.word[0] : ' ';
    return false;
  }

  // Line 4: latitude, west longitude, height, and the rest of the line as
  // the site name (blanks and commas included).
  bool site() {
    next_line();
    if (required_real(s_.latitudeDeg) || required_real(s_.westLongitudeDeg) ||
        required_real(s_.heightFeet)) {
      return true;
    }
    s_.siteName.clear();
    int column = scanner_.position;
    while (column <= FieldScanner::kLineLength &&
           (scanner_.at(column) == ' ' || scanner_.at(column) == ',')) {
      ++column;
    }
    if (column <= FieldScanner::kLineLength) {
      s_.siteName.assign(std::string_view(scanner_.line).substr(static_cast<std::size_t>(column - 1),
                                                                 s_.siteName.size()));
    }
    return false;
  }

  // Line 5: zone offset, zone label, clock.
  bool clock() {
    next_line();
    if (required_real(s_.zoneOffsetHours)) return true;
    if (scanner_.next_token() != kTokenWord) return text_error();
    s_.zoneLabel.assign(scanner_.word.sub(0, s_.zoneLabel.size()));
    return required_integer(s_.clockHours);
  }

  // Lines 6 to 9: never fail; a missing or bad value takes the default.
  void defaults() {
    next_line();
    scanner_.read_integer_field(s_.equinoxYear, kDefaultEquinoxYear);
    next_line();
    scanner_.read_real_field(s_.magnitudeLimit, kDefaultMagnitudeLimit);
    next_line();
    scanner_.read_integer_field(s_.minAltitudeDeg, kDefaultMinAltitudeDeg);
    s_.minAltitude = static_cast<float>(static_cast<double>(s_.minAltitudeDeg) *
                                        static_cast<double>(kRadiansPerDegree));
    next_line();
    scanner_.read_real_field(s_.stepScale, kDefaultStepScale);
    // A step of zero or less would keep a walked pass in place for ever.
    if (!(s_.stepScale > 0.0f) || !std::isfinite(s_.stepScale)) s_.stepScale = kDefaultStepScale;
  }

  // Lines 10 to 15, with the largest number of walk steps on line 13.
  bool logicals() {
    next_line();
    if (required_logical(s_.keepElementsInMemory)) return true;
    next_line();
    if (required_logical(s_.dropOlderDuplicates)) return true;
    next_line();
    if (required_logical(s_.ignoreShadow)) return true;
    next_line();
    if (required_logical(s_.walkPasses)) return true;
    if (s_.walkPasses) {
      if (scanner_.read_integer_field(s_.maxWalkSteps, 0) != 0 || s_.maxWalkSteps == 0) {
        return integer_error();
      }
    }
    next_line();
    if (required_logical(s_.distancesInMiles)) return true;
    next_line();
    return required_logical(s_.blankLineBeforePass);
  }

  // Line 16 and, after "AA" or "RD", line 16a.
  bool selection() {
    s_.ncatListMode = false;
    s_.selectionCount = 0;
    s_.ncatList.fill(0);
    s_.flagLetters.clear();
    s_.altAzLimits = false;
    s_.raDecLimits = false;

    const std::string line = control_.read_required_line(kSelectionLineLength);
    if (line == fixed_record("prompt", kSelectionLineLength)) return prompt_for_ncats();
    if (line == fixed_record("AA", kSelectionLineLength)) {
      s_.altAzLimits = true;
      next_line();
      float limits[4] = {};
      for (float& limit : limits) {
        if (required_real(limit)) return true;
      }
      s_.altitudeMin = degrees_to_radians(limits[0]);
      s_.altitudeMax = degrees_to_radians(limits[1]);
      s_.azimuthMin = degrees_to_radians(limits[2]);
      s_.azimuthMax = degrees_to_radians(limits[3]);
      return false;
    }
    if (line == fixed_record("RD", kSelectionLineLength)) {
      s_.raDecLimits = true;
      next_line();
      float limits[6] = {};
      for (float& limit : limits) {
        if (required_real(limit)) return true;
      }
      const auto right_ascension = [](float hours, float minutes) {
        return static_cast<float>(
            (static_cast<double>(hours) * 15.0 + static_cast<double>(minutes) / 4.0) *
            static_cast<double>(kRadiansPerDegree));
      };
      s_.raMin = right_ascension(limits[0], limits[1]);
      s_.raMax = right_ascension(limits[2], limits[3]);
      s_.decMin = degrees_to_radians(limits[4]);
      s_.decMax = degrees_to_radians(limits[5]);
      return false;
    }
    for (char c : line) {
      if (c != ' ') s_.flagLetters[static_cast<std::size_t>(s_.selectionCount++)] = c;
    }
    return false;
  }

  // The catalogue number of the token just scanned: an integer, or a word
  // that is an Alpha-5 number as typed (A0057 is 100057); none otherwise.
  std::optional<int32_t> typed_ncat(int16_t kind) const {
    if (kind == kTokenInteger) return scanner_.integerValue;
    if (kind != kTokenWord) return std::nullopt;
    const auto start = static_cast<std::size_t>(scanner_.tokenStart - 1);
    const auto length = static_cast<std::size_t>(scanner_.position - scanner_.tokenStart);
    return alpha5_number(std::string_view(scanner_.line).substr(start, length));
  }

  // Catalogue numbers typed at the console, one per answer, up to 20; a blank
  // answer or 0 ends the list.
  bool prompt_for_ncats() {
    static const Format kEnterNcat("('Enter next NCAT number')");
    static const Format kBadNcat("('Error in NCAT entry - reenter')");
    static const Format kNoNcats("('No NCAT numbers entered - exit')");

    s_.ncatListMode = true;
    while (s_.selectionCount < kMaxSelectedNcats) {
      kEnterNcat.write(console_.out, {});
      scanner_.set_line(read_answer(console_, kSettingsLineLength));
      const int16_t kind = scanner_.next_token();
      if (kind == kTokenNone || (kind == kTokenInteger && scanner_.integerValue == 0)) break;
      const std::optional<int32_t> ncat = typed_ncat(kind);
      if (!ncat) {
        kBadNcat.write(console_.out, {});
        continue;
      }
      s_.ncatList[static_cast<std::size_t>(s_.selectionCount++)] = *ncat;
    }
    if (s_.selectionCount == 0) {
      kNoNcats.write(console_.out, {});
      return true;
    }
    return false;
  }

  // Line 17: the format letters, each in an odd column or the next one, and
  // "RL" in columns 9-10 or 10-11; after "RL", line 17a with the range limit.
  bool report_format() {
    static const Format kBadFormat("('Invalid A, B, C, D, R format flag in column 1',/,1x,a)");
    static const Format kBadRangePhase("('Invalid Range/Phase flag in column 3',/,1x,a)");
    static const Format kBadRangeLimit("('Invalid Range Limit value',/,1x,a)");

    const std::string line = control_.read_required_line(kNameLineLength);
    const auto letter = [&line](std::size_t odd_column) {
      const char c = line[odd_column - 1];
      return c != ' ' ? c : line[odd_column];
    };
    s_.formatLetter = letter(1);
    s_.rangePhaseLetter = letter(3);
    s_.detailLetter = letter(5);
    s_.azimuthLetter = letter(7);
    if (std::string_view("ABCDER").find(s_.formatLetter) == std::string_view::npos) {
      kBadFormat.write(console_.out, {line});
      return true;
    }
    if (std::string_view(" RP").find(s_.rangePhaseLetter) == std::string_view::npos) {
      kBadRangePhase.write(console_.out, {line});
      return true;
    }

    s_.rangeLimitOn = false;
    if (line.compare(8, 2, "RL") == 0 || line.compare(9, 2, "RL") == 0) {
      next_line();
      float limit = 0.0f;
      if (scanner_.read_real_field(limit, 0.0f) != 0) {
        kBadRangeLimit.write(console_.out, {scanner_.line});
        return true;
      }
      s_.rangeLimitOn = true;
      s_.rangeLimit = s_.distancesInMiles
                          ? limit
                          : static_cast<float>(static_cast<double>(limit) /
                                               static_cast<double>(kKilometresPerMile));
    }

    s_.radarFormat = s_.formatLetter == 'R';
    if (s_.radarFormat) s_.ignoreShadow = true;
    s_.detailListing = (s_.formatLetter == 'A' || s_.formatLetter == 'D') && s_.detailLetter == 'D';
    return false;
  }

  ControlFile& control_;
  FieldScanner& scanner_;
  RunSettings& s_;
  Console& console_;
};

}  // namespace

ControlFile::ControlFile(std::optional<std::string> first_argument)
    : first_argument_(std::move(first_argument)) {}

ControlFile::~ControlFile() { close(); }

bool ControlFile::open(std::string_view name) {
  close();
  const std::string path(name);
  std::FILE* stream = std::fopen(path.c_str(), "r");
  if (stream == nullptr) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return false;
    throw FatalIoError(path, std::string("cannot open: ") + std::strerror(error));
  }
  stream_ = stream;
  name_ = path;
  reader_.emplace(stream_, name_);
  return true;
}

void ControlFile::close() {
  reader_.reset();
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

bool ControlFile::read_line(std::size_t length, std::string& record) {
  return reader_ && reader_->read(length, record);
}

std::string ControlFile::read_required_line(std::size_t length) {
  std::string record;
  if (!read_line(length, record)) {
    throw FatalIoError(name_, "end of file inside a section");
  }
  return record;
}

int read_control_section(bool first_call, ControlFile& control, RunSettings& settings,
                         Console& console) {
  if (first_call && open_control_file(control, console) != 0) return 1;
  return SectionReader(control, settings, console).read();
}

void read_magnitude_file_names(ControlFile& control, RunSettings& settings, Console& console) {
  static const Format kBadIntrinsic("('Error in intrinsic magnitude file name')");
  static const Format kBadOverride("('Error in user override intrinsic magnitude file name')");
  if (first_word(control.read_required_line(kNameLineLength), settings.intrinsicFileName) != 0) {
    kBadIntrinsic.write(console.out, {});
    settings.intrinsicFileName = FileName("bad name");
  }
  if (first_word(control.read_required_line(kNameLineLength), settings.userOverrideFileName) !=
      0) {
    kBadOverride.write(console.out, {});
    settings.userOverrideFileName = FileName("none");
  }
}

int read_output_file_name(ControlFile& control, RunSettings& settings, Console& console) {
  static const Format kNoOutput("('No output file name given - exit')");
  static const Format kEnterOutput("('Enter output file name')");
  FileName& name = settings.outputFileName;
  if (first_word(control.read_required_line(kNameLineLength), name) != 0) {
    kNoOutput.write(console.out, {});
    return 1;
  }
  if (name == FileName("prompt")) {
    kEnterOutput.write(console.out, {});
    if (first_word(read_answer(console, kNameLineLength), name) != 0) {
      kNoOutput.write(console.out, {});
      return 1;
    }
  }
  return 0;
}

int read_element_file_names(ControlFile& control, RunSettings& settings, Console& console) {
  static const Format kNoInput("('No input file name given - exit')");
  static const Format kEnterElements("('Enter elements file name')");
  static const Format kLimit("('Limit of 10 input elements filenames - rest ignored')");
  settings.elementFileNames.fill(FileName());
  settings.elementFileCount = 0;
  FileName word;
  if (first_word(control.read_required_line(kNameLineLength), word) != 0) {
    kNoInput.write(console.out, {});
    return 1;
  }
  settings.combineRuns = false;
  if (word == FileName("prompt")) {
    kEnterElements.write(console.out, {});
    if (first_word(read_answer(console, kNameLineLength), word) != 0) {
      kNoInput.write(console.out, {});
      return 1;
    }
    settings.elementFileNames[0] = word;
    settings.elementFileCount = 1;
    return 0;
  }
  // The first name is taken whatever it says; keywords end the list only
  // from the second line on.
  settings.elementFileNames[0] = word;
  settings.elementFileCount = 1;
  std::string line;
  while (control.read_line(kNameLineLength, line)) {
    if (first_word(line, word) != 0) break;
    if (word == FileName("combine")) {
      settings.combineRuns = true;
      break;
    }
    if (word == FileName("end") || word == FileName("EOF")) break;
    if (settings.elementFileCount == kMaxElementFiles) {
      kLimit.write(console.out, {});
      break;
    }
    settings.elementFileNames[static_cast<std::size_t>(settings.elementFileCount++)] = word;
  }
  return 0;
}

}  // namespace vespera
