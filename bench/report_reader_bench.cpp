// Cost of reading a report back: a report of format A whose nights are
// written in many blocks (a day header, its column header and 10 passes of
// 6 points each), read line by line with nothing done with what is read.
// The time per line must not grow with the report: the column headers are
// matched against texts written once, and a pass or a header is handed on
// as it is read (the complexity fitted should be O(N) in the lines).
#include <benchmark/benchmark.h>

#include <string>

#include "report/report_reader.h"

namespace vespera {
namespace {

constexpr const char* kSettings = "  40.000  75.000  300.   Backyard observatory     2000 12.0 10 F F T F F\n";
constexpr const char* kColumns = "\n H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec\n";
constexpr const char* kPoint = " 7 20 53     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1  19.2\n";

// `blocks` blocks over nights of 10 blocks (five evening ones, five morning).
std::string report_of(int blocks) {
  std::string text = kSettings;
  for (int b = 0; b < blocks; ++b) {
    const int night = b / 10;
    const bool evening = b % 10 < 5;
    const int day = 1 + night % 28 + (evening ? 0 : 1);
    char header[128];
    std::snprintf(header, sizeof header, "\n***  2017 Oct %3d  Mon %s  *** Times are %s EDT  ***  1930  6 8\n", day,
                  evening ? "evening" : "morning", evening ? "PM" : "AM");
    text += header;
    text += kColumns;
    for (int p = 0; p < 10; ++p) {
      text += "25544 ISS (ZARYA)                400 v-0.2 rule: ISS   \n";
      for (int i = 0; i < 6; ++i) text += kPoint;
    }
  }
  return text;
}

void BM_ReadReport(benchmark::State& state) {
  const std::string text = report_of(static_cast<int>(state.range(0)));
  const std::vector<std::string_view> lines = report_lines(text);
  ReportReceiver nothing;
  for (auto _ : state) {
    ReportReader reader(nothing);
    for (const std::string_view line : lines) reader.read_line(line);
    benchmark::DoNotOptimize(reader.finish());
  }
  state.SetComplexityN(static_cast<int64_t>(lines.size()));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_ReadReport)->RangeMultiplier(4)->Range(16, 4096)->Complexity(benchmark::oN);

}  // namespace
}  // namespace vespera
