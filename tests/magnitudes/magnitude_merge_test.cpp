// Loading the intrinsic file and merging the user override file: updates,
// insertions, the line messages, special lines, selection and missing files.

#include <gtest/gtest.h>

#include "magnitude_test_support.h"
#include "vocabulary/program_exit.h"

namespace vespera {
namespace {

using testing::lines_text;
using testing::load;
using testing::magnitude_settings;
using testing::MagLine;
using testing::TempDir;

class MagnitudeMergeTest : public ::testing::Test {
 protected:
  // The intrinsic file used by most cases: three entries with every field.
  std::string intrinsic() const {
    return dir.write("i.mag", lines_text({
        MagLine{.ncat = 0, .name = "header comment"}.str(),
        MagLine{.ncat = 694, .flag = 'v', .detail = "63047A", .name = "ATLAS CENTAUR",
                .magnitude = " 3.6", .sizes = "12.0 3.0 0.0", .cross = "12.0",
                .comment = "rule: R/B ATLAS"}.str(),
        MagLine{.ncat = 733, .flag = 'r', .name = "THOR AGENA D R", .magnitude = " 4.4",
                .cross = "8.00", .comment = "rule: R/B THOR"}.str(),
        MagLine{.ncat = 25544, .flag = 'v', .name = "ISS (ZARYA)", .magnitude = "-0.2",
                .sizes = "  30 20 10 ", .cross = " 400", .comment = "rule: ISS"}.str(),
    }));
  }

