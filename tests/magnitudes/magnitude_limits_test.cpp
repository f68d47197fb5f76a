// The fixed capacities: a full table in either file, the size-triple pool
// and the comment pool, each with its messages.

#include <gtest/gtest.h>

#include <string>

#include "magnitude_test_support.h"

namespace vespera {
namespace {

using testing::load;
using testing::magnitude_settings;
using testing::MagLine;
using testing::TempDir;

// Lines for the catalogue numbers first, first + step, ... (count lines).
std::string numbered_lines(int32_t first, int32_t count, int32_t step = 1) {
  std::string text;
  for (int32_t i = 0; i < count; ++i) {
    text += MagLine{.ncat = first + i * step, .flag = 'p', .magnitude = " 5.0"}.str() + "\n";
  }
  return text;
}

TEST(MagnitudeLimitsTest, FullTableEndsTheIntrinsicFileButTheOverrideFileIsRead) {
  TempDir dir;
  // 10000 entries 10, 20, ..., 100000 would pass 99999: use 2, 4, ..., 20000.
  std::string text = numbered_lines(2, kMagnitudeTableCapacity, 2);
  text += MagLine{.ncat = 20002}.str() + "\n";
  text += MagLine{.ncat = 20004}.str() + "\n";
  text += "not a number line after the limit\n";
  const std::string intrinsic = dir.write("i.mag", text);
  const std::string over = dir.write(
      "o.mag", MagLine{.ncat = 4, .magnitude = " 1.0"}.str() + "\n" +   // update
                   MagLine{.ncat = 30000}.str() + "\n" +                  // append: ignored
                   MagLine{.ncat = 30001}.str() + "\n" +                  // again
                   MagLine{.ncat = 20000, .magnitude = " 2.0"}.str() + "\n");  // update last
  auto loaded = load(magnitude_settings(intrinsic, over));
  EXPECT_EQ(loaded.console,
            "Hit limit of10000 reading intrinsic magnitudes file\n"
            "Entries after NCAT=20002 will be ignored\n"
            "Hit limit of10000 processing user override file\n"
            "Entry NCAT=30000 will be ignored\n"
            "Hit limit of10000 processing user override file\n"
            "Entry NCAT=30001 will be ignored\n"
            "Order error in intrinsic or user mag file: NCAT 20000 is after 30001 at line    4\n");
  EXPECT_EQ(loaded.catalogue->table.count, kMagnitudeTableCapacity);
  EXPECT_TRUE(loaded.found(20000));
  EXPECT_FALSE(loaded.found(20002));
  EXPECT_FALSE(loaded.found(30000));
  EXPECT_FLOAT_EQ(loaded.lookup(4).magnitude, 1.0f);
  EXPECT_FLOAT_EQ(loaded.lookup(20000).magnitude, 2.0f);
}

TEST(MagnitudeLimitsTest, InsertionIntoAFullTableDropsTheLastEntry) {
  TempDir dir;
  const std::string intrinsic = dir.write("i.mag", numbered_lines(2, kMagnitudeTableCapacity, 2));
  const std::string over = dir.write(
      "o.mag", MagLine{.ncat = 3, .name = "INSERTED"}.str() + "\n" +
                   MagLine{.ncat = 19997, .name = "NEAR THE END"}.str() + "\n");
  auto loaded = load(magnitude_settings(intrinsic, over));
  EXPECT_EQ(loaded.console, "");
  const auto& table = loaded.catalogue->table;
  EXPECT_EQ(table.count, kMagnitudeTableCapacity);
  EXPECT_EQ(loaded.lookup(3).name.view(), "INSERTED        ");
  EXPECT_EQ(loaded.lookup(19997).name.view(), "NEAR THE END    ");
  EXPECT_FALSE(loaded.found(20000));  // dropped by the first insertion
  EXPECT_FALSE(loaded.found(19998));  // dropped by the second
  EXPECT_TRUE(loaded.found(19996));
  EXPECT_EQ(table[kMagnitudeTableCapacity].ncat, 19997);
  for (int32_t slot = 2; slot <= table.count; ++slot) {
    ASSERT_LT(table[slot - 1].ncat, table[slot].ncat) << slot;
  }
}

TEST(MagnitudeLimitsTest, OutOfOrderLinePastTheEndOfAFullTableStoresNothing) {
  TempDir dir;
  std::string text = numbered_lines(2, kMagnitudeTableCapacity, 2);  // ... 20000
  text += MagLine{.ncat = 5, .name = "PUSHES 20000 OUT"}.str() + "\n";
  text += MagLine{.ncat = 19999, .name = "PAST THE END"}.str() + "\n";
  auto loaded = load(magnitude_settings(dir.write("i.mag", text)));
  EXPECT_EQ(loaded.console,
            "Order error in intrinsic or user mag file: NCAT     5 is after 20000 at line10001\n");
  EXPECT_EQ(loaded.catalogue->table.count, kMagnitudeTableCapacity);
  EXPECT_TRUE(loaded.found(5));
  EXPECT_FALSE(loaded.found(19999));
  EXPECT_FALSE(loaded.found(20000));
  EXPECT_TRUE(loaded.found(19998));
}

TEST(MagnitudeLimitsTest, SizePoolHoldsFourThousandTriples) {
  TempDir dir;
  std::string text;
  for (int32_t i = 0; i < kSizeTripleCapacity + 2; ++i) {
    char sizes[16];
    std::snprintf(sizes, sizeof sizes, "%4d", static_cast<int>(i));
    text += MagLine{.ncat = 10 + i, .sizes = sizes}.str() + "\n";
  }
  // An existing triple is still found; an update with a new one keeps the old.
  text += MagLine{.ncat = 10, .sizes = "   1"}.str() + "\n";
  text += MagLine{.ncat = 11, .sizes = "9999"}.str() + "\n";
  auto loaded = load(magnitude_settings(dir.write("s.mag", text)));
  EXPECT_EQ(loaded.console,
            "Out of size space - limit 4000\n"
            "Out of size space - limit 4000\n"
            "Order error in intrinsic or user mag file: NCAT    10 is after  4011 at line 4003\n"
            "Out of size space - limit 4000\n");
  EXPECT_EQ(loaded.catalogue->sizeTriples.count, kSizeTripleCapacity);
  EXPECT_EQ(loaded.lookup(10 + 3999).sizes[0].view(), "3999");
  EXPECT_EQ(loaded.lookup(10 + 4000).infoLevel, 3);  // no sizes
  EXPECT_EQ(loaded.lookup(10).sizes[0].view(), "   1");
  EXPECT_EQ(loaded.lookup(11).sizes[0].view(), "   1");
}

TEST(MagnitudeLimitsTest, CommentPoolStopsNineWordsBeforeItsEnd) {
  TempDir dir;
  // 32-character comments take 9 words each: comments 1..1333 end at word
  // 11997; the 1334th would need the next free word 11998 + 9 > 12000.
  const std::string comment(32, 'c');
  std::string text;
  for (int32_t i = 1; i <= 1336; ++i) {
    text += MagLine{.ncat = i * 2, .comment = comment}.str() + "\n";
  }
  // A line out of order names its own number, not the last one in order.
  text += MagLine{.ncat = 3, .comment = "x"}.str() + "\n";
  auto loaded = load(magnitude_settings(dir.write("c.mag", text)));
  EXPECT_EQ(loaded.console,
            "Out of comment space at NCAT= 2668\n"
            "Out of comment space at NCAT= 2670\n"
            "Out of comment space at NCAT= 2672\n"
            "Order error in intrinsic or user mag file: NCAT     3 is after  2672 at line 1337\n"
            "Out of comment space at NCAT=    3\n");
  EXPECT_EQ(loaded.catalogue->commentPool.nextFreeWord, 11998);
  EXPECT_EQ(loaded.lookup(2666).infoLevel, 7);
  EXPECT_EQ(loaded.lookup(2666).comment.view(), comment);
  EXPECT_EQ(loaded.lookup(2668).infoLevel, 3);
}

TEST(MagnitudeLimitsTest, ReplacedCommentsKeepTheirWordsAndShortOnesStillNeedRoom) {
  TempDir dir;
  // One-character comments take one word each, but a comment is stored only
  // while nine words are left. 10000 intrinsic comments use words 1..10000;
  // the override comments replace them from word 10001 on, and the one that
  // finds the next free word at 11992 (11992 + 9 > 12000) is refused.
  // (Catalogue number 1 would be a control line: the numbers start at 2.)
  std::string intrinsic;
  for (int32_t n = 2; n <= kMagnitudeTableCapacity + 1; ++n) {
    intrinsic += MagLine{.ncat = n, .comment = "c"}.str() + "\n";
  }
  std::string over;
  for (int32_t n = 2; n <= 1996; ++n) over += MagLine{.ncat = n, .comment = "d"}.str() + "\n";
  auto loaded = load(magnitude_settings(dir.write("i.mag", intrinsic), dir.write("o.mag", over)));
  EXPECT_EQ(loaded.console,
            "Out of comment space at NCAT= 1993\n"
            "Out of comment space at NCAT= 1994\n"
            "Out of comment space at NCAT= 1995\n"
            "Out of comment space at NCAT= 1996\n");
  EXPECT_EQ(loaded.catalogue->commentPool.nextFreeWord, 11992);
  EXPECT_EQ(loaded.lookup(1992).comment.view().substr(0, 4), "d   ");
  EXPECT_EQ(loaded.lookup(1993).comment.view().substr(0, 4), "c   ");
  EXPECT_EQ(loaded.lookup(1993).commentLength, 1);
}

}  // namespace
}  // namespace vespera
