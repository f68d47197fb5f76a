// The prediction line of every report format: A, D and E share the long
// layout (they differ in the angle columns), B and C end the first line of a
// pass with the satellite's identification, and R is the short layout.
#pragma once

#include <string>

#include "magnitudes/magnitude_catalogue.h"
#include "prediction/prediction_table.h"
#include "report/line_values.h"
#include "report/report_settings.h"

namespace vespera {

// append_prediction_line: appends one record's line, ended by a line end, in
// the layout of settings.formatLetter ('R' when settings.radarFormat).
// Given: the record, its printed values, and for formats B and C whether the
// line starts a pass group and the pass's catalogue information (after a full
// lookup); the first line of a group carries the catalogue number, the name,
// or the cross-section, flag letter and name by info.infoLevel (1, 2, 3-8).
void append_prediction_line(std::string& out, const PredictionRecord& record,
                            const LineValues& values, const ReportSettings& settings, bool new_pass,
                            const MagnitudeInfo& info);

}  // namespace vespera
