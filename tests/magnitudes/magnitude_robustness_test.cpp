// Arbitrary files as magnitude files: random bytes, binary junk, over-long
// lines and shuffled catalogue lines never crash the loader, and the table
// stays strictly ordered with every entry found by a lookup.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "magnitude_test_support.h"

namespace vespera {
namespace {

using testing::load;
using testing::Loaded;
using testing::magnitude_settings;
using testing::MagLine;
using testing::TempDir;

// The table's invariants after any load.
void expect_consistent(Loaded& loaded) {
  const MagnitudeTable& table = loaded.catalogue->table;
  ASSERT_GE(table.count, 1);
  ASSERT_LE(table.count, kMagnitudeTableCapacity);
  for (int32_t slot = 2; slot <= table.count; ++slot) {
    ASSERT_LT(table[slot - 1].ncat, table[slot].ncat) << "slot " << slot;
  }
  for (int32_t slot = 1; slot <= table.count; ++slot) {
    const MagnitudeEntry& entry = table[slot];
    if (entry.ncat <= 0) continue;
    ASSERT_GE(loaded.lookup(entry.ncat).infoLevel, 3) << entry.ncat;
    ASSERT_LE(entry.sizeIndex, loaded.catalogue->sizeTriples.count);
    ASSERT_LT(entry.commentIndex, loaded.catalogue->commentPool.nextFreeWord);
    const MagnitudeInfo info = loaded.lookup(entry.ncat);
    ASSERT_LE(info.commentLength, 8);
  }
  ASSERT_LE(loaded.catalogue->commentPool.nextFreeWord, kCommentPoolWords);
}

std::string random_bytes(std::mt19937& random, std::size_t size) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(byte(random));
  return text;
}

TEST(MagnitudeRobustnessTest, RandomBytesNeverCrash) {
  TempDir dir;
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    std::mt19937 random(seed);
    const std::string intrinsic = dir.write("i.mag", random_bytes(random, 20000));
    const std::string over = dir.write("o.mag", random_bytes(random, 5000));
    auto loaded = load(magnitude_settings(intrinsic, over));
    expect_consistent(loaded);
  }
}

TEST(MagnitudeRobustnessTest, DigitsBlanksAndLineEndsNeverCrash) {
  // Bytes drawn from the characters the decoder cares about, so that many
  // lines decode and reach the merge.
  using namespace std::string_literals;
  const std::string alphabet = "0123456789     +-.\n\r\n\0dghlv"s;
  TempDir dir;
  for (unsigned seed : {11u, 12u, 13u}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(60000, ' ');
    for (char& c : text) c = alphabet[pick(random)];
    const std::string intrinsic = dir.write("i.mag", text);
    std::shuffle(text.begin(), text.end(), random);
    const std::string over = dir.write("o.mag", text);
    RunSettings settings = magnitude_settings(intrinsic, over);
    settings.detailListing = (seed % 2) == 1;
    auto loaded = load(settings);
    expect_consistent(loaded);
  }
}

TEST(MagnitudeRobustnessTest, OverLongLinesAreCutAt87Columns) {
  TempDir dir;
  std::string line = MagLine{.ncat = 42, .flag = 'v', .name = "LONG",
                             .comment = "0123456789abcdefghijklmnopqrstuv"}.str();
  line.resize(87, ' ');
  line += std::string(100000, '#');
  const std::string file = dir.write("l.mag", line + "\n" + std::string(50000, '7') + "\n" +
                                                  MagLine{.ncat = 43}.str() + "\n");
  auto loaded = load(magnitude_settings(file));
  // Columns 1-5 of the line of sevens: NCAT 77777, so 43 comes out of order.
  EXPECT_EQ(loaded.console,
            "Order error in intrinsic or user mag file: NCAT    43 is after 77777 at line    3\n");
  EXPECT_EQ(loaded.lookup(42).comment.view(), "0123456789abcdefghijklmnopqrstuv");
  EXPECT_EQ(loaded.lookup(77777).infoLevel, 8);  // sevens in every column: all fields
  EXPECT_FLOAT_EQ(loaded.lookup(77777).magnitude, 7777.0f);
  EXPECT_TRUE(loaded.found(43));
  expect_consistent(loaded);
}

TEST(MagnitudeRobustnessTest, ShuffledCatalogueLinesMergeIntoOneOrderedTable) {
  TempDir dir;
  for (unsigned seed : {21u, 22u, 23u}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> number(2, 99998);
    std::uniform_int_distribution<int> choice(0, 3);
    std::set<int32_t> expected;
    std::string intrinsic;
    std::string over;
    for (int i = 0; i < 3000; ++i) {
      const int32_t n = number(random);
      const char* sizes = choice(random) == 0 ? " 6.5 2.4 0.0" : "";
      const MagLine line{.ncat = n, .flag = 'p', .name = "OBJECT", .magnitude = " 5.0",
                         .sizes = sizes, .comment = choice(random) == 0 ? "comment" : ""};
      (i % 3 == 0 ? over : intrinsic) += line.str() + "\n";
      expected.insert(n);
    }
    auto loaded = load(magnitude_settings(dir.write("i.mag", intrinsic),
                                          dir.write("o.mag", over)));
    expect_consistent(loaded);
    EXPECT_EQ(loaded.catalogue->table.count, static_cast<int32_t>(expected.size()));
    for (int32_t n : expected) ASSERT_TRUE(loaded.found(n)) << n;
  }
}

}  // namespace
}  // namespace vespera
