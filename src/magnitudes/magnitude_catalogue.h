// The magnitude catalogue: intrinsic (standard) magnitudes and satellite data
// keyed by catalogue number, merged from the intrinsic magnitude file and the
// optional user override file, and its lookup in flag-only, brief and full form.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

#include "vocabulary/fixed_text.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// The catalogue number boundary for the default magnitude of an object with
// neither magnitude nor cross-section: 4.0 above it, 7.0 at or below it.
inline constexpr int32_t kDefaultMagnitudeBoundary = 27561;
// Magnitude that means "none known".
inline constexpr float kUnknownMagnitude = 20.0f;

// The result of one lookup. Fields that a form does not fill keep the values
// they are given here (the name: the caller's own name for the object).
struct MagnitudeInfo {
  int32_t infoLevel = 1;      // 1-8, see lookupMagnitude
  FixedText<16> name;         // the caller's name; with the full form, the catalogue's when it has one
  FixedText<8> detail;
  char flag = ' ';
  std::array<FixedText<4>, 3> sizes{};
  FixedText<4> crossSection;
  float magnitude = kUnknownMagnitude;
  int32_t commentLength = 0;  // in 4-character words
  FixedText<32> comment;
};

enum class LookupForm { FlagOnly, Brief, Full };

class MagnitudeCatalogue;  // defined in magnitudes/magnitude_table.h

// Reads the intrinsic file and the user override file named in `settings` into
// the catalogue (an override file named "none" means there is none), taking
// only the lines that the run's selection admits. A control line (NCAT 1) may
// set `defaultMagnitudeBoundary`. Missing files, bad lines and full tables are
// reported on `console`; a read error throws FatalIoError.
void loadMagnitudes(MagnitudeCatalogue& catalogue, const RunSettings& settings,
                    int32_t& defaultMagnitudeBoundary, std::FILE* console);

// Looks a (positive) catalogue number up. `callerName` is the caller's own
// name for the object. The result holds, by form:
//   FlagOnly: infoLevel and flag (blank when not found);
//   Brief:    also the magnitude (20.0 when unknown) and the cross-section;
//   Full:     everything: the catalogue's name replaces the caller's unless it
//             is blank ("NONE" when both are), detail text, comment, sizes.
// A number not found gives magnitude 20.0, a blank flag and cross-section.
// infoLevel: 1 nothing found (or a flag-only or brief lookup), 2 not found
// but the caller's name is there, 3 found, 5 found with a magnitude, 7 found
// with a comment; one more (4, 6, 8) when sizes come with it.
// The catalogue is only read: lookups may run side by side.
MagnitudeInfo lookupMagnitude(const MagnitudeCatalogue& catalogue, int32_t ncat, LookupForm form,
                              const FixedText<16>& callerName = FixedText<16>());

}  // namespace vespera
