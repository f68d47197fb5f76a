#include "chart/drawn_pass.h"

#include "chart/chart_text.h"
#include "chart/pass_choice.h"
#include "chart/point_direction.h"

namespace vespera::chart {

namespace {

// Track colours, bright on the dark sky, one pass after another.
constexpr std::string_view kTrackColours[] = {"#ffcc66", "#66ccff", "#ff8899", "#99ee88",
                                              "#cc99ff", "#ffaa55", "#55ddcc", "#ff77dd"};

constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

std::string_view DrawnPass::colour() const { return kTrackColours[(number - 1) % std::size(kTrackColours)]; }

std::string DrawnPass::title() const {
  std::string name = pass.label();
  if (pass.identification.ncat > 0 && !pass.identification.name.empty()) {
    name += " (" + std::to_string(pass.identification.ncat) + ")";
  }
  return name;
}

std::vector<DrawnPass> drawn_passes(std::vector<ReportPass> passes, const std::string& night_id,
                                    bool azimuths_from_south) {
  std::vector<DrawnPass> drawn(passes.size());
  for (std::size_t k = 0; k < passes.size(); ++k) {
    DrawnPass& d = drawn[k];
    d.pass = std::move(passes[k]);
    d.number = k + 1;
    d.id = night_id;
    for (std::size_t i = 0; i < d.pass.points.size(); ++i) {
      const std::optional<Horizontal> seen = point_direction(d.pass.points[i], azimuths_from_south);
      if (!seen) continue;
      if (!d.highest || seen->altitude > d.track[*d.highest].seen.altitude) d.highest = d.track.size();
      d.track.push_back(TrackPoint{i, *seen});
    }
    d.brightest = brightest_magnitude(d.pass);
    d.shadow = shadow_crossings(d.pass);
  }
  return drawn;
}

std::string shadow_text(const ShadowCrossing& crossing) {
  const int64_t t = crossing.local_seconds % kSecondsPerDay;
  return std::string(crossing.enters ? "enters" : "leaves") + " shadow " +
         time_text(static_cast<int32_t>(t < 0 ? t + kSecondsPerDay : t));
}

}  // namespace vespera::chart
