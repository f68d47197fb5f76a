// Helpers shared by the fuzz targets: a private working directory that each
// execution starts afresh (small valid element and magnitude files in it),
// a console that discards what it is given, and the splitting of one fuzz
// input into several files.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vocabulary/run_settings.h"

namespace vespera::fuzz {

// Four real element sets of the visual list (the ISS, a rocket body in a
// higher orbit, and two sets of one satellite, the later one newer).
inline constexpr std::string_view kElementFixture =
    "ISS (ZARYA)\n"
    "1 25544U 98067A   17289.90403449  .00003562  00000-0  60899-4 0  9992\n"
    "2 25544  51.6416 151.5519 0004813  31.8478  64.5059 15.54189647 80680\n"
    "SL-3 R/B\n"
    "1 00877U 64053B   17289.48483068 -.00000046  00000-0  15405-4 0  9998\n"
    "2 00877  65.0774 297.9596 0051772  54.4881 306.1031 14.59308084819219\n"
    "SL-16 R/B\n"
    "1 19650U 88102B   17289.11067383 -.00000265 +00000-0 -11025-3 0  9993\n"
    "2 19650 070.9976 120.8282 0014674 349.4948 010.5866 14.15763927492834\n"
    "SL-16 R/B\n"
    "1 19650U 88102B   17289.74656214 -.00000260  00000-0 -10815-3 0  9990\n"
    "2 19650  70.9975 119.4911 0014707 348.5181  11.5605 14.15763747493194\n";

// Catalogue lines for those satellites, a comment line and the boundary line.
inline constexpr std::string_view kMagnitudeFixture =
    "    0   Magnitudes of the fuzz fixture\n"
    "    1             BOUNDARY                                      27561\n"
    "  877 v 64053B    SL-3 R/B        3.9  3.8 2.6 0.010.0 rule: R/B SL-3\n"
    "19650 v 88102B    SL-16 R/B       2.8 11.0 3.9 0.025.0 rule: R/B SL-16\n"
    "25544 v 98067A    ISS (ZARYA)    -0.2              400 rule: ISS\n";

// An override file that renames one entry and adds another.
inline constexpr std::string_view kOverrideFixture =
    "    0   Override of the fuzz fixture\n"
    "  877 u           RENAMED 877                          short\n"
    "  878 u NEWOBJ    OVERRIDE NEW    5.5                  inserted\n";

// A directory of its own under the temporary directory, removed at exit.
class Workspace {
 public:
  Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vespera-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Removes whatever an earlier execution left (a report, a file that a
  // control file named as its report) and writes the fixture files again.
  void reset() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
      std::filesystem::remove_all(entry.path(), ignored);
    }
    write("e.tle", kElementFixture);
    write("m.mag", kMagnitudeFixture);
    write("o.mag", kOverrideFixture);
  }

  // Writes `bytes` to the file `name` in the directory; returns its path.
  std::string write(const std::string& name, std::string_view bytes) const {
    const std::string file = (path_ / name).string();
    std::FILE* stream = std::fopen(file.c_str(), "wb");
    if (stream == nullptr) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fclose(stream);
    return file;
  }

 private:
  std::filesystem::path path_;
};

// Makes a directory the working directory until the end of the scope, so
// that the relative file names of a control file resolve inside it; the
// fuzzer's own files (corpus, artifacts) keep their meaning afterwards.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path)
      : previous_(::open(".", O_RDONLY | O_DIRECTORY)) {
    if (previous_ < 0 || chdir(path.c_str()) != 0) std::abort();
  }
  ~WorkingDirectory() {
    if (fchdir(previous_) != 0) std::abort();
    ::close(previous_);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  int previous_;
};

// A stream that discards what is written to it (the console's output).
inline std::FILE* discard_stream() {
  static std::FILE* const stream = std::fopen("/dev/null", "w");
  if (stream == nullptr) std::abort();
  return stream;
}

// The input cut at every occurrence of `marker` (at most `parts` pieces; the
// last piece keeps any further markers).
inline std::vector<std::string_view> split(std::string_view input, std::string_view marker,
                                           std::size_t parts) {
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < parts) {
    const std::size_t at = input.find(marker);
    if (at == std::string_view::npos) break;
    pieces.push_back(input.substr(0, at));
    input.remove_prefix(at + marker.size());
  }
  pieces.push_back(input);
  return pieces;
}

// The line that separates the pieces of a fuzz input.
inline constexpr std::string_view kPieceMarker = "\n%%\n";

// The files of an input whose first byte chooses the settings: the bytes
// after it, cut at lines "%%" into at most `parts` files. The input is not
// empty.
inline std::vector<std::string_view> files_after_settings_byte(const uint8_t* data, size_t size,
                                                               std::size_t parts) {
  return split(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), kPieceMarker,
               parts);
}

// Bits 1 and 2 of an input's settings byte choose the selection: 1 by the
// flag letters `letters` (the first `count` of them), 2 by the catalogue
// numbers 25544, 877 and the settings byte itself; 0 and 3 select all.
inline void choose_selection(uint8_t settings_byte, const char* letters, int32_t count,
                             RunSettings& s) {
  switch ((settings_byte >> 1) & 3) {
    case 1:
      s.flagLetters = FixedText<kMaxFlagLetters>(letters);
      s.selectionCount = count;
      break;
    case 2:
      s.ncatListMode = true;
      s.selectionCount = 3;
      s.ncatList[0] = 25544;
      s.ncatList[1] = 877;
      s.ncatList[2] = settings_byte;
      break;
    default:
      break;
  }
}

}  // namespace vespera::fuzz
