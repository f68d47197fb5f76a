#include "run/run_driver.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "elements/calendar.h"
#include "elements/element_set.h"
#include "elements/element_source.h"
#include "format/format_writer.h"
#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/day_loop.h"
#include "prediction/engine_context.h"
#include "prediction/prediction_table.h"
#include "prediction/site_setup.h"
#include "report/report_layouts.h"
#include "report/report_writer.h"
#include "run/control_file.h"
#include "run/signals.h"
#include "vocabulary/program_exit.h"
#include "vocabulary/run_settings.h"

namespace vespera {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open report file; closed when its holder goes, whatever the path.
using ReportFile = std::unique_ptr<std::FILE, FileCloser>;

// The records that live from the program's start to its end.
struct ProgramRecords {
  RunSettings settings;
  std::unique_ptr<MagnitudeCatalogue> magnitudes = std::make_unique<MagnitudeCatalogue>();
  MagnitudeInfo info;
  int32_t defaultMagnitudeBoundary = kDefaultMagnitudeBoundary;
  ElementSource elements;
  ElementSet current;
  SiteGeometry site;
  NightState night;
  std::unique_ptr<PredictionTable> predictions = std::make_unique<PredictionTable>();
  int32_t predictionsWritten = 0;
  ReportWriter reportWriter{settings, site, night, *magnitudes, info, *predictions,
                            predictionsWritten};
};

class RunDriver {
 public:
  RunDriver(std::optional<std::string> first_argument, Console& console)
      : control_(std::move(first_argument)),
        console_(console),
        records_(std::make_unique<ProgramRecords>()),
        engine_{records_->settings,   records_->site,        records_->night,
                records_->elements,   records_->current,     *records_->magnitudes,
                records_->info,       records_->defaultMagnitudeBoundary,
                *records_->predictions, records_->reportWriter, console.out,
                console.err,          signal_stop_token()} {}

  int run() {
    static const Format kBanner("('Vespera 1.0 - satellite visibility predictions')");
    kBanner.write(console_.out, {});
    if (read_control_section(true, control_, records_->settings, console_) == 0) run_sections();
    close_report();
    return 0;
  }

 private:
  // One run per section, chained through "combine"; returns at the end of
  // the program (the summary written) or after a failure's message.
  void run_sections() {
    static const Format kSummary("(i5,' predictions written to file ',a)");
    RunSettings& settings = records_->settings;
    for (;;) {
      const int32_t start_day_number =
          monthBaseDayNumber(settings.year, settings.month, console_.out, console_.err);
      read_magnitude_file_names();
      if (first_run_) {
        loadMagnitudes(*records_->magnitudes, settings, records_->defaultMagnitudeBoundary,
                       console_.out);
      }
      if (!read_output_file_name() || !read_element_file_names()) return;
      if (records_->elements.loadElementSets(engine_.element_context()) != 0) return;
      if (first_run_) open_report();
      setup_site(settings, start_day_number, records_->site);
      if (run_day_loop(engine_) == DayLoopEnd::CombineWithNextRun) {
        if (read_control_section(false, control_, settings, console_) != 0) return;
        continue;
      }
      control_.close();
      close_report();  // before the summary, which a failed write must not follow
      kSummary.write(console_.out, {records_->predictionsWritten, saved_output_name_});
      return;
    }
  }

  // Lines 18 and 19: a blank line is reported and replaced, and the run goes on.
  void read_magnitude_file_names() {
    static const Format kBadIntrinsic("('Error in intrinsic magnitude file name')");
    static const Format kBadOverride("('Error in user override intrinsic magnitude file name')");
    RunSettings& settings = records_->settings;
    if (first_word(control_.read_required_line(kNameLineLength), settings.intrinsicFileName) != 0) {
      kBadIntrinsic.write(console_.out, {});
      settings.intrinsicFileName = FileName("bad name");
    }
    if (first_word(control_.read_required_line(kNameLineLength), settings.userOverrideFileName) !=
        0) {
      kBadOverride.write(console_.out, {});
      settings.userOverrideFileName = FileName("none");
    }
  }

