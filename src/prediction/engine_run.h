// EngineRun: everything the prediction engine reads for one run, prepared
// once when the run starts and then only read: the day indices, the site in
// the engine's frame, how the window of a day is placed, the filters of a
// trial point, the walk's settings and the magnitude catalogue.
#pragma once

#include <cstdint>

#include "magnitudes/magnitude_catalogue.h"
#include "prediction/geodetic_site.h"
#include "prediction/observation.h"
#include "prediction/pass_walk.h"
#include "prediction/site_geometry.h"
#include "prediction/sun_window.h"
#include "vocabulary/orbit_model.h"
#include "vocabulary/run_settings.h"

namespace vespera {

struct EngineRun {
  int32_t firstDay = 0;  // day indices of the run (the first is always done)
  int32_t lastDay = 0;
  bool combineRuns = false;  // a combined run ends after its first non-empty day
  SiteGeometry site;
  WindowSettings window;
  ObservationFilters filters;
  WalkSettings walk;
  int32_t minAltitudeDeg = 0;  // below 20 degrees the search widens its acceptance width
  const MagnitudeCatalogue* catalogue = nullptr;  // never null in a prepared run
  OrbitModel model = OrbitModel::Compact;  // what places the satellite at each trial point
  GeodeticSite geodetic;                   // the site on the WGS-84 ellipsoid (SGP4 model)
};

// prepare_engine_run: the run of one control-file section starting at day
// number `start_day_number` (day 0 of its month), with the catalogue loaded
// for the program and its default-magnitude boundary, in the orbit model `model`.
EngineRun prepare_engine_run(const RunSettings& settings, int32_t start_day_number,
                             const MagnitudeCatalogue& catalogue,
                             int32_t defaultMagnitudeBoundary,
                             OrbitModel model = OrbitModel::Compact);

}  // namespace vespera
