// The element files of the shared data directory, read whole; skipped when
// the directory is absent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "elements/element_source.h"
#include "element_test_support.h"

namespace vespera {
namespace {

using test::ElementHarness;
using test::TempDir;

const char* const kSharedData = "/work/shared/data";

struct DataFile {
  const char* name;
  int sets_in_file;
  int complete;
  int mean_motion_at_most_4;
  int format_errors;
  int distinct_ncats;
  // Memory mode, with and without dropOlderDuplicates: the limit message's
  // NCAT, or 0 and the number of sets stored.
  int limit_ncat_dropping, limit_ncat_keeping;
  int stored_dropping, stored_keeping;
};

const DataFile kDataFiles[] = {
    {"catalog-2017-10-16.tle", 16704, 13699, 3005, 0, 13689, 36435, 36417, 10000, 10000},
    {"visual-2017-10-16.tle", 132, 132, 0, 0, 131, 0, 0, 131, 132},
    {"catalog-2022-07-15.tle", 24132, 20473, 3659, 0, 20473, 37065, 37065, 10000, 10000},
    {"debian-gpredict-2018-01.tle", 979, 829, 150, 0, 829, 0, 0, 829, 829},
};

// Counts taken from the raw text, independently of the reader: line 1s, and
// the line 2s with a numeric catalogue number whose mean motion (columns
// 53-61) is 4.0 or less.
struct RawCounts {
  int line_ones = 0;
  int low_mean_motion = 0;
};

RawCounts count_raw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  RawCounts counts;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("1 ", 0) == 0) ++counts.line_ones;
    if (line.rfind("2 ", 0) != 0 || line.size() < 61) continue;
    if (line.substr(2, 5).find_first_not_of(" 0123456789") != std::string::npos) continue;
    if (std::strtod(line.substr(52, 9).c_str(), nullptr) <= 4.0) ++counts.low_mean_motion;
  }
  return counts;
}

int count_occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class DataFileTest : public ::testing::TestWithParam<DataFile> {
 protected:
  void SetUp() override {
    source_path = std::string(kSharedData) + "/" + GetParam().name;
    if (!std::filesystem::exists(source_path)) GTEST_SKIP() << source_path << " is absent";
    // The 40-character file-name field is too short for the data directory's
    // paths: read the file through a short link.
    link_path = dir.path("d.tle");
    ASSERT_EQ(symlink(source_path.c_str(), link_path.c_str()), 0);
    harness.set_files({link_path});
  }

  TempDir dir;
  ElementHarness harness;
  ElementSource source;
  std::string source_path, link_path;
};

TEST_P(DataFileTest, EverySetIsReadOrAccountedFor) {
  const DataFile& data = GetParam();
  const RawCounts raw = count_raw(source_path);
  EXPECT_EQ(raw.line_ones, data.sets_in_file);
  EXPECT_EQ(raw.low_mean_motion, data.mean_motion_at_most_4);

  harness.settings.keepElementsInMemory = false;
  harness.settings.dropOlderDuplicates = false;
  source.rewindElementSets();
  ElementSet set;
  int complete = 0;
  std::set<int32_t> ncats;
  while (source.nextElementSet(harness.context(), set) == 0) {
    ++complete;
    ncats.insert(set.ncat);
    EXPECT_GT(set.meanMotion, 4.0f);
    ASSERT_TRUE(std::isfinite(set.nodeRa) && std::isfinite(set.argPerigee) &&
                std::isfinite(set.epochFraction) && std::isfinite(set.nodePerRev) &&
                std::isfinite(set.perigeePerRev))
        << set.ncat;
  }
  EXPECT_EQ(complete, data.complete);
  EXPECT_EQ(static_cast<int>(ncats.size()), data.distinct_ncats);
  EXPECT_EQ(complete + data.mean_motion_at_most_4 + data.format_errors, data.sets_in_file);
  const std::string console = harness.console_text();
  EXPECT_EQ(count_occurrences(console, "Format error in elements file at line"), data.format_errors);
  EXPECT_EQ(count_occurrences(console, "Error in elements file "), data.format_errors > 0 ? 1 : 0);
}

