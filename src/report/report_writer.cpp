#include "report/report_writer.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

#include "report/line_values.h"
#include "report/prediction_lines.h"
#include "report/report_failure.h"
#include "report/report_headers.h"
#include "report/selection_order.h"
#include "vocabulary/program_exit.h"

namespace vespera {

namespace {

// Two records of one satellite and element age this close in time (days)
// are the same prediction found twice; the second is dropped.
constexpr double kDuplicateTimeDays = static_cast<double>(0.00001f);
// Lines are gathered in memory and handed to the report file in blocks.
constexpr std::size_t kReportBlockBytes = 64 * 1024;

}  // namespace

struct ReportWriter::State {
  State(const MagnitudeCatalogue& magnitudes_in, StopToken stop_in)
      : magnitudes(magnitudes_in), stop(stop_in) {
    text.reserve(2 * kReportBlockBytes);
  }

  const MagnitudeCatalogue& magnitudes;
  StopToken stop;
  ReportRun run;
  int32_t predictionsWritten = 0;

  std::FILE* report = nullptr;
  std::string report_name;

  // The record last written, kept for the whole program: a record equal to
  // it is dropped, also at the start of a later call.
  int32_t last_written_ncat = 0;
  int16_t last_written_age_days = 0;
  float last_written_time = 0.0f;
  // Time of the record most recently taken from the table (written or dropped).
  float previous_time = 0.0f;
  // Slot of the last written record of this call: its satellite's pass
  // group is open (0 at the start of a call: no group is open).
  int32_t group_slot = 0;
  bool header_written = false;
  int32_t header_day = 0;
  int32_t header_half = 0;

  SelectionOrder order;
  LineValues values;
  MagnitudeInfo info;  // the catalogue's information on the pass being written
  std::string text;  // lines not yet handed to the report file

  void flush_predictions(PredictionTable& table, const NightState& night, const StopToken& asked);
  void write_table(const PredictionTable& table, const NightState& night, const StopToken& asked);
  void write_record(const PredictionRecord& record, float t, bool continues,
                    const NightState& night);
  void hand_over_text();
};

void ReportWriter::State::flush_predictions(PredictionTable& table, const NightState& night,
                                            const StopToken& asked) {
  if (table.count <= 0) return;
  try {
    write_table(table, night, asked);
  } catch (const ProgramExit&) {
    hand_over_text();  // a stop keeps the whole lines made so far
    throw;
  }
  table.clear();
  hand_over_text();
}

void ReportWriter::State::write_table(const PredictionTable& table, const NightState& night,
                                      const StopToken& asked) {
  header_written = false;
  group_slot = 0;
  order.begin(table);

  for (;;) {
    asked.throw_if_requested();
    const Selection selection = order.next(group_slot, previous_time);
    if (selection.slot == 0) break;
    const std::size_t index = static_cast<std::size_t>(selection.slot - 1);
    const float t = table.times[index];
    previous_time = t;
    order.take(selection.slot);
    const PredictionRecord& record = table.records[index];

    if (record.ncat == last_written_ncat && record.age_days == last_written_age_days &&
        std::fabs(static_cast<double>(last_written_time) - static_cast<double>(t)) <=
            kDuplicateTimeDays) {
      continue;
    }
    last_written_ncat = record.ncat;
    last_written_age_days = record.age_days;
    last_written_time = t;
    group_slot = selection.slot;
    predictionsWritten += 1;

    write_record(record, t, selection.continues, night);
    if (text.size() >= kReportBlockBytes) hand_over_text();
  }
}

void ReportWriter::State::write_record(const PredictionRecord& record, float t, bool continues,
                                       const NightState& night) {
  const ReportSettings& settings = run.settings;
  compute_line_values(record, t, settings, run.site_rate_factor, values);

  if (!header_written ||
      (!continues && (values.day != header_day || values.half != header_half))) {
    append_day_header(text, values.day + run.start_day_number, values.half,
                      settings.zoneOffsetHours, settings.zoneLabel, night.evening_twilight,
                      night.morning_twilight);
    append_column_header(text, settings);
    header_written = true;
    header_day = values.day;
    header_half = values.half;
  }

  const bool new_pass = !continues;
  if (new_pass) {
    info = lookupMagnitude(magnitudes, record.ncat, LookupForm::Full, record.name);
    if (settings.blankLineBeforePass) append_pass_separator(text);
    append_pass_identification(text, record.ncat, info, settings);
  }

  append_prediction_line(text, record, values, settings, new_pass, info);

  if (new_pass && !settings.radarFormat &&
      (settings.formatLetter == 'B' || settings.formatLetter == 'C')) {
    append_comment_line(text, info, settings);
  }
}

void ReportWriter::State::hand_over_text() {
  if (report != nullptr && !text.empty()) {
    if (std::fwrite(text.data(), 1, text.size(), report) != text.size()) {
      const int cause = errno;
      const std::string name =
          report_name.empty() ? std::string(run.outputFileName.trimmed()) : report_name;
      text.clear();
      throw_report_failure(name, cause != 0 ? std::strerror(cause) : "write failed", cause, stop);
    }
  }
  text.clear();
}

ReportWriter::ReportWriter(const MagnitudeCatalogue& magnitudes, StopToken stop)
    : state_(std::make_unique<State>(magnitudes, stop)) {}

ReportWriter::~ReportWriter() = default;

void ReportWriter::begin_run(const RunSettings& settings, const SiteGeometry& site) {
  state_->run = ReportRun{settings, settings.outputFileName, site.start_day_number,
                          site.site_rate_factor};
}

void ReportWriter::set_output(std::FILE* report, std::string_view name) {
  state_->report = report;
  state_->report_name.assign(name);
}

void ReportWriter::flush_predictions(PredictionTable& table, const NightState& night) {
  state_->flush_predictions(table, night, state_->stop);
}

void ReportWriter::flush_whole(PredictionTable& table, const NightState& night) {
  state_->flush_predictions(table, night, StopToken());
}

int32_t ReportWriter::predictions_written() const { return state_->predictionsWritten; }

}  // namespace vespera
