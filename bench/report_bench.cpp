// Cost of the report writer: one flush of a full prediction table (10000
// records: 1000 satellites with passes of 10 points, interleaved in time) to
// a null stream, the selection order alone, and one prediction line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "magnitudes/magnitude_table.h"
#include "prediction/angles.h"
#include "report/line_values.h"
#include "report/prediction_lines.h"
#include "report/report_writer.h"
#include "report/selection_order.h"

namespace vespera {
namespace {

PredictionRecord sample_record(int32_t ncat, std::mt19937& rng) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  PredictionRecord r;
  r.name = FixedText<16>("SAT " + std::to_string(ncat));
  r.ncat = ncat;
  r.walk_state = static_cast<int16_t>(rng() % 3);
  r.direction = static_cast<int16_t>(rng() % 360);
  r.altitude = unit(rng) * 1.4f;
  r.azimuth = unit(rng) * kTwoPi;
  r.right_ascension = unit(rng) * 24.0f;
  r.declination = unit(rng) * 180.0f - 90.0f;
  r.height = static_cast<int32_t>(300 + rng() % 2000);
  r.shadow_height = static_cast<int32_t>(rng() % 3000);
  r.range = 300.0f + unit(rng) * 2000.0f;
  r.phase_angle = static_cast<int32_t>(rng() % 180);
  r.age_days = static_cast<int16_t>(rng() % 20);
  r.orbit_tenths = static_cast<int16_t>(rng() % 10);
  r.time_error = static_cast<int32_t>(rng() % 30);
  r.magnitude = unit(rng) * 8.0f - 1.0f;
  return r;
}

// A night of passes: each satellite is seen once, 10 points a minute apart,
// starting anywhere in a six-hour window; points go into the table in the
// order the engine finds them (satellite by satellite).
std::unique_ptr<PredictionTable> full_table() {
  auto table = std::make_unique<PredictionTable>();
  std::mt19937 rng(20200523);
  std::uniform_real_distribution<float> start(24.0f + 0.02f, 24.0f + 0.27f);
  for (int32_t sat = 0; sat < 1000; ++sat) {
    const float t0 = start(rng);
    for (int point = 0; point < 10; ++point) {
      table->append(t0 + static_cast<float>(point) / 1440.0f, sample_record(20000 + sat, rng));
    }
  }
  return table;
}

struct WriterSetup {
  RunSettings settings;
  SiteGeometry site;
  NightState night;
  std::unique_ptr<MagnitudeCatalogue> catalogue = std::make_unique<MagnitudeCatalogue>();
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
  std::FILE* sink = std::fopen("/dev/null", "w");
  std::unique_ptr<ReportWriter> writer;

  explicit WriterSetup(char letter) {
    settings.formatLetter = letter;
    settings.radarFormat = letter == 'R';
    settings.zoneOffsetHours = -4.0f;
    settings.zoneLabel = FixedText<4>("EDT");
    site.start_day_number = 58969;
    site.site_rate_factor = 990.8f * 0.77f;
    night.evening_twilight = 0.25f;
    night.morning_twilight = 8.5f;
    // Half of the satellites are in the catalogue, with sizes and comments.
    MagnitudeTable& entries = catalogue->table;
    for (int32_t sat = 0; sat < 1000; sat += 2) {
      MagnitudeEntry& e = entries[++entries.count];
      e.ncat = 20000 + sat;
      e.name = FixedText<16>("CATALOGUED " + std::to_string(sat));
      e.flag = 'x';
      e.magnitude = 4.5f;
      e.crossSection = FixedText<4>(" 9.5");
      if (sat % 4 == 0) {
        e.commentIndex = static_cast<int16_t>(catalogue->commentPool.store("rocket body"));
      }
      e.sizeIndex = static_cast<int16_t>(catalogue->sizeTriples.find_or_add(
          {FixedText<4>(" 8.0"), FixedText<4>(" 3.0"), FixedText<4>(" 0.0")}));
    }
    writer = std::make_unique<ReportWriter>(*catalogue);
    writer->begin_run(settings, site);
    writer->set_output(sink, "/dev/null");
  }
  ~WriterSetup() { std::fclose(sink); }
};

void BM_FlushFullTable(benchmark::State& state) {
  WriterSetup setup(static_cast<char>(state.range(0)));
  const std::unique_ptr<PredictionTable> full = full_table();
  for (auto _ : state) {
    state.PauseTiming();
    *setup.table = *full;
    state.ResumeTiming();
    setup.writer->flush_predictions(*setup.table, setup.night);
  }
  state.counters["lines"] = benchmark::Counter(static_cast<double>(setup.writer->predictions_written()) /
                                               static_cast<double>(state.iterations()));
}
BENCHMARK(BM_FlushFullTable)->Arg('A')->Arg('B')->Arg('R')->Unit(benchmark::kMillisecond);

void BM_SelectionOrderFullTable(benchmark::State& state) {
  const std::unique_ptr<PredictionTable> table = full_table();
  SelectionOrder order;
  for (auto _ : state) {
    order.begin(*table);
    int32_t group = 0;
    float previous = 0.0f;
    for (Selection s = order.next(group, previous); s.slot != 0; s = order.next(group, previous)) {
      order.take(s.slot);
      group = s.slot;
      previous = table->times[static_cast<std::size_t>(s.slot - 1)];
    }
    benchmark::DoNotOptimize(previous);
  }
}
BENCHMARK(BM_SelectionOrderFullTable)->Unit(benchmark::kMicrosecond);

void BM_PredictionLine(benchmark::State& state) {
  RunSettings settings;
  settings.formatLetter = static_cast<char>(state.range(0));
  settings.radarFormat = settings.formatLetter == 'R';
  settings.zoneOffsetHours = -4.0f;
  MagnitudeInfo info;
  info.infoLevel = 3;
  info.name = FixedText<16>("DEMO SAT");
  const std::unique_ptr<PredictionTable> table = full_table();
  LineValues values;
  std::string out;
  out.reserve(1 << 17);
  std::size_t i = 0;
  for (auto _ : state) {
    if (out.size() > 100000) out.clear();
    compute_line_values(table->records[i], table->times[i], settings, 762.9f, values);
    append_prediction_line(out, table->records[i], values, settings, (i % 10) == 0, info);
    i = (i + 1) % 10000;
  }
  benchmark::DoNotOptimize(out.data());
}
BENCHMARK(BM_PredictionLine)->Arg('A')->Arg('B')->Arg('E')->Arg('R');

}  // namespace
}  // namespace vespera
