// The report's lines around the predictions: the day header with the night's
// observing window, the column header of each format, the empty line before
// a pass, the pass identification line and the comment line of formats B and C.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vocabulary/fixed_text.h"
#include "magnitudes/magnitude_catalogue.h"
#include "report/report_settings.h"

namespace vespera {

// distance_label: the column label of the distance field of formats B and C,
// " Phs" (4 wide) when phase angles are asked for (letter P), else "  Rng" (5).
std::string_view distance_label(char rangePhaseLetter);

// append_day_header: given the local date as a day number, the half of the
// day (1 morning, 2 evening), the zone's offset (hours added to UT) and label,
// and the night's evening and morning twilight (hours UT). Appends an empty
// line and the header line with the date, the weekday, the half of the day,
// the zone label and the observing window on the 24-hour clock.
void append_day_header(std::string& out, int32_t day_number, int32_t half,
                       float zoneOffsetHours, const FixedText<4>& zoneLabel,
                       float evening_twilight, float morning_twilight);

// append_column_header: appends an empty line and the column labels of the
// settings' report format (formats B and C with the distance label of
// settings.rangePhaseLetter).
void append_column_header(std::string& out, const ReportSettings& settings);

// append_pass_separator: the empty line written before a pass when asked for.
void append_pass_separator(std::string& out);

// append_pass_identification: the line that opens a pass in formats A, D, E
// and R: the catalogue number and as much of the catalogue's information as
// info.infoLevel says is there (name; detail text with settings.detailListing;
// sizes, cross-section, flag letter, magnitude, comment). Formats B and C
// carry the identification on their prediction line and get nothing here.
void append_pass_identification(std::string& out, int32_t ncat, const MagnitudeInfo& info,
                                const ReportSettings& settings);

// append_comment_line: formats B and C, the comment of a pass with
// info.infoLevel 7 or 8 on a line of its own (8 blanks, then the comment);
// nothing for other levels or with settings.detailLetter N.
void append_comment_line(std::string& out, const MagnitudeInfo& info, const ReportSettings& settings);

}  // namespace vespera
