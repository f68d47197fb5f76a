// Text helpers of the chart pages and tables: numbers written the same in
// every locale, times of day, dates, and escapes for HTML and CSV.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/report_reader.h"

namespace vespera::chart {

// A number with a fixed count of decimals ("-0" never: a value that rounds
// to zero is written without its sign).
std::string number_text(double value, int decimals);
// A number rounded to a whole one (halves away from zero), quickly.
std::string whole_text(double value);

// "HH:MM:SS" of seconds since local midnight.
std::string time_text(int32_t seconds_of_day);
// "YYYY-MM-DD".
std::string date_text(const LocalDate& date);

// Text for HTML content and attribute values: & < > " ' escaped.
std::string html_escaped(std::string_view text);
// A CSV field: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line end.
std::string csv_field(std::string_view text);

}  // namespace vespera::chart
