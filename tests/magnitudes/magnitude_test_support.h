// Helpers for the magnitude catalogue tests: magnitude-file lines built from
// their fields, a short-named temporary directory (file names are 40-character
// fields), a captured console, and a loader call that returns the console text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"
#include "vocabulary/run_settings.h"
#include "support/temp_files.h"

namespace vespera::testing {

using test::TempDir;

// The fields of one magnitude-file line; empty fields stay blank.
struct MagLine {
  int32_t ncat = 0;
  char flag = ' ';
  std::string_view detail{};      // columns 9-16
  std::string_view name{};        // columns 19-32
  std::string_view magnitude{};   // columns 34-37, as written
  std::string_view sizes{};       // columns 39-50
  std::string_view cross{};       // columns 51-54
  std::string_view comment{};     // columns 56-87
  int32_t boundary = 0;         // columns 65-69 of a control line (when not 0)

  std::string str() const {
    std::string line(87, ' ');
    const auto put = [&line](int column, std::string_view text, std::size_t width) {
      line.replace(static_cast<std::size_t>(column - 1), std::min(text.size(), width),
                   text.substr(0, width));
    };
    char number[16];
    std::snprintf(number, sizeof number, "%5d", static_cast<int>(ncat));
    put(1, number, 5);
    line[6] = flag;
    put(9, detail, 8);
    put(19, name, 14);
    put(34, magnitude, 4);
    put(39, sizes, 12);
    put(51, cross, 4);
    put(56, comment, 32);
    if (boundary != 0) {
      std::snprintf(number, sizeof number, "%5d", static_cast<int>(boundary));
      put(65, number, 5);
    }
    return line.substr(0, line.find_last_not_of(' ') + 1);
  }
};

// Lines joined with LF line ends.
inline std::string lines_text(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A console written to a temporary file and read back.
class CapturedConsole {
 public:
  CapturedConsole() : file_(std::tmpfile()) {}
  ~CapturedConsole() {
    if (file_ != nullptr) std::fclose(file_);
  }
  CapturedConsole(const CapturedConsole&) = delete;
  CapturedConsole& operator=(const CapturedConsole&) = delete;

  std::FILE* file() const { return file_; }
  std::string text() const { return test::stream_text(file_); }

 private:
  std::FILE* file_;
};

// Settings with the two magnitude file names and no selection.
inline RunSettings magnitude_settings(std::string_view intrinsic,
                                      std::string_view userOverride = "none") {
  RunSettings settings;
  settings.intrinsicFileName.assign(intrinsic);
  settings.userOverrideFileName.assign(userOverride);
  return settings;
}

// A loaded catalogue with the console text and the default-magnitude boundary.
struct Loaded {
  std::unique_ptr<MagnitudeCatalogue> catalogue = std::make_unique<MagnitudeCatalogue>();
  std::string console;
  int32_t boundary = kDefaultMagnitudeBoundary;

  MagnitudeInfo lookup(int32_t ncat, LookupForm form = LookupForm::Full,
                       std::string_view callerName = "") {
    return lookupMagnitude(*catalogue, ncat, form, FixedText<16>(callerName));
  }
  // Whether a full lookup finds the number (levels 3 to 8).
  bool found(int32_t ncat) { return lookup(ncat).infoLevel >= 3; }
  // Slot that holds `ncat`, 0 when none (a linear scan, independent of lookup).
  int32_t slot_of(int32_t ncat) const {
    for (int32_t slot = 1; slot <= catalogue->table.count; ++slot) {
      if (catalogue->table[slot].ncat == ncat) return slot;
    }
    return 0;
  }
};

inline Loaded load(const RunSettings& settings) {
  Loaded loaded;
  CapturedConsole console;
  loadMagnitudes(*loaded.catalogue, settings, loaded.boundary, console.file());
  loaded.console = console.text();
  return loaded;
}

}  // namespace vespera::testing
