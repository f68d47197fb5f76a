// The once-per-run conversion of the observing site into SiteGeometry, with
// the run's sidereal time and the precession factors for the equinox year.
#pragma once

#include <cstdint>

#include "prediction/site_geometry.h"
#include "vocabulary/run_settings.h"

namespace vespera {

void setup_site(const RunSettings& settings, int32_t start_day_number, SiteGeometry& site);

}  // namespace vespera
