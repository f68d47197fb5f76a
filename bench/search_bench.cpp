// Cost of the revolution search per element set per day: the 979 sets of the
// shared gpredict file (829 reach the store) searched over 7 nights at
// 40 N 75 W with the pass walk replaced by counting the candidate revolutions
// (setup_orbit and next_candidate called directly). Skipped when the shared
// data is absent.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "elements/calendar.h"
#include "elements/element_source.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/orbit.h"
#include "prediction/site_setup.h"
#include "prediction/sun_window.h"

namespace vespera {
namespace {

constexpr const char* kSharedFile = "/work/shared/data/debian-gpredict-2018-01.tle";
constexpr int kNights = 7;

// The element sets, the site and the 7 nights beginning 2018 January 10.
struct SearchData {
  std::vector<ElementSet> sets;
  SiteGeometry site;
  std::vector<ObservingWindow> windows;
  bool loaded = false;
};

const SearchData& search_data() {
  static const SearchData data = [] {
    SearchData d;
    if (!std::filesystem::exists(kSharedFile)) return d;
    // Element file names are 40-character fields: copy to a short path.
    char pattern[] = "/tmp/vsbXXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) return d;
    const std::string path = std::string(dir) + "/g.tle";
    std::filesystem::copy_file(kSharedFile, path);

    auto settings = std::make_unique<RunSettings>();
    settings->year = 2018;
    settings->month = 1;
    settings->latitudeDeg = 40.0f;
    settings->westLongitudeDeg = 75.0f;
    settings->heightFeet = 300.0f;
    settings->minAltitudeDeg = 10;
    settings->elementFileNames[0] = FileName(path);
    settings->elementFileCount = 1;
    auto magnitudes = std::make_unique<MagnitudeCatalogue>();
    std::FILE* console = std::fopen("/dev/null", "w");
    const ElementContext context{*settings, *magnitudes, console};
    ElementSource source;
    if (source.loadElementSets(context) == 0) {
      ElementSet set;
      while (source.nextElementSet(context, set) == 0) d.sets.push_back(set);
    }
    std::fclose(console);
    std::filesystem::remove_all(dir);

    setup_site(*settings, monthBaseDayNumber(2018, 1, stdout), d.site);
    for (int night = 0; night < kNights; ++night) {
      // Twilight mode: day index + 1.
      d.windows.push_back(set_up_night(window_settings(*settings), d.site, 11 + night).window);
    }
    d.loaded = !d.sets.empty();
    return d;
  }();
  return data;
}

// The whole search of every set on every night, counting candidates.
void BM_SearchPerSetPerDay(benchmark::State& state) {
  const SearchData& data = search_data();
  if (!data.loaded) {
    state.SkipWithError("shared element file not available");
    return;
  }
  int64_t candidates = 0;
  int64_t searched = 0;
  for (auto _ : state) {
    for (const ObservingWindow& window : data.windows) {
      for (const ElementSet& set : data.sets) {
        const SearchScope scope{set, data.site, window, 10, StopToken()};
        OrbitSetup orbit;
        ++searched;
        if (!setup_orbit(scope, orbit)) continue;
        int j = 0;
        float u_star = 0.0f;
        bool advance = false;
        while (next_candidate(scope, orbit, advance, j, u_star)) {
          benchmark::DoNotOptimize(u_star);
          ++candidates;
          advance = true;
        }
      }
    }
  }
  const double set_days = static_cast<double>(data.sets.size() * data.windows.size());
  state.counters["sets"] = static_cast<double>(data.sets.size());
  state.counters["set_days"] = benchmark::Counter(
      set_days, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["candidates_per_set_day"] =
      static_cast<double>(candidates) / static_cast<double>(searched);
}
BENCHMARK(BM_SearchPerSetPerDay)->Unit(benchmark::kMillisecond);

// setup_orbit alone, per set and day.
void BM_SetupOrbit(benchmark::State& state) {
  const SearchData& data = search_data();
  if (!data.loaded) {
    state.SkipWithError("shared element file not available");
    return;
  }
  for (auto _ : state) {
    for (const ObservingWindow& window : data.windows) {
      for (const ElementSet& set : data.sets) {
        OrbitSetup orbit;
        benchmark::DoNotOptimize(setup_orbit(SearchScope{set, data.site, window, 10, StopToken()}, orbit));
        benchmark::DoNotOptimize(orbit.next_time);
      }
    }
  }
  const double set_days = static_cast<double>(data.sets.size() * data.windows.size());
  state.counters["set_days"] = benchmark::Counter(
      set_days, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SetupOrbit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vespera
