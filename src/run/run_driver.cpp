#include "run/run_driver.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "elements/calendar.h"
#include "elements/element_source.h"
#include "format/format_writer.h"
#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/day_loop.h"
#include "prediction/engine_run.h"
#include "prediction/prediction_table.h"
#include "prediction/night_in_parallel.h"
#include "prediction/worker_pool.h"
#include "report/background_writer.h"
#include "report/report_failure.h"
#include "report/report_writer.h"
#include "report/settings_line.h"
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
  MagnitudeCatalogue magnitudes;
  int32_t defaultMagnitudeBoundary = kDefaultMagnitudeBoundary;
  ElementSource elements;
  PredictionTable predictions;
  ReportWriter reportWriter{magnitudes, signal_stop_token()};
};

class RunDriver {
 public:
  RunDriver(std::optional<std::string> first_argument, Console& console, int32_t threads,
            OrbitModel model, const ThreadStarter& start)
      : control_(std::move(first_argument)),
        console_(console),
        model_(model),
        records_(std::make_unique<ProgramRecords>()),
        threads_wanted_(threads),
        start_(start) {}

  int run() {
    static const Format kBanner("('Vespera 1.0 - satellite visibility predictions')");
    static const Format kSgp4Banner(
        "('Vespera 1.0 - satellite visibility predictions (SGP4 model)')");
    (model_ == OrbitModel::Sgp4 ? kSgp4Banner : kBanner).write(console_.out, {});
    start_threads();
    if (read_control_section(true, control_, records_->settings, console_) == 0) run_sections();
    close_report();
    return 0;
  }

 private:
  // With more than one thread wanted: the report writer's thread, then the
  // searching workers. What cannot start is done by the threads that did
  // (at least this one), with the same report and console; one line on the
  // console's error stream says so.
  void start_threads() {
    static const Format kFewerThreads(
        "('vespera: could not start more threads (',a,'); running with ',a,' of ',a)");
    if (threads_wanted_ <= 1) return;
    std::error_code failure;
    try {
      background_ = std::make_unique<BackgroundReportWriter>(records_->reportWriter, start_);
      pool_ = std::make_unique<WorkerPool>(threads_wanted_, start_);
      failure = pool_->start_failure();
    } catch (const std::system_error& error) {
      failure = error.code();
    }
    if (pool_ && pool_->workers() == 0) pool_.reset();
    if (pool_) parallel_ = std::make_unique<ParallelNightSearch>(*pool_);
    if (failure) {
      const std::string running = std::to_string(pool_ ? pool_->workers() : 1);
      kFewerThreads.write(console_.err,
                          {failure.message(), running, std::to_string(threads_wanted_)});
    }
  }

  // One run per section, chained through "combine"; returns at the end of
  // the program (the summary written) or after a failure's message.
  void run_sections() {
    static const Format kSummary("(i5,' predictions written to file ',a)");
    RunSettings& settings = records_->settings;
    for (;;) {
      const int32_t start_day_number =
          monthBaseDayNumber(settings.year, settings.month, console_.out, console_.err);
      read_magnitude_file_names(control_, settings, console_);
      if (first_run_) {
        loadMagnitudes(records_->magnitudes, settings, records_->defaultMagnitudeBoundary,
                       console_.out);
      }
      if (read_output_file_name(control_, settings, console_) != 0 ||
          read_element_file_names(control_, settings, console_) != 0) {
        return;
      }
      const bool mean_elements = model_ == OrbitModel::Sgp4;
      DayLoopIo io{records_->elements,
                   ElementContext{settings, records_->magnitudes, console_.out, mean_elements},
                   records_->predictions, flusher(), console_.out, console_.err,
                   signal_stop_token(), parallel_.get()};
      if (records_->elements.loadElementSets(io.element_context) != 0) return;
      if (first_run_) open_report();
      const EngineRun run = prepare_engine_run(settings, start_day_number, records_->magnitudes,
                                               records_->defaultMagnitudeBoundary, model_);
      records_->reportWriter.begin_run(settings, run.site);
      const DayLoopEnd end = run_day_loop(run, io);
      // The report is written up to here before the console is read again.
      finish_writing();
      if (end == DayLoopEnd::CombineWithNextRun) {
        if (read_control_section(false, control_, settings, console_) != 0) return;
        continue;
      }
      control_.close();
      close_report();  // before the summary, which a failed write must not follow
      kSummary.write(console_.out,
                     {records_->reportWriter.predictions_written(), saved_output_name_});
      return;
    }
  }

  // The report file, created or replaced, with the settings line as the
  // control file gave the values. First run only.
  void open_report() {
    const RunSettings& s = records_->settings;
    const std::string name(s.outputFileName.trimmed());
    report_.reset(std::fopen(name.c_str(), "w"));
    if (!report_) {
      const int cause = errno;
      throw_report_failure(name, std::string("cannot create the report: ") + std::strerror(cause), cause,
                           signal_stop_token());
    }
    // The report writer hands over whole lines in large blocks; without a
    // buffer of its own, the file holds whole lines after every block,
    // even when the program is ended at once.
    std::setvbuf(report_.get(), nullptr, _IONBF, 0);
    saved_output_name_ = s.outputFileName;
    first_run_ = false;
    records_->reportWriter.set_output(report_.get(), name);
    std::string line;
    append_settings_line(line, s);
    if (std::fwrite(line.data(), 1, line.size(), report_.get()) != line.size()) {
      const int cause = errno;
      throw_report_failure(name, std::strerror(cause), cause, signal_stop_token());
    }
  }

  // Where the engine hands its full tables: the report writer, or with
  // more than one thread the writer's own thread.
  PredictionFlusher& flusher() {
    if (background_) return *background_;
    return records_->reportWriter;
  }

  // Waits until every table handed to the report writer's thread is written.
  void finish_writing() {
    if (background_) background_->finish();
  }

  // Closes the report on the orderly end; a write that failed on the way
  // (a full disk) is a fatal output error rather than a silent loss.
  void close_report() {
    finish_writing();
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
  OrbitModel model_;
  std::unique_ptr<ProgramRecords> records_;
  int32_t threads_wanted_;
  ThreadStarter start_;
  std::unique_ptr<WorkerPool> pool_;  // the searching threads; none with one thread
  std::unique_ptr<ParallelNightSearch> parallel_;
  ReportFile report_;
  bool first_run_ = true;
  FileName saved_output_name_;
  // The report writer's thread (with more than one thread); it goes before
  // the report file is closed.
  std::unique_ptr<BackgroundReportWriter> background_;
};

}  // namespace

int run_program(std::optional<std::string> control_file, Console& console, int32_t threads,
                OrbitModel model, const ThreadStarter& start) {
  RunDriver driver(std::move(control_file), console, threads, model, start);
  return driver.run();
}

}  // namespace vespera
