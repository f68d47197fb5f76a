// The report writer: writes the buffered predictions in time order, grouped by
// pass, under day and column headers, drops exact duplicates, and empties the
// prediction table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "magnitudes/magnitude_catalogue.h"
#include "prediction/night.h"
#include "prediction/prediction_table.h"
#include "prediction/site_geometry.h"
#include "report/report_settings.h"
#include "vocabulary/run_settings.h"
#include "vocabulary/stop_request.h"

namespace vespera {

// What the writer takes of the run whose predictions it writes: the
// report's layout and clock from the run's settings, the start day number
// that dates the times, and the site rate factor of the EW value.
struct ReportRun {
  ReportSettings settings;
  FileName outputFileName;  // names the report when no name was given with it
  int32_t start_day_number = 0;
  float site_rate_factor = 0.0f;
};

class ReportWriter : public PredictionFlusher {
 public:
  // The writer looks each pass's satellite up in the catalogue (full form),
  // and asks `stop` before every line; a stop keeps the lines written so far.
  explicit ReportWriter(const MagnitudeCatalogue& magnitudes, StopToken stop = StopToken());
  ~ReportWriter() override;

  // begin_run: the run whose settings and site date and lay out every flush
  // from now on; records left in the table by a combined run are written
  // with the run current at the flush.
  void begin_run(const RunSettings& settings, const SiteGeometry& site);

  // The report file and its name (for the diagnostic of a failing write; the
  // run's output file name when empty). Nothing is written before it is set.
  // A write that fails throws FatalIoError.
  void set_output(std::FILE* report, std::string_view name = {});

  // flush_predictions: writes the table's predictions in time order, dated
  // with the run's start day number, under day headers that show the
  // night's twilight times, and empties the table.
  void flush_predictions(PredictionTable& table, const NightState& night) override;
  // flush_whole: the same without asking the stop token: the table is
  // written whole even after a stop request.
  void flush_whole(PredictionTable& table, const NightState& night);

  // Prediction lines written in all runs.
  int32_t predictions_written() const;

  struct State;  // duplicate suppression, headers, compiled formats

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vespera
