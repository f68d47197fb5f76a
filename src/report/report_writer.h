// The report writer: writes the buffered predictions in time order, grouped by
// pass, under day and column headers, drops exact duplicates, and empties the
// prediction table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "magnitudes/magnitude_catalogue.h"
#include "prediction/engine_context.h"
#include "prediction/prediction_table.h"
#include "vocabulary/run_settings.h"

namespace vespera {

class ReportWriter : public PredictionFlusher {
 public:
  // The writer reads the settings, the site (start day number, site rate
  // factor), the current night's twilight times and the catalogue, empties the
  // table and adds one to predictionsWritten for every prediction line.
  ReportWriter(const RunSettings& settings, const SiteGeometry& site, const NightState& night,
               MagnitudeCatalogue& magnitudes, MagnitudeInfo& info, PredictionTable& table,
               int32_t& predictionsWritten);
  ~ReportWriter() override;

  // The report file and its name (for the diagnostic of a failing write; the
  // settings' output file name when empty). Nothing is written before it is
  // set. A write that fails throws FatalIoError.
  void set_output(std::FILE* report, std::string_view name = {});

  void flush_predictions() override;

  struct State;  // duplicate suppression, headers, compiled formats

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vespera
