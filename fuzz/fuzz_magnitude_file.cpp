// Fuzz target: the intrinsic magnitude file and the user override file,
// merged into the catalogue and looked up.
//
// The first byte chooses the settings (detail listing, selection by flag
// letters or by catalogue numbers, an override file or "none"); the rest is
// the intrinsic file, then after a line "%%" the override file. After the
// load, the table must be in strictly ascending catalogue-number order, and
// every lookup, of each number in the table, of its neighbours and of a few
// others, in each form, must give a level from 1 to 8 and a comment that
// fits the report's columns.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"
#include "vocabulary/program_exit.h"
#include "vocabulary/run_settings.h"

namespace {

using vespera::LookupForm;
using vespera::MagnitudeCatalogue;
using vespera::MagnitudeInfo;

// A first flag letter "-" takes every entry of the intrinsic file.
void choose_settings(uint8_t options, vespera::RunSettings& s) {
  s.detailListing = (options & 1) != 0;
  vespera::fuzz::choose_selection(options, (options & 8) != 0 ? "-v" : "vu", 2, s);
}

void check_lookup(const MagnitudeCatalogue& catalogue, int32_t ncat, bool detail_listing) {
  for (const LookupForm form : {LookupForm::FlagOnly, LookupForm::Brief, LookupForm::Full}) {
    const MagnitudeInfo info = vespera::lookupMagnitude(
        catalogue, ncat, form, vespera::FixedText<16>(ncat % 2 == 0 ? "ELEMENT NAME" : ""));
    if (info.infoLevel < 1 || info.infoLevel > 8) std::abort();
    if (info.commentLength < 0 || info.commentLength > (detail_listing ? 6 : 8)) std::abort();
    if (form != LookupForm::FlagOnly && !std::isfinite(info.magnitude)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vespera::fuzz::Workspace workspace;
  if (size == 0) return -1;
  const auto files = vespera::fuzz::files_after_settings_byte(data, size, 2);

  vespera::RunSettings settings;
  choose_settings(data[0], settings);
  settings.intrinsicFileName = vespera::FileName(workspace.write("m.mag", files[0]));
  settings.userOverrideFileName =
      files.size() > 1 ? vespera::FileName(workspace.write("o.mag", files[1]))
                       : vespera::FileName((data[0] & 0x10) != 0 ? "none" : "no-such-file");

  // The catalogue is made once and emptied for each input (a fresh one per
  // input would cost more in page faults than the reading).
  static const auto empty = std::make_unique<const MagnitudeCatalogue>();
  static const auto catalogue = std::make_unique<MagnitudeCatalogue>();
  *catalogue = *empty;
  int32_t boundary = vespera::kDefaultMagnitudeBoundary;
  try {
    vespera::loadMagnitudes(*catalogue, settings, boundary, vespera::fuzz::discard_stream());
  } catch (const vespera::FatalIoError&) {
    return 0;  // a read error of a magnitude file
  }

  const vespera::MagnitudeTable& table = catalogue->table;
  if (table.count < 0 || table.count > vespera::kMagnitudeTableCapacity) std::abort();
  for (int32_t slot = 2; slot <= table.count; ++slot) {
    if (table[slot].ncat <= table[slot - 1].ncat) std::abort();
  }
  for (int32_t slot = 1; slot <= table.count; ++slot) {
    const int32_t ncat = table[slot].ncat;
    if (ncat <= 0) continue;  // lookups are made with positive numbers
    check_lookup(*catalogue, ncat, settings.detailListing);
    if (ncat > 1) check_lookup(*catalogue, ncat - 1, settings.detailListing);
    if (ncat < 99999) check_lookup(*catalogue, ncat + 1, settings.detailListing);
  }
  for (const int32_t ncat : {1, 877, 25544, 99999, boundary > 0 ? boundary : 1}) {
    check_lookup(*catalogue, ncat, settings.detailListing);
  }
  return 0;
}
