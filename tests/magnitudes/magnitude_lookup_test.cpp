// Lookups: the three forms, every information level, names, comments, sizes,
// and the binary search from the remembered slot.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "magnitude_test_support.h"

namespace vespera {
namespace {

using testing::lines_text;
using testing::load;
using testing::Loaded;
using testing::magnitude_settings;
using testing::MagLine;
using testing::TempDir;

class MagnitudeLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string file = dir.write(
        "l.mag",
        lines_text({
            MagLine{.ncat = 100, .flag = 'p', .name = "BARE"}.str(),
            MagLine{.ncat = 200, .flag = 'p', .name = "SIZES", .sizes = " 6.5 2.4 0.0"}.str(),
            MagLine{.ncat = 300, .flag = 'p', .name = "MAG", .magnitude = " 4.1"}.str(),
            MagLine{.ncat = 400, .flag = 'r', .name = "MAG SIZES", .magnitude = " 3.9",
                    .sizes = " 0.0 0.0 0.0", .cross = "10.0"}.str(),
            MagLine{.ncat = 500, .flag = 'v', .name = "COMMENT", .comment = "no magnitude"}.str(),
            MagLine{.ncat = 600, .flag = 'v', .name = "ALL", .magnitude = "-0.2",
                    .sizes = "  30  20  10", .cross = " 400", .comment = "rule: ISS"}.str(),
            MagLine{.ncat = 700, .flag = 'x', .magnitude = " 7.0", .cross = "0.10"}.str(),
            MagLine{.ncat = 800, .flag = 'x', .name = "    TAIL", .comment = "short"}.str(),
            MagLine{.ncat = 900, .flag = 'x', .name = "MAG COMMENT", .magnitude = " 6.0",
                    .comment = "a b  c"}.str(),
            MagLine{.ncat = 950, .name = "FULL COMMENT",
                    .comment = "0123456789abcdefghijklmnopqrstuv"}.str(),
        }));
    loaded = load(magnitude_settings(file));
    ASSERT_EQ(loaded.console, "");
  }

  TempDir dir;
  Loaded loaded;
};

struct LevelCase {
  int32_t ncat;
  LookupForm form;
  const char* callerName;
  int32_t level;
};

TEST_F(MagnitudeLookupTest, InformationLevels) {
  const LevelCase cases[] = {
      {150, LookupForm::Full, "", 1},          {150, LookupForm::Full, "CALLER", 2},
      {150, LookupForm::Brief, "CALLER", 2},   {150, LookupForm::FlagOnly, "CALLER", 2},
      {150, LookupForm::Full, "    LATE", 1},  {100, LookupForm::Full, "", 3},
      {200, LookupForm::Full, "", 4},          {300, LookupForm::Full, "", 5},
      {400, LookupForm::Full, "", 6},          {500, LookupForm::Full, "", 7},
      {600, LookupForm::Full, "", 8},          {900, LookupForm::Full, "", 7},
      {600, LookupForm::Brief, "CALLER", 1},   {600, LookupForm::FlagOnly, "CALLER", 1},
  };
  for (const LevelCase& c : cases) {
    EXPECT_EQ(loaded.lookup(c.ncat, c.form, c.callerName).infoLevel, c.level)
        << c.ncat << " form " << static_cast<int>(c.form) << " name '" << c.callerName << "'";
  }
}

TEST_F(MagnitudeLookupTest, NotFoundGivesUnknownMagnitudeAndBlankFlag) {
  const MagnitudeInfo info = loaded.lookup(99998, LookupForm::Full, "MY NAME");
  EXPECT_EQ(info.infoLevel, 2);
  EXPECT_EQ(info.flag, ' ');
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
  EXPECT_TRUE(info.crossSection.blank());
  EXPECT_EQ(info.name.view(), "MY NAME         ");
  EXPECT_TRUE(info.detail.blank());
}

TEST_F(MagnitudeLookupTest, FormsFillOnlyTheirFields) {
  MagnitudeInfo info = loaded.lookup(600, LookupForm::FlagOnly, "CALLER");
  EXPECT_EQ(info.flag, 'v');
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);  // not looked at by this form
  EXPECT_TRUE(info.crossSection.blank());

  info = loaded.lookup(600, LookupForm::Brief, "CALLER");
  EXPECT_FLOAT_EQ(info.magnitude, -0.2f);
  EXPECT_EQ(info.crossSection.view(), " 400");
  EXPECT_EQ(info.name.view(), "CALLER          ");
  EXPECT_EQ(info.commentLength, 0);
  EXPECT_TRUE(info.sizes[0].blank());

  info = loaded.lookup(600, LookupForm::Full, "CALLER");
  EXPECT_EQ(info.name.view(), "ALL             ");
  EXPECT_EQ(info.commentLength, 3);
  EXPECT_EQ(info.sizes[0].view(), "  30");
}