  TempDir dir;
};

TEST_F(MagnitudeMergeTest, OverrideLineWithOnlyAMagnitudeChangesOnlyTheMagnitude) {
  const std::string over = dir.write("o.mag", MagLine{.ncat = 25544, .magnitude = "-1.0"}.str());
  auto loaded = load(magnitude_settings(intrinsic(), over));
  EXPECT_EQ(loaded.console, "");
  const MagnitudeInfo info = loaded.lookup(25544);
  EXPECT_EQ(info.infoLevel, 8);
  EXPECT_FLOAT_EQ(info.magnitude, -1.0f);
  EXPECT_EQ(info.name.view(), "ISS (ZARYA)     ");
  EXPECT_EQ(info.flag, 'v');
  EXPECT_EQ(info.crossSection.view(), " 400");
  EXPECT_EQ(info.sizes[0].view(), "  30");
  EXPECT_EQ(info.comment.view().substr(0, 12), "rule: ISS   ");
  EXPECT_EQ(loaded.catalogue->table.count, 3);
}

TEST_F(MagnitudeMergeTest, OverrideFieldsReplaceOnlyTheirOwnColumns) {
  const std::string over = dir.write(
      "o.mag", lines_text({
                   MagLine{.ncat = 694, .flag = 'u', .name = "RENAMED 694", .comment = "short"}.str(),
                   MagLine{.ncat = 733, .sizes = " 5.0", .cross = "9.99"}.str(),
               }));
  auto loaded = load(magnitude_settings(intrinsic(), over));
  MagnitudeInfo info = loaded.lookup(694);
  EXPECT_EQ(info.name.view(), "RENAMED 694     ");
  EXPECT_EQ(info.flag, 'u');
  EXPECT_FLOAT_EQ(info.magnitude, 3.6f);
  EXPECT_EQ(info.crossSection.view(), "12.0");
  EXPECT_EQ(info.commentLength, 2);
  EXPECT_EQ(info.comment.view().substr(0, 8), "short   ");
  EXPECT_EQ(info.sizes[1].view(), " 3.0");

  info = loaded.lookup(733);
  EXPECT_EQ(info.infoLevel, 8);  // a comment, and now sizes
  EXPECT_EQ(info.sizes[0].view(), " 5.0");
  EXPECT_EQ(info.sizes[1].view(), "    ");
  EXPECT_EQ(info.crossSection.view(), "9.99");
  EXPECT_EQ(info.name.view(), "THOR AGENA D R  ");
  EXPECT_FLOAT_EQ(info.magnitude, 4.4f);
}

TEST_F(MagnitudeMergeTest, OverrideLineBetweenEntriesIsInsertedInOrder) {
  const std::string over = dir.write(
      "o.mag", lines_text({
                   MagLine{.ncat = 695, .flag = 'u', .name = "OVERRIDE NEW", .magnitude = " 5.5",
                           .comment = "inserted between entries"}.str(),
                   MagLine{.ncat = 30000, .flag = 'u', .name = "APPENDED"}.str(),
                   MagLine{.ncat = 1000, .name = "OUT OF ORDER"}.str(),
               }));
  auto loaded = load(magnitude_settings(intrinsic(), over));
  const auto& table = loaded.catalogue->table;
  ASSERT_EQ(table.count, 6);
  const int32_t expected[] = {694, 695, 733, 1000, 25544, 30000};
  for (int32_t slot = 1; slot <= 6; ++slot) EXPECT_EQ(table[slot].ncat, expected[slot - 1]);

  MagnitudeInfo info = loaded.lookup(695);
  EXPECT_EQ(info.infoLevel, 7);
  EXPECT_EQ(info.name.view(), "OVERRIDE NEW    ");
  EXPECT_FLOAT_EQ(info.magnitude, 5.5f);
  EXPECT_EQ(info.crossSection.view(), "    ");
  EXPECT_EQ(info.commentLength, 6);
  EXPECT_EQ(loaded.lookup(1000).name.view(), "OUT OF ORDER    ");
  EXPECT_EQ(loaded.lookup(30000).infoLevel, 3);
  EXPECT_EQ(loaded.console,
            "Order error in intrinsic or user mag file: NCAT  1000 is after 30000 at line    3\n");
}

TEST_F(MagnitudeMergeTest, OverrideMagnitudeZeroMakesTheMagnitudeUnknown) {
  const std::string over = dir.write("o.mag", MagLine{.ncat = 733, .magnitude = " 0.0"}.str());
  auto loaded = load(magnitude_settings(intrinsic(), over));
  EXPECT_FLOAT_EQ(loaded.lookup(733, LookupForm::Brief).magnitude, 20.0f);
  EXPECT_EQ(loaded.lookup(733).infoLevel, 7);  // comment, no magnitude
}

TEST_F(MagnitudeMergeTest, MagnitudeThatDoesNotDecodeIsUnknownWithoutMessage) {
  const std::string file = dir.write(
      "i.mag", lines_text({MagLine{.ncat = 15427, .name = "NOAA 9", .magnitude = " -- ",
                                   .cross = "2.50"}.str(),
                           MagLine{.ncat = 15428, .magnitude = "1,2 "}.str()}));
  auto loaded = load(magnitude_settings(file));
  EXPECT_EQ(loaded.console, "");
  EXPECT_EQ(loaded.catalogue->table[1].magnitude, 0.0f);
  EXPECT_EQ(loaded.catalogue->table[2].magnitude, 0.0f);
  const MagnitudeInfo info = loaded.lookup(15427, LookupForm::Brief);
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
  EXPECT_EQ(info.crossSection.view(), "2.50");
}

TEST_F(MagnitudeMergeTest, DuplicateAndOrderMessagesNameTheirLines) {
  const std::string file = dir.write(
      "i.mag", lines_text({
                   MagLine{.ncat = 0}.str(),                            // 1
                   MagLine{.ncat = 100, .name = "FIRST"}.str(),         // 2
                   MagLine{.ncat = 100, .name = "SECOND"}.str(),        // 3 duplicate
                   MagLine{.ncat = 200}.str(),                          // 4
                   MagLine{.ncat = 150, .name = "ONE FIFTY"}.str(),     // 5 order error
                   MagLine{.ncat = 120}.str(),                          // 6 (no second message)
                   MagLine{.ncat = 150, .name = "UPDATED 150"}.str(),   // 7 merged: update
                   MagLine{.ncat = 300}.str(),                          // 8 appended: flag off
                   MagLine{.ncat = 250}.str(),                          // 9 order error again
               }));
  auto loaded = load(magnitude_settings(file));
  EXPECT_EQ(loaded.console,
            "Duplicate in intrinsic or user mag file: NCAT=   100 at line    3\n"
            "Order error in intrinsic or user mag file: NCAT   150 is after   200 at line    5\n"
            "Order error in intrinsic or user mag file: NCAT   250 is after   300 at line    9\n");
  const auto& table = loaded.catalogue->table;
  ASSERT_EQ(table.count, 6);
  const int32_t expected[] = {100, 120, 150, 200, 250, 300};
  for (int32_t slot = 1; slot <= 6; ++slot) EXPECT_EQ(table[slot].ncat, expected[slot - 1]);
  EXPECT_EQ(loaded.lookup(100).name.view(), "FIRST           ");
  EXPECT_EQ(loaded.lookup(150).name.view(), "UPDATED 150     ");
}

TEST_F(MagnitudeMergeTest, SameNumberInTheOverrideFileOverridesButRepeatedIsADuplicate) {
  const std::string over = dir.write(
      "o.mag", lines_text({
                   MagLine{.ncat = 0, .name = "override"}.str(),
                   MagLine{.ncat = 25544, .magnitude = "-1.0"}.str(),
                   MagLine{.ncat = 25544, .magnitude = "-2.0"}.str(),
                   MagLine{.ncat = 694, .magnitude = " 5.0"}.str(),
               }));
  auto loaded = load(magnitude_settings(intrinsic(), over));
  EXPECT_EQ(loaded.console,
            "Duplicate in intrinsic or user mag file: NCAT= 25544 at line    3\n"
            "Order error in intrinsic or user mag file: NCAT   694 is after 25544 at line    4\n");
  EXPECT_FLOAT_EQ(loaded.lookup(25544).magnitude, -1.0f);
  EXPECT_FLOAT_EQ(loaded.lookup(694).magnitude, 5.0f);
  EXPECT_EQ(loaded.catalogue->table.count, 3);
}

TEST_F(MagnitudeMergeTest, LinesWhoseNumberDoesNotDecodeAreReportedInBothFiles) {
  const std::string file = dir.write(
      "i.mag", lines_text({"", MagLine{.ncat = 5}.str(), "abcde text line", " 1.5 bad", "   "}));
  const std::string over = dir.write("o.mag", lines_text({MagLine{.ncat = 6}.str(), "x"}));
  auto loaded = load(magnitude_settings(file, over));
  EXPECT_EQ(loaded.console,
            "Error in NCAT value in intrinsic mag file at line    1\n"
            "Error in NCAT value in intrinsic mag file at line    3\n"
            "Error in NCAT value in intrinsic mag file at line    4\n"
            "Error in NCAT value in intrinsic mag file at line    5\n"
            "Error in NCAT value in intrinsic mag file at line    2\n");
  EXPECT_EQ(loaded.catalogue->table.count, 2);
}

// A line whose columns 1-5 hold `number` as written.
std::string numbered_line(const char* number, const char* name, const char* magnitude) {
  std::string line = MagLine{.ncat = 7, .name = name, .magnitude = magnitude}.str();
  return line.replace(0, 5, number);
}

TEST_F(MagnitudeMergeTest, AlphaFiveNumbersInBothFiles) {
  const std::string file =
      dir.write("i.mag", lines_text({MagLine{.ncat = 25544}.str(), numbered_line("A0057", "SOYUZ-MS 29", " 1.5"),
                                     numbered_line("a0058", "LOWER CASE", " 1.0"),
                                     numbered_line("T0189", "TBA", " 9.0"),
                                     numbered_line("Z9999", "NOT THE END", " 8.0")}));
  const std::string over = dir.write("o.mag", lines_text({numbered_line("A0057", "", "-1.0")}));
  auto loaded = load(magnitude_settings(file, over));
  EXPECT_EQ(loaded.console, "Error in NCAT value in intrinsic mag file at line    3\n");
  EXPECT_FLOAT_EQ(loaded.lookup(100057).magnitude, -1.0f);
  EXPECT_EQ(loaded.lookup(100057).name.view(), "SOYUZ-MS 29     ");
  EXPECT_TRUE(loaded.found(270189));
  EXPECT_TRUE(loaded.found(339999));
  EXPECT_EQ(loaded.catalogue->table.count, 4);
}

TEST_F(MagnitudeMergeTest, EndLineStopsTheFileAndControlLineSetsTheBoundary) {
  const std::string file = dir.write(
      "i.mag", lines_text({
                   MagLine{.ncat = 1, .name = "BOUNDARY", .boundary = 30000}.str(),
                   MagLine{.ncat = 10}.str(),
                   MagLine{.ncat = 1, .name = "NO NUMBER"}.str(),  // blank 65-69: unchanged
                   MagLine{.ncat = 99999, .name = "END OF FILE"}.str(),
                   MagLine{.ncat = 20}.str(),
                   "THIS LINE MUST NOT BE READ",
               }));
  const std::string over = dir.write(
      "o.mag", lines_text({MagLine{.ncat = 15}.str(), MagLine{.ncat = 99999}.str(), "junk"}));
  auto loaded = load(magnitude_settings(file, over));
  EXPECT_EQ(loaded.console, "");
  EXPECT_EQ(loaded.boundary, 30000);
  EXPECT_TRUE(loaded.found(10));
  EXPECT_TRUE(loaded.found(15));
  EXPECT_FALSE(loaded.found(20));
  EXPECT_FALSE(loaded.found(1));
  EXPECT_EQ(loaded.catalogue->table.count, 2);
}

TEST_F(MagnitudeMergeTest, ControlLineInTheOverrideFileAlsoSetsTheBoundary) {
  const std::string over = dir.write("o.mag", MagLine{.ncat = 1, .boundary = 12345}.str());
  EXPECT_EQ(load(magnitude_settings(intrinsic(), over)).boundary, 12345);
}

TEST_F(MagnitudeMergeTest, DetailTextIsKeptOnlyForDetailListings) {
  RunSettings settings = magnitude_settings(intrinsic());
  auto plain = load(settings);
  EXPECT_TRUE(plain.lookup(694).detail.blank());
  EXPECT_EQ(plain.lookup(694).comment.view().substr(0, 16), "rule: R/B ATLAS ");

  settings.detailListing = true;
  const std::string file = dir.write(
      "d.mag", MagLine{.ncat = 5, .detail = "98067A", .name = "X",
                       .comment = "a comment of more than twenty-three columns"}.str());
  settings.intrinsicFileName.assign(file);
  auto detailed = load(settings);
  const MagnitudeInfo info = detailed.lookup(5);
  EXPECT_EQ(info.detail.view(), "98067A  ");
  EXPECT_EQ(info.commentLength, 6);  // only columns 56-78: 23 characters
  EXPECT_EQ(info.comment.view().substr(0, 24), "a comment of more than  ");
}

// Selection while loading.
struct SelectionCase {
  const char* label;
  bool ncatListMode;
  int32_t selectionCount;
  const char* flagLetters;
  bool withOverride;
  const char* loaded;  // flags of the entries that must be in the table
};

TEST_F(MagnitudeMergeTest, SelectionDecidesWhichLinesAreTaken) {
  // One entry per flag: d 10, g 20, h 30, l 40, v 50, x 60, blank 70.
  const std::string file = dir.write(
      "s.mag", lines_text({MagLine{.ncat = 10, .flag = 'd'}.str(),
                           MagLine{.ncat = 20, .flag = 'g'}.str(),
                           MagLine{.ncat = 30, .flag = 'h'}.str(),
                           MagLine{.ncat = 40, .flag = 'l'}.str(),
                           MagLine{.ncat = 50, .flag = 'v'}.str(),
                           MagLine{.ncat = 60, .flag = 'x'}.str(),
                           MagLine{.ncat = 70, .flag = ' '}.str()}));
  const std::string over = dir.write("e.mag", "");
  const SelectionCase cases[] = {
      {"no selection", false, 0, "", false, "vx "},
      {"flag d", false, 1, "d", false, "d"},
      {"flags vd", false, 2, "vd", false, "dv"},
      {"count limits letters", false, 1, "vd", false, "v"},
      {"flags with override file", false, 1, "d", true, "vx "},
      {"first letter minus", false, 2, "-d", false, "vx "},
      {"ncat list", true, 3, "", false, "dhx"},
  };
  for (const SelectionCase& c : cases) {
    RunSettings settings = magnitude_settings(file, c.withOverride ? over : "none");
    settings.ncatListMode = c.ncatListMode;
    settings.selectionCount = c.selectionCount;
    settings.flagLetters.assign(c.flagLetters);
    settings.ncatList[0] = 60;
    settings.ncatList[1] = 10;
    settings.ncatList[2] = 30;
    settings.ncatList[3] = 50;  // beyond the count
    auto loaded = load(settings);
    std::string flags;
    for (int32_t slot = 1; slot <= loaded.catalogue->table.count; ++slot) {
      flags += loaded.catalogue->table[slot].flag;
    }
    EXPECT_EQ(flags, c.loaded) << c.label;
    EXPECT_EQ(loaded.console, "") << c.label;
  }
}

TEST_F(MagnitudeMergeTest, ExcludedFlagsInTheOverrideFileAreNotTaken) {
  const std::string over = dir.write("o.mag", lines_text({
      MagLine{.ncat = 694, .flag = 'd', .magnitude = " 9.9"}.str(),
      MagLine{.ncat = 700, .flag = 'g'}.str()}));
  auto loaded = load(magnitude_settings(intrinsic(), over));
  EXPECT_FLOAT_EQ(loaded.lookup(694).magnitude, 3.6f);
  EXPECT_EQ(loaded.lookup(694).flag, 'v');
  EXPECT_FALSE(loaded.found(700));
}

TEST_F(MagnitudeMergeTest, MissingIntrinsicFileLeavesAnEmptyCatalogue) {
  const std::string over = dir.write("o.mag", MagLine{.ncat = 5}.str());
  auto loaded = load(magnitude_settings(dir.path("absent.mag"), over));
  EXPECT_EQ(loaded.console, "File for intrinsic magnitudes not found\n");
  EXPECT_EQ(loaded.catalogue->table.count, 1);
  EXPECT_EQ(loaded.catalogue->table[1].ncat, -1);
  EXPECT_FALSE(loaded.found(5));
  const MagnitudeInfo info = loaded.lookup(1, LookupForm::Full, "CALLER");
  EXPECT_EQ(info.infoLevel, 2);
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
}

TEST_F(MagnitudeMergeTest, MissingOverrideFileKeepsTheIntrinsicEntries) {
  auto loaded = load(magnitude_settings(intrinsic(), dir.path("absent.mag")));
  EXPECT_EQ(loaded.console, "User override file not found\n");
  EXPECT_EQ(loaded.catalogue->table.count, 3);
  EXPECT_EQ(load(magnitude_settings(intrinsic(), "none")).console, "");
}

TEST_F(MagnitudeMergeTest, EmptyFilesLeaveTheSentinel) {
  const std::string empty = dir.write("e.mag", MagLine{.ncat = 99999}.str());
  auto loaded = load(magnitude_settings(empty, empty));
  EXPECT_EQ(loaded.console, "");
  EXPECT_EQ(loaded.catalogue->table.count, 1);
  EXPECT_EQ(loaded.catalogue->table[1].ncat, -1);
  EXPECT_FALSE(loaded.found(99999));
}

TEST_F(MagnitudeMergeTest, LineEndsOfEveryKindAreAccepted) {
  const std::string file = dir.write(
      "c.mag", MagLine{.ncat = 10, .name = "CRLF"}.str() + "\r\n" +
                   MagLine{.ncat = 20, .name = "CR"}.str() + "\r" +
                   MagLine{.ncat = 30, .name = "LAST, NO END"}.str());
  auto loaded = load(magnitude_settings(file));
  EXPECT_EQ(loaded.console, "");
  EXPECT_EQ(loaded.lookup(10).name.view(), "CRLF            ");
  EXPECT_EQ(loaded.lookup(20).name.view(), "CR              ");
  EXPECT_EQ(loaded.lookup(30).name.view(), "LAST, NO END    ");
}

TEST_F(MagnitudeMergeTest, AReadErrorIsFatal) {
  // A directory opens for reading but cannot be read.
  EXPECT_THROW(load(magnitude_settings(dir.path(""))), FatalIoError);
}

}  // namespace
}  // namespace vespera
