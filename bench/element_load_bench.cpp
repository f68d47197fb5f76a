// Time to load 10000 element sets into the element store in memory mode, with
// and without the duplicate search (dropOlderDuplicates), from a generated
// file of 10000 distinct satellites and, when present, from the shared
// 16704-set catalogue (which ends at the store limit).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "elements/element_source.h"
#include "magnitudes/magnitude_table.h"

namespace vespera {
namespace {

// A directory with a short path (file names are 40-character fields),
// removed at exit.
const std::string& bench_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/velbXXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) std::abort();
    std::string path = made;
    std::atexit([] { std::filesystem::remove_all(bench_dir()); });
    return path;
  }();
  return dir;
}

// 10000 low-orbit sets with distinct catalogue numbers and name lines.
const std::string& generated_file() {
  static const std::string path = [] {
    const std::string p = bench_dir() + "/gen.tle";
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (f == nullptr) std::abort();
    for (int ncat = 1; ncat <= 10000; ++ncat) {
      std::fprintf(f, "OBJECT %05d\n", ncat);
      std::fprintf(f,
                   "1 %05dU 98067A   18%03d.%08d  .00002078  00000-0  38550-4 0  9992\n",
                   ncat, 1 + ncat % 365, (ncat * 7919) % 100000000);
      std::fprintf(f,
                   "2 %05d %8.4f %8.4f %07d %8.4f %8.4f %11.8f 95614\n", ncat,
                   (ncat % 1800) * 0.1, (ncat % 3600) * 0.1, ncat % 10000000,
                   (ncat % 3590) * 0.1, (ncat % 3570) * 0.1, 12.0 + (ncat % 400) * 0.01);
    }
    std::fclose(f);
    return p;
  }();
  return path;
}

// The shared catalogue through a short link, or empty when it is absent.
const std::string& catalogue_file() {
  static const std::string path = [] {
    const char* source = "/work/shared/data/catalog-2017-10-16.tle";
    if (!std::filesystem::exists(source)) return std::string();
    const std::string link = bench_dir() + "/cat.tle";
    if (symlink(source, link.c_str()) != 0) return std::string();
    return link;
  }();
  return path;
}

void load(benchmark::State& bench, const std::string& file, bool dropOlderDuplicates) {
  if (file.empty()) {
    bench.SkipWithError("data file absent");
    return;
  }
  RunSettings settings;
  settings.keepElementsInMemory = true;
  settings.dropOlderDuplicates = dropOlderDuplicates;
  settings.elementFileCount = 1;
  settings.elementFileNames[0] = FileName(file);
  auto magnitudes = std::make_unique<MagnitudeCatalogue>();
  std::FILE* console = std::fopen("/dev/null", "w");
  const ElementContext context{settings, *magnitudes, console};
  ElementSource source;
  for (auto _ : bench) {
    benchmark::DoNotOptimize(source.loadElementSets(context));
  }
  bench.counters["sets"] = source.storedCount();
  bench.SetItemsProcessed(bench.iterations() * source.storedCount());
  std::fclose(console);
}

void BM_LoadGenerated(benchmark::State& bench) {
  load(bench, generated_file(), bench.range(0) != 0);
}
BENCHMARK(BM_LoadGenerated)->ArgName("dropOlderDuplicates")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadCatalogue(benchmark::State& bench) {
  load(bench, catalogue_file(), bench.range(0) != 0);
}
BENCHMARK(BM_LoadCatalogue)->ArgName("dropOlderDuplicates")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vespera