TEST_F(MagnitudeLookupTest, NamesFromTheCatalogueOrTheCaller) {
  // A blank catalogue name keeps the caller's; blank first four become NONE.
  EXPECT_EQ(loaded.lookup(700, LookupForm::Full, "CALLER NAME").name.view(), "CALLER NAME     ");
  EXPECT_EQ(loaded.lookup(700, LookupForm::Full, "").name.view(), "NONE            ");
  EXPECT_EQ(loaded.lookup(700, LookupForm::Full, "    X").name.view(), "NONEX           ");
  // A catalogue name that begins with four blanks does not replace the caller's.
  EXPECT_EQ(loaded.lookup(800, LookupForm::Full, "CALLER").name.view(), "CALLER          ");
  EXPECT_EQ(loaded.lookup(800, LookupForm::Full, "").name.view(), "NONE            ");
  EXPECT_EQ(loaded.lookup(100, LookupForm::Full, "CALLER").name.view(), "BARE            ");
}

struct CommentCase {
  int32_t ncat;
  int32_t words;
  const char* text;  // the words 1..length
};

TEST_F(MagnitudeLookupTest, CommentsComeBackInWholeWords) {
  const CommentCase cases[] = {
      {500, 3, "no magnitude"},
      {600, 3, "rule: ISS   "},
      {800, 2, "short   "},
      {900, 2, "a b  c  "},
      {950, 8, "0123456789abcdefghijklmnopqrstuv"},
  };
  for (const CommentCase& c : cases) {
    const MagnitudeInfo info = loaded.lookup(c.ncat);
    EXPECT_EQ(info.commentLength, c.words) << c.ncat;
    EXPECT_EQ(info.comment.view().substr(0, static_cast<std::size_t>(c.words) * 4), c.text)
        << c.ncat;
  }
}

TEST_F(MagnitudeLookupTest, ZeroSecondAndThirdSizesComeBackBlank) {
  MagnitudeInfo info = loaded.lookup(200);
  EXPECT_EQ(info.sizes[0].view(), " 6.5");
  EXPECT_EQ(info.sizes[1].view(), " 2.4");
  EXPECT_EQ(info.sizes[2].view(), "    ");
  info = loaded.lookup(400);
  EXPECT_EQ(info.sizes[0].view(), " 0.0");
  EXPECT_EQ(info.sizes[1].view(), "    ");
  EXPECT_EQ(info.sizes[2].view(), "    ");
}

TEST_F(MagnitudeLookupTest, EqualSizeTriplesAreShared) {
  const std::string file = dir.write(
      "s.mag", lines_text({MagLine{.ncat = 1000, .sizes = " 6.5 2.4 0.0"}.str(),
                           MagLine{.ncat = 1001, .sizes = " 6.5 2.4 0.0"}.str(),
                           MagLine{.ncat = 1002, .sizes = " 6.5 2.4 0.1"}.str()}));
  auto shared = load(magnitude_settings(file));
  const auto& table = shared.catalogue->table;
  EXPECT_EQ(shared.catalogue->sizeTriples.count, 2);
  EXPECT_EQ(table[1].sizeIndex, table[2].sizeIndex);
  EXPECT_NE(table[1].sizeIndex, table[3].sizeIndex);
}

TEST_F(MagnitudeLookupTest, CommentLengthsAndWordsInThePool) {
  // A comment ending in column 60 has length 5 and takes two words.
  const MagnitudeEntry& entry = loaded.catalogue->table[8];
  ASSERT_EQ(entry.ncat, 800);
  const CommentPool& pool = loaded.catalogue->commentPool;
  EXPECT_EQ(pool.text(entry.commentIndex), "short");
  EXPECT_EQ(pool.chars[static_cast<std::size_t>(entry.commentIndex - 1) * 4], 5);
  // Comments of 12, 9, 5, 6 and 32 characters: 4 + 3 + 2 + 2 + 9 words.
  EXPECT_EQ(pool.nextFreeWord, 1 + 4 + 3 + 2 + 2 + 9);
}

TEST_F(MagnitudeLookupTest, BinarySearchFindsEveryEntryInAnyOrder) {
  std::string text;
  std::vector<int32_t> numbers;
  for (int32_t n = 3; n < 3000; n += 3) {
    numbers.push_back(n);
    text += MagLine{.ncat = n, .flag = 'p'}.str() + "\n";
  }
  auto big = load(magnitude_settings(dir.write("b.mag", text)));
  std::mt19937 random(12345);
  std::vector<int32_t> order = numbers;
  std::shuffle(order.begin(), order.end(), random);
  for (int32_t n : order) {
    ASSERT_EQ(big.lookup(n, LookupForm::FlagOnly).flag, 'p') << n;
    // Numbers between entries, below the first and above the last are absent.
    for (int32_t absent : {n - 1, n + 1, 1, 2, 3000, 99998}) {
      ASSERT_EQ(big.lookup(absent, LookupForm::FlagOnly).flag, ' ') << absent;
    }
  }
}

TEST(MagnitudeCatalogueTest, NeverLoadedCatalogueFindsNothing) {
  auto catalogue = std::make_unique<MagnitudeCatalogue>();
  for (int32_t ncat : {1, 25544, 99999}) {
    const MagnitudeInfo info = lookupMagnitude(*catalogue, ncat, LookupForm::Full);
    EXPECT_EQ(info.infoLevel, 1);
    EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
  }
}

}  // namespace
}  // namespace vespera
