// Fuzz target: element files through the element source, in memory mode and
// in streaming mode.
//
// The first byte chooses the settings (duplicates dropped or kept, selection
// by nothing, by flag letters or by catalogue numbers); the rest is one, two
// or three element files separated by lines "%%". Every set is loaded and
// handed out twice (the second time after a rewind) in each mode, and every
// set handed out must hold finite numbers and a usable orbit.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "elements/element_set.h"
#include "elements/element_source.h"
#include "fuzz_support.h"
#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"
#include "prediction/prediction_table.h"
#include "vocabulary/program_exit.h"
#include "vocabulary/run_settings.h"

namespace {

using vespera::ElementSet;

// Flag letters of a few catalogue entries, for selection by flag letters.
void add_flags(vespera::MagnitudeCatalogue& catalogue) {
  const struct {
    int32_t ncat;
    char flag;
  } entries[] = {{877, 'v'}, {19650, 'r'}, {25544, 'v'}, {99999, 'x'}};
  for (const auto& e : entries) {
    vespera::MagnitudeTable& table = catalogue.table;
    ++table.count;
    table[table.count].ncat = e.ncat;
    table[table.count].flag = e.flag;
  }
}

void choose_settings(uint8_t options, vespera::RunSettings& s) {
  s.dropOlderDuplicates = (options & 1) != 0;
  vespera::fuzz::choose_selection(options, "vr", 2, s);
}

// A set the prediction engine can work with: every number finite, an
// eccentricity in [0, 1) and a catalogue number other than 0.
void check_set(const ElementSet& set) {
  for (const float x : {set.epochFraction, set.nodeRa, set.argPerigee, set.meanMotion,
                        set.meanMotionDot, set.inclination, set.eccentricity, set.nodePerRev,
                        set.perigeePerRev}) {
    if (!std::isfinite(x)) std::abort();
  }
  if (!(set.eccentricity >= 0.0f && set.eccentricity < 1.0f) || set.ncat == 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vespera::fuzz::Workspace workspace;
  if (size == 0) return -1;
  const auto files = vespera::fuzz::files_after_settings_byte(data, size, 3);

  vespera::RunSettings settings;
  choose_settings(data[0], settings);
  settings.elementFileCount = static_cast<int32_t>(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string name = workspace.write("e" + std::to_string(i) + ".tle", files[i]);
    settings.elementFileNames[i] = vespera::FileName(name);
  }

  // The large records are made once and emptied for each input: a fresh
  // megabyte per input would cost more in page faults than the reading.
  static const auto catalogue = std::make_unique<vespera::MagnitudeCatalogue>();
  catalogue->table.count = 0;
  add_flags(*catalogue);
  const vespera::ElementContext context{settings, *catalogue, vespera::fuzz::discard_stream()};
  vespera::ElementSource source;
  try {
    for (const bool memory : {true, false}) {
      settings.keepElementsInMemory = memory;
      if (source.loadElementSets(context) != 0) continue;
      for (int pass = 0; pass < 2; ++pass) {
        source.rewindElementSets();
        ElementSet set;
        int32_t handed_out = 0;
        while (source.nextElementSet(context, set) == 0) {
          check_set(set);
          if (++handed_out > 10000 * 3) std::abort();  // a pass that never ends
        }
      }
    }
  } catch (const vespera::FatalIoError&) {
    // A read error of an element file.
  }
  return 0;
}
