#include "elements/element_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elements/element_store.h"
#include "element_test_support.h"

namespace vespera {
namespace {

using test::ElementHarness;
using test::field40;
using test::plain_set;
using test::TempDir;

// A set with a name line; the epoch is day `day` of 2018 plus the fraction.
std::string named_set(const std::string& name, int ncat, int day, const char* fraction = "5") {
  return name + "\n" + plain_set(ncat, 18, day, fraction);
}

// The names of every set one pass of the source hands out, trailing blanks dropped.
std::vector<std::string> pass(ElementSource& source, ElementHarness& harness) {
  source.rewindElementSets();
  std::vector<std::string> names;
  ElementSet set;
  while (source.nextElementSet(harness.context(), set) == 0) {
    names.emplace_back(set.name.trimmed());
  }
  return names;
}

using Names = std::vector<std::string>;

const std::string kNothingLoaded =
    "Error: no elements were loaded (none matched flags?)\n"
    " (or the input file did not contain CR characters)\n";

class MemoryModeTest : public ::testing::Test {
 protected:
  MemoryModeTest() { harness.settings.keepElementsInMemory = true; }
  TempDir dir;
  ElementHarness harness;
  ElementSource source;
};

TEST_F(MemoryModeTest, LaterDuplicateKeepsTheFirstSlotEqualEpochKeepsTheFirstRead) {
  const std::string a = dir.write("a.tle", named_set("A-100", 100, 20) + named_set("A-200", 200, 20));
  const std::string b = dir.write("b.tle", named_set("B-100", 100, 21) + named_set("B-300", 300, 20) +
                                               named_set("B-200", 200, 20) +
                                               named_set("B-100-OLD", 100, 19) +
                                               named_set("B-100-SAME-DAY", 100, 21, "4"));
  harness.set_files({a, b});
  harness.settings.dropOlderDuplicates = true;
  EXPECT_EQ(source.loadElementSets(harness.context()), 0);
  EXPECT_EQ(source.storedCount(), 3);
  EXPECT_EQ(pass(source, harness), (Names{"B-100", "A-200", "B-300"}));

  harness.settings.dropOlderDuplicates = false;
  EXPECT_EQ(source.loadElementSets(harness.context()), 0);
  EXPECT_EQ(pass(source, harness), (Names{"A-100", "A-200", "B-100", "B-300", "B-200",
                                          "B-100-OLD", "B-100-SAME-DAY"}));
  EXPECT_EQ(harness.console_text(), "");
}

TEST_F(MemoryModeTest, MissingFilesAndAnEmptyLoad) {
  const std::string missing = dir.path("missing.tle");
  const std::string a = dir.write("a.tle", named_set("A-100", 100, 20));
  harness.set_files({missing, a});
  EXPECT_EQ(source.loadElementSets(harness.context()), 0);
  EXPECT_EQ(harness.console_text(), "Input file " + field40(missing) + " not found - exit\n");
  EXPECT_EQ(pass(source, harness), Names{"A-100"});

  // Nothing selected: the store is emptied and the two-line message written.
  harness.settings.ncatListMode = true;
  harness.settings.selectionCount = 1;
  harness.settings.ncatList[0] = 999;
  const std::string empty = dir.write("empty.tle", "");
  harness.set_files({a, empty, missing});
  EXPECT_EQ(source.loadElementSets(harness.context()), 1);
  EXPECT_EQ(harness.console_text(),
            "Input file " + field40(missing) + " not found - exit\n" + kNothingLoaded);
  EXPECT_EQ(source.storedCount(), 0);
  EXPECT_EQ(pass(source, harness), Names{});
}

TEST_F(MemoryModeTest, TheTenThousandFirstSetEndsTheLoading) {
  std::string text;
  for (int ncat = 1; ncat <= kElementStoreCapacity; ++ncat) text += plain_set(ncat);
  // A newer set of a stored satellite still finds its slot in a full store.
  text += "NEWER ONE\n" + plain_set(1, 18, 21);
  text += plain_set(kElementStoreCapacity + 1) + plain_set(kElementStoreCapacity + 2);
  const std::string big = dir.write("big.tle", text);
  const std::string after = dir.write("after.tle", plain_set(20000));
  harness.set_files({big, after, dir.path("missing.tle")});
  harness.settings.dropOlderDuplicates = true;
  EXPECT_EQ(source.loadElementSets(harness.context()), 0);
  // Nothing after the set that did not fit is read: no message for the missing file.
  EXPECT_EQ(harness.console_text(), "Hit limit of10000 element sets at NCAT = 10001\n");
  EXPECT_EQ(source.storedCount(), kElementStoreCapacity);

  source.rewindElementSets();
  ElementSet set;
  ASSERT_EQ(source.nextElementSet(harness.context(), set), 0);
  EXPECT_EQ(set.ncat, 1);
  EXPECT_EQ(set.name.str(), "NEWER ONE       ");
  int handed_out = 1;
  while (source.nextElementSet(harness.context(), set) == 0) ++handed_out;
  EXPECT_EQ(handed_out, kElementStoreCapacity);
  EXPECT_EQ(set.ncat, kElementStoreCapacity) << "the last set handed out stays in place";
  // Without a rewind the end is reported again.
  EXPECT_EQ(source.nextElementSet(harness.context(), set), 1);
}

TEST_F(MemoryModeTest, StreamingModeLoadsNothing) {
  harness.settings.keepElementsInMemory = false;
  harness.set_files({dir.path("missing.tle")});
  EXPECT_EQ(source.loadElementSets(harness.context()), 0);
  EXPECT_EQ(harness.console_text(), "");
}

// Waits until a file changed now gets a later status-change time than the
// one in `status`: the system's clock for file times advances in ticks.
void wait_for_a_later_change_time(const struct stat& status) {
  const TempDir probe_dir;
  const std::string probe = probe_dir.write("probe", "");
  for (;;) {
    struct stat now {};
    if (utimensat(AT_FDCWD, probe.c_str(), nullptr, 0) != 0 || stat(probe.c_str(), &now) != 0) return;
    if (now.st_ctim.tv_sec > status.st_ctim.tv_sec ||
        (now.st_ctim.tv_sec == status.st_ctim.tv_sec && now.st_ctim.tv_nsec > status.st_ctim.tv_nsec)) {
      return;
    }
    usleep(1000);
  }
}

class StreamingModeTest : public ::testing::Test {
 protected:
  StreamingModeTest() {
    harness.settings.keepElementsInMemory = false;
    harness.settings.dropOlderDuplicates = true;
  }

