// Helpers of the element tests: element files in a short temporary directory
// (file names must fit the 40-character field), two-line element lines built
// column by column, and the records an ElementContext refers to.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "elements/element_file.h"
#include "elements/element_reader.h"
#include "elements/element_source.h"
#include "support/temp_files.h"
#include "magnitudes/magnitude_table.h"

namespace vespera::test {

// A file name as the 40-character field of the control file, trailing blanks
// included, as messages print it.
inline std::string field40(const std::string& name) {
  std::string field = name;
  field.resize(40, ' ');
  return field;
}

// Line 1 in the standard layout: NCAT in columns 3-7, international
// designator 10-17, epoch year 19-20, day of the year 21-23, the point in 24
// and eight fraction digits 25-32, n-dot/2 with its sign in column 34.
inline std::string line1(int ncat, const char* designator, int year, int day,
                         const char* fraction_digits, const char* mean_motion_dot = " .00002078") {
  char text[100];
  std::snprintf(text, sizeof text, "1 %05dU %-8.8s %02d%03d.%-8.8s %-10.10s  00000-0  38550-4 0  9992",
                ncat, designator, year, day, fraction_digits, mean_motion_dot);
  return text;
}

// Line 2 in the standard layout, fields given as their column texts:
// inclination 9-16, node 18-25, eccentricity 27-33, perigee 35-42, mean
// anomaly 44-51, mean motion 53-63.
inline std::string line2(int ncat, const char* inclination, const char* node,
                         const char* eccentricity, const char* perigee, const char* anomaly,
                         const char* mean_motion) {
  char text[100];
  std::snprintf(text, sizeof text, "2 %05d %8.8s %8.8s %7.7s %8.8s %8.8s %11.11s956140", ncat,
                inclination, node, eccentricity, perigee, anomaly, mean_motion);
  return text;
}

// A low-orbit set of catalogue number `ncat` with the given epoch and mean
// anomaly, as its two lines (each ended by LF).
inline std::string plain_set(int ncat, int year = 18, int day = 20,
                             const char* fraction = "89808844", const char* anomaly = " 39.5332",
                             const char* mean_motion = "15.54190080") {
  return line1(ncat, "98067A", year, day, fraction) + "\n" +
         line2(ncat, " 51.6424", " 32.9776", "0003646", " 28.7227", anomaly, mean_motion) + "\n";
}

// The records an ElementContext refers to, with a console in memory.
struct ElementHarness {
  RunSettings settings;
  std::unique_ptr<MagnitudeCatalogue> magnitudes = std::make_unique<MagnitudeCatalogue>();
  std::FILE* console = std::tmpfile();

  ElementHarness() = default;
  ~ElementHarness() { std::fclose(console); }
  ElementHarness(const ElementHarness&) = delete;
  ElementHarness& operator=(const ElementHarness&) = delete;

  ElementContext context() { return ElementContext{settings, *magnitudes, console}; }

  // What was written to the console since the last call.
  std::string console_text() {
    std::fflush(console);
    std::fseek(console, consumed, SEEK_SET);
    std::string fresh;
    int c;
    while ((c = std::fgetc(console)) != EOF) fresh.push_back(static_cast<char>(c));
    consumed = std::ftell(console);
    return fresh;
  }
  long consumed = 0;

  void set_files(const std::vector<std::string>& names) {
    settings.elementFileCount = static_cast<int32_t>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) settings.elementFileNames[i] = FileName(names[i]);
  }

  // Adds catalogue entries with flags, in ascending NCAT order.
  void add_flag(int32_t ncat, char flag) {
    MagnitudeTable& table = magnitudes->table;
    ++table.count;
    table[table.count].ncat = ncat;
    table[table.count].flag = flag;
  }
};

// Every set of one file as readElementSet gives them in turn, the console
// text of the reading and the file's name as messages print it.
struct FileReading {
  std::vector<ElementSet> sets;
  std::string console;
  std::string file_field;
};

inline FileReading read_whole_file(ElementHarness& harness, const std::string& path) {
  ElementFile file;
  EXPECT_TRUE(file.open(FileName(path)));
  FileReading result;
  ElementSet set;
  while (readElementSet(file, harness.context(), set) == 0) result.sets.push_back(set);
  result.console = harness.console_text();
  result.file_field = field40(path);
  return result;
}

// The sets of one streaming pass over the file `source`, read through a link
// `link` (a short name: file names are 40-character fields); the console
// text in `console`.
inline std::vector<ElementSet> streamed_sets(const std::string& source, const std::string& link,
                                             std::string& console) {
  EXPECT_EQ(symlink(source.c_str(), link.c_str()), 0);
  ElementHarness harness;
  harness.settings.keepElementsInMemory = false;
  harness.set_files({link});
  ElementSource source_of_sets;
  source_of_sets.rewindElementSets();
  std::vector<ElementSet> sets;
  ElementSet set;
  while (source_of_sets.nextElementSet(harness.context(), set) == 0) sets.push_back(set);
  console = harness.console_text();
  return sets;
}

}  // namespace vespera::test