  // Line 20: the report file's name, or "prompt" to ask it on the console.
  // Returns false when no name was given (after the message).
  bool read_output_file_name() {
    static const Format kNoOutput("('No output file name given - exit')");
    static const Format kEnterOutput("('Enter output file name')");
    FileName& name = records_->settings.outputFileName;
    if (first_word(control_.read_required_line(kNameLineLength), name) != 0) {
      kNoOutput.write(console_.out, {});
      return false;
    }
    if (name == FileName("prompt")) {
      kEnterOutput.write(console_.out, {});
      if (first_word(read_answer(console_, kNameLineLength), name) != 0) {
        kNoOutput.write(console_.out, {});
        return false;
      }
    }
    return true;
  }

  // Lines 21 and on: up to ten element files, ended by "combine", "end",
  // "EOF", a blank line or the end of the file; or a single "prompt".
  // Returns false when the first name is missing (after the message).
  bool read_element_file_names() {
    static const Format kNoInput("('No input file name given - exit')");
    static const Format kEnterElements("('Enter elements file name')");
    static const Format kLimit("('Limit of 10 input elements filenames - rest ignored')");
    RunSettings& settings = records_->settings;
    settings.elementFileNames.fill(FileName());
    settings.elementFileCount = 0;
    FileName word;
    if (first_word(control_.read_required_line(kNameLineLength), word) != 0) {
      kNoInput.write(console_.out, {});
      return false;
    }
    settings.combineRuns = false;
    if (word == FileName("prompt")) {
      kEnterElements.write(console_.out, {});
      if (first_word(read_answer(console_, kNameLineLength), word) != 0) {
        kNoInput.write(console_.out, {});
        return false;
      }
      settings.elementFileNames[0] = word;
      settings.elementFileCount = 1;
      return true;
    }
    // The first name is taken whatever it says; keywords end the list only
    // from the second line on.
    settings.elementFileNames[0] = word;
    settings.elementFileCount = 1;
    std::string line;
    while (control_.read_line(kNameLineLength, line)) {
      if (first_word(line, word) != 0) break;
      if (word == FileName("combine")) {
        settings.combineRuns = true;
        break;
      }
      if (word == FileName("end") || word == FileName("EOF")) break;
      if (settings.elementFileCount == kMaxElementFiles) {
        kLimit.write(console_.out, {});
        break;
      }
      settings.elementFileNames[static_cast<std::size_t>(settings.elementFileCount++)] = word;
    }
    return true;
  }

  // The report file, created or replaced, with the settings line as the
  // control file gave the values. First run only.
  void open_report() {
    static const Format kSettingsLine(layouts::kSettingsLine.format);
    const RunSettings& s = records_->settings;
    const std::string name(s.outputFileName.trimmed());
    report_.reset(std::fopen(name.c_str(), "w"));
    if (!report_) {
      throw FatalIoError(name, std::string("cannot create the report: ") + std::strerror(errno));
    }
    saved_output_name_ = s.outputFileName;
    first_run_ = false;
    records_->reportWriter.set_output(report_.get(), name);
    kSettingsLine.write(report_.get(),
                        {s.latitudeDeg, s.westLongitudeDeg, s.heightFeet, s.siteName,
                         s.equinoxYear, s.magnitudeLimit, s.minAltitudeDeg,
                         FormatItem::logical(s.radarFormat), FormatItem::logical(s.ignoreShadow),
                         FormatItem::logical(s.walkPasses), FormatItem::logical(s.distancesInMiles),
                         FormatItem::logical(s.blankLineBeforePass)});
  }

  // Closes the report on the orderly end; a write that failed on the way
  // (a full disk) is a fatal output error rather than a silent loss.
  void close_report() {
    if (!report_) return;
    std::FILE* report = report_.release();
    int cause = std::fflush(report) != 0 ? errno : 0;
    const bool write_failed = std::ferror(report) != 0;
    if (std::fclose(report) != 0 && cause == 0) cause = errno;
    if (write_failed || cause != 0) {
      throw FatalIoError(std::string(saved_output_name_.trimmed()),
                         cause != 0 ? std::strerror(cause) : "write failed");
    }
  }

  ControlFile control_;
  Console& console_;
  std::unique_ptr<ProgramRecords> records_;
  EngineContext engine_;
  ReportFile report_;
  bool first_run_ = true;
  FileName saved_output_name_;
};

}  // namespace

int run_program(int argc, char** argv, Console& console) {
  std::optional<std::string> first_argument;
  if (argc > 1 && argv[1] != nullptr) first_argument = std::string(argv[1]);
  RunDriver driver(std::move(first_argument), console);
  return driver.run();
}

}  // namespace vespera
