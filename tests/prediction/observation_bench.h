// The inputs of a trial point's observation for tests, with plain defaults
// that a test changes field by field.
// The site lies at geocentric latitude 0.7 rad, west longitude 1.0 rad, radius
// 3963.345 miles, with sidereal time 0 at the start day; the magnitude
// catalogue is empty.
#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "magnitudes/magnitude_table.h"
#include "prediction/night.h"
#include "prediction/observation.h"
#include "prediction/prediction_table.h"
#include "prediction/site_geometry.h"
#include "vocabulary/run_settings.h"

namespace vespera::testing {

// A prediction as the report writer received it, with its night's window.
struct FlushedPrediction {
  float time;
  PredictionRecord record;
  ObservingWindow window;
};

// The report writer's place: keeps every prediction written out, and empties the table.
class CollectingFlusher final : public PredictionFlusher {
 public:
  void flush_predictions(PredictionTable& table, const NightState& night) override {
    for (int32_t i = 0; i < table.count; ++i) {
      written.push_back({table.times[i], table.records[i], night.window});
    }
    table.clear();
  }
  std::vector<FlushedPrediction> written;
};

struct ObservationBench {
  ObservationBench() {
    site.latitude = 0.7f;
    site.longitude = 1.0f;
    site.site_radius = 3963.345f;
    site.sin_lat = static_cast<float>(std::sin(0.7));
    site.cos_lat = static_cast<float>(std::cos(0.7));
    night.window = ObservingWindow{0.0f, 10.0f};
    settings.magnitudeLimit = 99.0f;
    settings.minAltitude = 0.0f;
    set.ncat = 25544;
    set.name = FixedText<16>("TEST SAT");
  }

  // A sub-satellite point `dlat` radians north and `dlon` radians west of the
  // site (west positive), at `height` miles above the site radius.
  SubsatellitePoint ground(float dlat, float dlon, float height) const {
    SubsatellitePoint g;
    const double lat = static_cast<double>(site.latitude) + dlat;
    g.sin_lat = static_cast<float>(std::sin(lat));
    g.cos_lat = static_cast<float>(std::cos(lat));
    g.r = site.site_radius + height;
    g.height = height;
    g.west_lon = static_cast<float>(static_cast<double>(site.longitude) + dlon);
    return g;
  }

  // observe_from_ground at engine time `time`, with the filters of the
  // bench's settings as they stand.
  PointOutcome observe(const SubsatellitePoint& g, PointObservation& point, float time = 1.25f) {
    point = PointObservation{};
    point.time = time;
    const ObservationFilters filters = observation_filters(settings, boundary);
    const ObservationScope scope{site, filters, night, set, orbit, 0,
                                 standard_magnitude(*catalogue, set.ncat)};
    return observe_from_ground(scope, g, sun, point);
  }

  // The direction probe at the sub-satellite point `g`.
  bool probe(const SubsatellitePoint& g, SkyDirection& direction) const {
    return probe_from_ground(site, g, direction);
  }

  RunSettings settings;
  SiteGeometry site;
  NightState night;
  ElementSet set;
  OrbitSetup orbit;
  std::unique_ptr<MagnitudeCatalogue> catalogue = std::make_unique<MagnitudeCatalogue>();
  int32_t boundary = 27561;
  WalkSun sun;
};

}  // namespace vespera::testing
