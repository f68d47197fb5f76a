// The sample magnitude catalogue with its user override file: the bundled
// excerpt always, the whole catalogue when the project's data directory is
// there.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "magnitude_test_support.h"

namespace vespera {
namespace {

using testing::load;
using testing::Loaded;
using testing::magnitude_settings;
using testing::TempDir;

// Loads the two files from copies with short names (file names are
// 40-character fields).
Loaded load_sample(const std::filesystem::path& intrinsic, const std::filesystem::path& over) {
  TempDir dir;
  std::filesystem::copy_file(intrinsic, dir.path("s.mag"));
  std::filesystem::copy_file(over, dir.path("o.mag"));
  return load(magnitude_settings(dir.path("s.mag"), dir.path("o.mag")));
}

// The features that the sample files are made to show.
void expect_sample_features(Loaded& loaded) {
  // The text line after the 99999 line would give an NCAT message if read.
  EXPECT_EQ(loaded.console,
            "Duplicate in intrinsic or user mag file: NCAT= 25544 at line    6\n"
            "Order error in intrinsic or user mag file: NCAT  3597 is after 25544 at line    7\n");
  EXPECT_EQ(loaded.boundary, 27561);

  // Flags d, g, h and l are not loaded without a selection.
  for (int32_t ncat : {7529, 9829, 15429, 16719}) {
    const MagnitudeInfo info = loaded.lookup(ncat, LookupForm::Full, "CALLER");
    EXPECT_EQ(info.infoLevel, 2) << ncat;
    EXPECT_EQ(info.flag, ' ') << ncat;
  }

  // 694: flag, name and a short comment from the override; the rest kept.
  MagnitudeInfo info = loaded.lookup(694);
  EXPECT_EQ(info.name.view(), "RENAMED 694     ");
  EXPECT_EQ(info.flag, 'u');
  EXPECT_FLOAT_EQ(info.magnitude, 3.6f);
  EXPECT_EQ(info.crossSection.view(), "12.0");
  EXPECT_EQ(info.commentLength, 2);
  EXPECT_EQ(info.comment.view().substr(0, 8), "short   ");
  EXPECT_EQ(info.infoLevel, 7);

  // 695: a new entry between 694 and 733.
  const int32_t slot = loaded.slot_of(695);
  ASSERT_GT(slot, 1);
  EXPECT_EQ(loaded.catalogue->table[slot - 1].ncat, 694);
  EXPECT_EQ(loaded.catalogue->table[slot + 1].ncat, 733);
  info = loaded.lookup(695);
  EXPECT_EQ(info.name.view(), "OVERRIDE NEW    ");
  EXPECT_FLOAT_EQ(info.magnitude, 5.5f);
  EXPECT_EQ(info.comment.view().substr(0, 24), "inserted between entries");

  // 20580: magnitude 0.0 in the override makes it unknown.
  info = loaded.lookup(20580, LookupForm::Brief);
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
  EXPECT_EQ(info.crossSection.view(), "60.0");

  // 25544: the first override line counts, the repeated one is a duplicate.
  EXPECT_FLOAT_EQ(loaded.lookup(25544, LookupForm::Brief).magnitude, -1.0f);
  EXPECT_EQ(loaded.lookup(25544).name.view(), "ISS (ZARYA)     ");

  // 3597: out of order, merged at its place.
  info = loaded.lookup(3597);
  EXPECT_FLOAT_EQ(info.magnitude, 5.0f);
  EXPECT_EQ(info.name.view(), "OAO 2           ");
  EXPECT_EQ(info.comment.view().substr(0, 20), "out of order: merged");

  // 877: sizes with a third size of " 0.0", which comes back blank.
  info = loaded.lookup(877);
  EXPECT_EQ(info.infoLevel, 8);
  EXPECT_EQ(info.sizes[0].view(), " 3.8");
  EXPECT_EQ(info.sizes[1].view(), " 2.6");
  EXPECT_EQ(info.sizes[2].view(), "    ");
  EXPECT_EQ(info.crossSection.view(), "10.0");

  // Entries without a usable magnitude keep their cross-sections.
  info = loaded.lookup(15427, LookupForm::Brief);
  EXPECT_FLOAT_EQ(info.magnitude, 20.0f);
  EXPECT_EQ(info.crossSection.view(), "2.50");
  EXPECT_EQ(loaded.lookup(9057, LookupForm::Brief).crossSection.view(), "  12");
  EXPECT_EQ(loaded.lookup(11057, LookupForm::Brief).crossSection.view(), "1.5 ");

  // The table is in strictly ascending order.
  for (int32_t slot_number = 2; slot_number <= loaded.catalogue->table.count; ++slot_number) {
    ASSERT_LT(loaded.catalogue->table[slot_number - 1].ncat,
              loaded.catalogue->table[slot_number].ncat);
  }
}

TEST(MagnitudeSampleTest, BundledExcerptWithOverride) {
  const std::filesystem::path data = VESPERA_TEST_DATA;
  Loaded loaded = load_sample(data / "sample-excerpt.mag", data / "sample-override.mag");
  expect_sample_features(loaded);
  // 13 lines taken, 4 flagged d/g/h/l left out, 695 added.
  EXPECT_EQ(loaded.catalogue->table.count, 10);
}

TEST(MagnitudeSampleTest, WholeSampleCatalogueWithOverride) {
  std::filesystem::path data = "/work/shared/data";
  if (!std::filesystem::exists(data / "sample.mag")) {
    data = std::filesystem::path(VESPERA_SOURCE_DIR) / ".." / "shared" / "data";
  }
  if (!std::filesystem::exists(data / "sample.mag")) {
    GTEST_SKIP() << "the shared sample data is not present";
  }
  Loaded loaded = load_sample(data / "sample.mag", data / "sample-override.mag");
  expect_sample_features(loaded);
  // 979 entries in the file, 4 of them flagged d/g/h/l, and 695 added.
  EXPECT_EQ(loaded.catalogue->table.count, 979 - 4 + 1);
}

}  // namespace
}  // namespace vespera
