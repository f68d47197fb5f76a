// Time to load 10000 element sets into the element store in memory mode, with
// and without the duplicate search (dropOlderDuplicates), from a generated
// file of 10000 distinct satellites and, when present, from the shared
// 16704-set catalogue (which ends at the store limit).
//
// Time to read every set of a file, in each form: the same 10000 generated
// sets as two-line sets and as OMM CSV, XML and JSON, and, when present, the
// shared active catalogue of July 2026 as two-line sets and as OMM CSV.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "elements/element_file.h"
#include "elements/element_reader.h"
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

// The generated sets' values, one set at a time.
struct GeneratedSet {
  int ncat;
  int day;       // of 2018
  int fraction;  // eight decimals of the day
  double inclination, node, perigee, anomaly, mean_motion;
  int eccentricity;  // seven decimals
};

GeneratedSet generated_set(int ncat) {
  return {ncat,
          1 + ncat % 365,
          (ncat * 7919) % 100000000,
          (ncat % 1800) * 0.1,
          (ncat % 3600) * 0.1,
          (ncat % 3590) * 0.1,
          (ncat % 3570) * 0.1,
          12.0 + (ncat % 400) * 0.01,
          ncat % 10000000};
}

// The epoch of a generated set as an OMM writes it: 1e-8 day is 864 us.
std::string iso_epoch(const GeneratedSet& g) {
  const long long micro = static_cast<long long>(g.fraction) * 864;
  const int month_days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0;
  int day = g.day;
  while (day > month_days[month]) day -= month_days[month++];
  char text[64];
  std::snprintf(text, sizeof text, "2018-%02d-%02dT%02lld:%02lld:%02lld.%06lld", month + 1, day,
                micro / 3600000000LL, micro / 60000000LL % 60, micro / 1000000LL % 60, micro % 1000000LL);
  return text;
}

// One generated set as an OMM record: keyword and value texts.
std::vector<std::pair<std::string, std::string>> omm_fields(const GeneratedSet& g) {
  char number[32];
  const auto format = [&](const char* f, double v) {
    std::snprintf(number, sizeof number, f, v);
    return std::string(number);
  };
  std::snprintf(number, sizeof number, "OBJECT %05d", g.ncat);
  const std::string name = number;
  std::snprintf(number, sizeof number, ".%07d", g.eccentricity);
  const std::string eccentricity = number;
  return {{"OBJECT_NAME", name},
          {"OBJECT_ID", "1998-067A"},
          {"EPOCH", iso_epoch(g)},
          {"MEAN_MOTION", format("%.8f", g.mean_motion)},
          {"ECCENTRICITY", eccentricity},
          {"INCLINATION", format("%.4f", g.inclination)},
          {"RA_OF_ASC_NODE", format("%.4f", g.node)},
          {"ARG_OF_PERICENTER", format("%.4f", g.perigee)},
          {"MEAN_ANOMALY", format("%.4f", g.anomaly)},
          {"EPHEMERIS_TYPE", "0"},
          {"CLASSIFICATION_TYPE", "U"},
          {"NORAD_CAT_ID", std::to_string(g.ncat)},
          {"ELEMENT_SET_NO", "999"},
          {"REV_AT_EPOCH", "9561"},
          {"BSTAR", ".3855E-4"},
          {"MEAN_MOTION_DOT", ".00002078"},
          {"MEAN_MOTION_DDOT", "0"}};
}

std::string omm_text(int form) {
  std::string text;
  for (int ncat = 1; ncat <= 10000; ++ncat) {
    const auto fields = omm_fields(generated_set(ncat));
    if (form == 1) {
      if (ncat == 1) {
        for (const auto& [key, value] : fields) text += key + (&key == &fields.back().first ? "\r\n" : ",");
      }
      for (const auto& [key, value] : fields) text += value + (&value == &fields.back().second ? "\r\n" : ",");
    } else if (form == 2) {
      text += ncat == 1 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ndm>\n" : "";
      text += "<omm id=\"CCSDS_OMM_VERS\" version=\"2.0\">\n<header><CREATION_DATE/><ORIGINATOR/></header>\n"
              "<body>\n<segment>\n<metadata>\n";
      for (const auto& [key, value] : fields) text += "<" + key + ">" + value + "</" + key + ">\n";
      text += "</metadata>\n</segment>\n</body>\n</omm>\n";
      text += ncat == 10000 ? "</ndm>\n" : "";
    } else {
      text += ncat == 1 ? "[" : ",\n";
      text += "{";
      for (const auto& [key, value] : fields) {
        const bool quoted = key == "OBJECT_NAME" || key == "OBJECT_ID" || key == "EPOCH" || key == "CLASSIFICATION_TYPE";
        text += "\"" + key + "\":" + (quoted ? "\"" + value + "\"" : (value[0] == '.' ? "0" + value : value)) +
                (&value == &fields.back().second ? "}" : ",");
      }
      text += ncat == 10000 ? "]\n" : "";
    }
  }
  return text;
}

// Writes the generated sets in OMM form `form` to the file `name`.
std::string written_omm_file(const char* name, int form) {
  const std::string path = bench_dir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  const std::string text = omm_text(form);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return path;
}

// The generated sets in form 0 (two-line), 1 (CSV), 2 (XML) or 3 (JSON).
const std::string& generated_file_in(int form) {
  static const std::string paths[4] = {generated_file(), written_omm_file("gen.csv", 1),
                                       written_omm_file("gen.xml", 2), written_omm_file("gen.json", 3)};
  return paths[form];
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

// Reads every set of a file, as a streaming pass does.
void read_every_set(benchmark::State& bench, const std::string& file) {
  if (file.empty()) {
    bench.SkipWithError("data file absent");
    return;
  }
  RunSettings settings;
  auto magnitudes = std::make_unique<MagnitudeCatalogue>();
  std::FILE* console = std::fopen("/dev/null", "w");
  const ElementContext context{settings, *magnitudes, console};
  int64_t sets = 0;
  for (auto _ : bench) {
    ElementFile f;
    f.open(FileName(file));
    ElementSet set;
    sets = 0;
    while (readElementSet(f, context, set) == 0) ++sets;
    benchmark::DoNotOptimize(set);
  }
  bench.counters["sets"] = static_cast<double>(sets);
  bench.SetItemsProcessed(bench.iterations() * sets);
  std::fclose(console);
}

void BM_ReadGenerated(benchmark::State& bench) { read_every_set(bench, generated_file_in(static_cast<int>(bench.range(0)))); }
BENCHMARK(BM_ReadGenerated)->ArgName("form")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The shared active catalogue, as two-line sets (0) or OMM CSV (1).
void BM_ReadActiveCatalogue(benchmark::State& bench) {
  const char* const names[] = {"active-2026-07-19.tle", "active-2026-07-19.csv"};
  const std::string source = std::string("/work/shared/data/") + names[bench.range(0)];
  const std::string link = bench_dir() + "/active" + std::to_string(bench.range(0));
  if (!std::filesystem::exists(source)) return read_every_set(bench, std::string());
  if (!std::filesystem::exists(link) && symlink(source.c_str(), link.c_str()) != 0) std::abort();
  read_every_set(bench, link);
}
BENCHMARK(BM_ReadActiveCatalogue)->ArgName("form")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

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
