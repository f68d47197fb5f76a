#include "prediction/engine_run.h"

#include "prediction/site_setup.h"

namespace vespera {

EngineRun prepare_engine_run(const RunSettings& settings, int32_t start_day_number,
                             const MagnitudeCatalogue& catalogue,
                             int32_t defaultMagnitudeBoundary, OrbitModel model) {
  EngineRun run;
  run.firstDay = settings.firstDay;
  run.lastDay = settings.lastDay;
  run.combineRuns = settings.combineRuns;
  setup_site(settings, start_day_number, run.site);
  run.window = window_settings(settings);
  run.filters = observation_filters(settings, defaultMagnitudeBoundary);
  run.walk = walk_settings(settings);
  run.minAltitudeDeg = settings.minAltitudeDeg;
  run.catalogue = &catalogue;
  run.model = model;
  if (model == OrbitModel::Sgp4) {
    run.geodetic = geodetic_site(settings.latitudeDeg, settings.westLongitudeDeg, settings.heightFeet);
  }
  return run;
}

}  // namespace vespera
