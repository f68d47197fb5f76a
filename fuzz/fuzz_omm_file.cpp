// Fuzz target: an element file in one of the OMM forms (CSV, XML or JSON,
// chosen when the target is built: VESPERA_OMM_FORM 1, 2 or 3), read through
// the element file and reader as a streaming pass reads it.
//
// An input that does not already look like its form gets the form's opening
// in front of it (a CSV header, "<ndm>", "["), so that every input reaches
// that form's reader. Every set read must hold finite numbers and a usable
// orbit, and a catalogue number from 1 to 339999.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "elements/element_file.h"
#include "elements/element_file_form.h"
#include "elements/element_reader.h"
#include "fuzz_support.h"
#include "magnitudes/magnitude_table.h"
#include "vocabulary/program_exit.h"

namespace {

constexpr auto kForm = static_cast<vespera::ElementFileForm>(VESPERA_OMM_FORM);

std::string_view opening() {
  switch (kForm) {
    case vespera::ElementFileForm::OmmCsv:
      return "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
             "ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,NORAD_CAT_ID,BSTAR,MEAN_MOTION_DOT,"
             "MEAN_MOTION_DDOT\n";
    case vespera::ElementFileForm::OmmXml:
      return "<ndm>";
    default:
      return "[";
  }
}

void check_set(const vespera::ElementSet& set) {
  for (const float x : {set.epochFraction, set.nodeRa, set.argPerigee, set.meanMotion, set.meanMotionDot,
                        set.inclination, set.eccentricity, set.nodePerRev, set.perigeePerRev}) {
    if (!std::isfinite(x)) std::abort();
  }
  if (!(set.eccentricity >= 0.0f && set.eccentricity < 1.0f) || set.ncat < 1 || set.ncat > 339999) std::abort();
  if (set.mean.valid && !(std::isfinite(set.mean.epochDayFraction) && std::isfinite(set.mean.bstar))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vespera::fuzz::Workspace workspace;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (vespera::element_file_form(text.substr(0, vespera::kElementFileFormHead)) != kForm) {
    text.insert(0, opening());
  }
  const std::string name = workspace.write("e.omm", text);

  static const auto catalogue = std::make_unique<vespera::MagnitudeCatalogue>();
  vespera::RunSettings settings;
  const vespera::ElementContext context{settings, *catalogue, vespera::fuzz::discard_stream()};
  try {
    vespera::ElementFile file;
    if (!file.open(vespera::FileName(name))) std::abort();
    vespera::ElementSet set;
    int32_t sets = 0;
    while (vespera::readElementSet(file, context, set) == 0) {
      check_set(set);
      if (++sets > static_cast<int32_t>(size) + 1) std::abort();  // more sets than bytes
    }
  } catch (const vespera::FatalIoError&) {
    // A read error of the file.
  }
  return 0;
}
