// The report's first line: the settings of the first run as the control file
// gave them (site in degrees and feet, before any conversion).
#pragma once

#include <string>

#include "vocabulary/run_settings.h"

namespace vespera {

// append_settings_line: appends the line with latitude, west longitude and
// height, the site name, the equinox year, the magnitude limit, the lowest
// altitude in degrees, and the flags radar format, ignore shadow, walk
// passes, distances in miles and blank line before a pass (T or F).
void append_settings_line(std::string& out, const RunSettings& settings);

}  // namespace vespera