TEST_P(DataFileTest, MemoryModeStoreAndLimit) {
  const DataFile& data = GetParam();
  harness.settings.keepElementsInMemory = true;
  for (const bool dropping : {true, false}) {
    harness.settings.dropOlderDuplicates = dropping;
    EXPECT_EQ(source.loadElementSets(harness.context()), 0);
    const int limit_ncat = dropping ? data.limit_ncat_dropping : data.limit_ncat_keeping;
    char expected[80] = "";
    if (limit_ncat != 0) {
      std::snprintf(expected, sizeof expected, "Hit limit of10000 element sets at NCAT =%6d\n",
                    limit_ncat);
    }
    EXPECT_EQ(harness.console_text(), expected) << "dropOlderDuplicates " << dropping;
    EXPECT_EQ(source.storedCount(), dropping ? data.stored_dropping : data.stored_keeping);
  }
}

INSTANTIATE_TEST_SUITE_P(SharedData, DataFileTest, ::testing::ValuesIn(kDataFiles),
                         [](const ::testing::TestParamInfo<DataFile>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// The last 273 sets of the 2022 catalogue are numbered T0000 .. T0288 in the
// Alpha-5 form: they are read as 270000 .. 270288, without a message.
TEST(AlphaFiveCatalogueNumbers, ReadAsTheirNumbers) {
  const std::string path = std::string(kSharedData) + "/catalog-2022-07-15.tle";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is absent";
  TempDir dir;
  std::string console;
  std::vector<int32_t> alpha5;
  for (const ElementSet& set : test::streamed_sets(path, dir.path("c.tle"), console)) {
    if (set.ncat >= 100000) alpha5.push_back(set.ncat);
  }
  EXPECT_EQ(console, "");
  ASSERT_EQ(alpha5.size(), 273u);
  EXPECT_EQ(alpha5.front(), 270000);
  EXPECT_EQ(alpha5.back(), 270288);
}

// The active catalogue of July 2026 as two-line sets and as OMM CSV: the CSV
// gives every set of the two-line file bit for bit (its eccentricities carry
// an eighth decimal, which the two-line file cuts), and five more, the objects
// numbered 100000 and above.
TEST(OmmCatalogue, CsvGivesTheTwoLineSetsAndTheNewObjects) {
  const std::string tle = std::string(kSharedData) + "/active-2026-07-19.tle";
  const std::string csv = std::string(kSharedData) + "/active-2026-07-19.csv";
  if (!std::filesystem::exists(tle) || !std::filesystem::exists(csv)) GTEST_SKIP() << "shared data absent";
  TempDir dir;
  std::map<int32_t, ElementSet> by_form[2];
  for (int form = 0; form < 2; ++form) {
    std::string console;
    const std::string link = dir.path(form == 0 ? "a.tle" : "a.csv");
    for (const ElementSet& set : test::streamed_sets(form == 0 ? tle : csv, link, console)) {
      by_form[form][set.ncat] = set;
    }
    EXPECT_EQ(console, "");
  }
  ASSERT_EQ(by_form[0].size(), 15298u);
  ASSERT_EQ(by_form[1].size(), by_form[0].size() + 5);
  int same = 0;
  for (const auto& [ncat, set] : by_form[0]) {
    const ElementSet& other = by_form[1].at(ncat);
    const bool identical = set.name == other.name && set.epochDay == other.epochDay &&
                           std::memcmp(&set.epochFraction, &other.epochFraction, 4 * 9) == 0 &&
                           set.mean.epochDay == other.mean.epochDay &&
                           set.mean.epochDayFraction == other.mean.epochDayFraction &&
                           set.mean.meanMotion == other.mean.meanMotion;
    same += identical ? 1 : 0;
  }
  EXPECT_EQ(same, 15298);
  EXPECT_EQ(by_form[1].at(100057).name.view(), "SOYUZ-MS 29     ");
}

}  // namespace
}  // namespace vespera
