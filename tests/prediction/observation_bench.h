// A prediction engine context for tests: every record the engine reads, with
// plain defaults that a test changes field by field.
// The site lies at geocentric latitude 0.7 rad, west longitude 1.0 rad, radius
// 3963.345 miles, with sidereal time 0 at the start day; the magnitude
// catalogue is empty.
#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "elements/element_source.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/engine_context.h"
#include "prediction/observation.h"

namespace vespera::testing {

// A prediction as the report writer received it, with its day's window.
struct FlushedPrediction {
  float time;
  PredictionRecord record;
  ObservingWindow window;
};

// The report writer's place: keeps every prediction written out, and empties the table.
class CollectingFlusher final : public PredictionFlusher {
 public:
  CollectingFlusher(PredictionTable& table, const NightState& night)
      : table_(table), night_(night) {}
  void flush_predictions() override {
    for (int32_t i = 0; i < table_.count; ++i) {
      written.push_back({table_.times[i], table_.records[i], night_.window});
    }
    table_.clear();
  }
  std::vector<FlushedPrediction> written;

 private:
  PredictionTable& table_;
  const NightState& night_;
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

  // observe_from_ground at engine time `time` (walk state 0, not a probe).
  PointOutcome observe(const SubsatellitePoint& g, PointObservation& point, float time = 1.25f,
                       bool probe = false) {
    point = PointObservation{};
    point.time = time;
    point.day_part = time - std::trunc(time);
    return observe_from_ground(context, g, probe, 0, sun, point);
  }

  RunSettings settings;
  SiteGeometry site;
  NightState night;
  ElementSource elements;
  ElementSet set;
  std::unique_ptr<MagnitudeCatalogue> catalogue = std::make_unique<MagnitudeCatalogue>();
  MagnitudeInfo info;
  int32_t boundary = 27561;
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
  CollectingFlusher flusher{*table, night};
  WalkSun sun;
  EngineContext context{settings, site,     night,  elements, set,    *catalogue,
                        info,     boundary, *table, flusher,  stdout, stderr, StopToken{}};
};

}  // namespace vespera::testing