  // The name of the next set handed out, marked "+" when it supersedes the
  // set handed out just before it; "<end>" after the last.
  std::string next() {
    ElementSet set;
    if (source.nextElementSet(harness.context(), set) != 0) return "<end>";
    return std::string(set.name.trimmed()) + (source.supersedesPrevious() ? "+" : "");
  }

  TempDir dir;
  ElementHarness harness;
  ElementSource source;
};

TEST_F(StreamingModeTest, FilesAreReadAgainOnEveryPass) {
  const std::string a = dir.write("a.tle", named_set("FIRST", 100, 20));
  const std::string missing = dir.path("missing.tle");
  harness.set_files({missing, a});
  EXPECT_EQ(pass(source, harness), Names{"FIRST"});
  const std::string message = "Input file " + field40(missing) + " not found\n";
  EXPECT_EQ(harness.console_text(), message);
  dir.write("a.tle", named_set("CHANGED", 100, 20) + named_set("ADDED", 200, 20));
  EXPECT_EQ(pass(source, harness), (Names{"CHANGED", "ADDED"}));
  EXPECT_EQ(harness.console_text(), message);
  EXPECT_EQ(source.storedCount(), 0);
}

// A file read to its end is kept: the next pass gives its sets and writes its
// messages again without reading it, until its size, modification time or
// status-change time changes; then it is read again.
TEST_F(StreamingModeTest, KeptReadingsUntilTheFileChanges) {
  const std::string broken = "BROKEN\n1 0020XU 98067A   18020.5\n";
  const std::string a = dir.write("a.tle", named_set("FIRST", 100, 20) + broken + named_set("SECOND", 200, 20));
  harness.set_files({a});
  const std::string errors = "Error in elements file " + field40(a) + "\n" +
                             "Format error in elements file at line    5\n";
  for (int night = 0; night < 3; ++night) {
    EXPECT_EQ(pass(source, harness), (Names{"FIRST", "SECOND"}));
    EXPECT_EQ(harness.console_text(), errors);
  }
  // Other text of the same size, given back its modification time (as
  // touch -r or rsync -t do): the status-change time tells the change.
  struct stat before {};
  ASSERT_EQ(stat(a.c_str(), &before), 0);
  wait_for_a_later_change_time(before);
  const std::string changed = named_set("THIRD", 100, 20) + broken + named_set("SECOND", 200, 20);
  dir.write("a.tle", changed);
  timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
  struct stat after {};
  ASSERT_EQ(stat(a.c_str(), &after), 0);
  ASSERT_EQ(after.st_size, before.st_size);
  ASSERT_EQ(after.st_ino, before.st_ino);
  ASSERT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(pass(source, harness), (Names{"THIRD", "SECOND"}));
  EXPECT_EQ(harness.console_text(), errors);
  // Kept again until the next change; another modification time: read again.
  EXPECT_EQ(pass(source, harness), (Names{"THIRD", "SECOND"}));
  EXPECT_EQ(harness.console_text(), errors);
  dir.write("a.tle", named_set("FIFTH", 100, 20) + broken + named_set("SECOND", 200, 20));
  times[1] = timespec{1234567890, 0};
  ASSERT_EQ(utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
  EXPECT_EQ(pass(source, harness), (Names{"FIFTH", "SECOND"}));
  EXPECT_EQ(harness.console_text(), errors);
  // A pass left half way keeps nothing of the file: the next reads it again.
  source.rewindElementSets();
  ElementSet set;
  ASSERT_EQ(source.nextElementSet(harness.context(), set), 0);
  dir.write("a.tle", named_set("FOURTH", 100, 20));
  ASSERT_EQ(utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
  EXPECT_EQ(pass(source, harness), Names{"FOURTH"});
}

TEST_F(StreamingModeTest, ConsecutiveDuplicatesAndTheSupersededSets) {
  const std::string a = dir.write(
      "a.tle", named_set("100-NEW", 100, 21) + named_set("100-OLD", 100, 20) +
                   named_set("100-SAME", 100, 21) + named_set("200-OLD", 200, 20) +
                   named_set("200-NEW", 200, 21) + named_set("300", 300, 20));
  const std::string b = dir.write("b.tle", named_set("200-OLDER", 200, 19) + named_set("300-NEW", 300, 22));
  harness.set_files({a, b});

  source.rewindElementSets();
  EXPECT_EQ(next(), "100-NEW");
  // 100-OLD and 100-SAME are not later: dropped, nothing superseded.
  EXPECT_EQ(next(), "200-OLD");
  EXPECT_EQ(next(), "200-NEW+");  // supersedes 200-OLD: its predictions are withdrawn
  EXPECT_EQ(next(), "300");
  // 200 again with 300 between: used, although older; then 300 is newer
  // across the file boundary, but 200 stands between them.
  EXPECT_EQ(next(), "200-OLDER");
  EXPECT_EQ(next(), "300-NEW");
  EXPECT_EQ(next(), "<end>");
  EXPECT_EQ(next(), "<end>");

  // Without dropOlderDuplicates every set is handed out and none supersedes another.
  harness.settings.dropOlderDuplicates = false;
  source.rewindElementSets();
  std::vector<std::string> names;
  for (std::string name = next(); name != "<end>"; name = next()) names.push_back(name);
  EXPECT_EQ(names, (Names{"100-NEW", "100-OLD", "100-SAME", "200-OLD", "200-NEW", "300",
                          "200-OLDER", "300-NEW"}));
}

TEST_F(StreamingModeTest, DuplicatesAcrossFilesAndPasses) {
  const std::string a = dir.write("a.tle", named_set("1-A", 100, 20) + named_set("2-A", 200, 20));
  const std::string b = dir.write("b.tle", named_set("2-B", 200, 21) + named_set("1-B", 100, 21));
  harness.set_files({a, b});
  source.rewindElementSets();
  EXPECT_EQ(next(), "1-A");
  EXPECT_EQ(next(), "2-A");
  EXPECT_EQ(next(), "2-B+");  // the comparison goes on across the file boundary
  // A rewind in the middle of a pass starts again at the first file and
  // forgets the set handed out last.
  source.rewindElementSets();
  EXPECT_EQ(next(), "1-A");
  EXPECT_EQ(next(), "2-A");
  EXPECT_EQ(next(), "2-B+");
  EXPECT_EQ(next(), "1-B");
  EXPECT_EQ(next(), "<end>");
}

}  // namespace
}  // namespace vespera
