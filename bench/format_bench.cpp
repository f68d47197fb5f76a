// Cost of one report line: the prediction line of formats A, D and E written
// through a compiled Format, appended to a text or written to a stream.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "format/format_writer.h"
#include "format/text_record.h"

namespace vespera {
namespace {

const Format& prediction_line() {
  static const Format kLine("(i2,2i3,a4,a,1x,a1,i4,f5.1,i4,i2,i5,i4,i5,f4.1,i4,i3,i2,f6.1)");
  return kLine;
}

void BM_PredictionLineAppend(benchmark::State& state) {
  const Format& line = prediction_line();
  std::string out;
  out.reserve(1 << 16);
  int32_t second = 0;
  for (auto _ : state) {
    if (out.size() > 60000) out.clear();
    second = (second + 7) % 60;
    line.append(out, {20, 15, second, "    ", " 45 123", 'C', 90, 2.5f, 3, 4, 400, 1500, 560, 1.2f, 80,
                      14, 30, -25.4f});
  }
  benchmark::DoNotOptimize(out.data());
}
BENCHMARK(BM_PredictionLineAppend);

void BM_PredictionLineWrite(benchmark::State& state) {
  const Format& line = prediction_line();
  std::FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  for (auto _ : state) {
    line.write(sink, {20, 15, 5, "    ", " 45 123", 'C', 90, 2.5f, 3, 4, 400, 1500, 560, 1.2f, 80, 14, 30,
                      -25.4f});
  }
  std::fclose(sink);
}
BENCHMARK(BM_PredictionLineWrite);

void BM_ShortInternalRecord(benchmark::State& state) {
  static const Format kTime("(I4)");
  int32_t value = 0;
  for (auto _ : state) {
    value = (value + 13) % 1000;
    benchmark::DoNotOptimize(kTime.record({value}));
  }
}
BENCHMARK(BM_ShortInternalRecord);

// Reading element-file lines: 3.7 MB of 70-character records.
void BM_ReadElementLines(benchmark::State& state) {
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) {
    state.SkipWithError("no temporary file");
    return;
  }
  const std::string line = "1 25544U 98067A   20140.51074654  .00000862  00000-0  23533-4 0  9993\r\n";
  for (int i = 0; i < 3700000 / static_cast<int>(line.size()); ++i) std::fputs(line.c_str(), stream);
  std::string record;
  for (auto _ : state) {
    std::rewind(stream);
    TextRecordReader reader(stream, "elements.tle");
    while (reader.read(70, record)) {
    }
    benchmark::DoNotOptimize(record.data());
  }
  std::fclose(stream);
}
BENCHMARK(BM_ReadElementLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vespera
