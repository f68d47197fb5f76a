// Element files of random bytes, binary junk, over-long lines and damaged
// two-line sets: reading them never crashes, and every set handed out has
// finite numbers. Fixed seeds keep the runs repeatable.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "elements/element_source.h"
#include "element_test_support.h"

namespace vespera {
namespace {

using test::ElementHarness;
using test::TempDir;

bool all_finite(const ElementSet& s) {
  for (float x : {s.epochFraction, s.nodeRa, s.argPerigee, s.meanMotion, s.meanMotionDot,
                  s.inclination, s.eccentricity, s.nodePerRev, s.perigeePerRev}) {
    if (!std::isfinite(x)) return false;
  }
  return s.eccentricity >= 0.0f && s.eccentricity < 1.0f && s.ncat != 0;
}

class ElementFuzzTest : public ::testing::Test {
 protected:
  // Reads `text` in both modes; returns the number of sets of a streaming pass.
  int read_both_ways(const std::string& text) {
    harness.set_files({dir.write("f.tle", text)});
    int sets = 0;
    for (const bool memory : {false, true}) {
      harness.settings.keepElementsInMemory = memory;
      source.loadElementSets(harness.context());
      source.rewindElementSets();
      ElementSet set;
      while (source.nextElementSet(harness.context(), set) == 0) {
        EXPECT_TRUE(all_finite(set)) << "NCAT " << set.ncat;
        if (!memory) ++sets;
      }
    }
    harness.console_text();
    return sets;
  }

  TempDir dir;
  ElementHarness harness;
  ElementSource source;
};

TEST_F(ElementFuzzTest, RandomBytes) {
  std::mt19937 random(20180120);
  for (int round = 0; round < 40; ++round) {
    std::string text(1 + random() % 5000, '\0');
    for (char& c : text) c = static_cast<char>(random() & 0xff);
    read_both_ways(text);
  }
}

TEST_F(ElementFuzzTest, JunkAndOverLongLines) {
  std::string junk;
  for (int i = 0; i < 256; ++i) junk.push_back(static_cast<char>(i));
  const std::string long_line(200000, '9');
  const std::string good = test::plain_set(25544);
  EXPECT_EQ(read_both_ways(junk + "\n" + good), 1);
  EXPECT_EQ(read_both_ways("1 " + long_line + "\n2 " + long_line + "\n" + good), 1);
  // Columns beyond 70 are not read: a set with a very long tail is still read.
  std::string tailed = good;
  tailed.insert(tailed.find('\n'), long_line);
  tailed.insert(tailed.rfind('\n'), std::string(100000, '\0'));
  EXPECT_EQ(read_both_ways(tailed), 1);
  EXPECT_EQ(read_both_ways(std::string(100000, '\r') + good), 1);
  EXPECT_EQ(read_both_ways(std::string("\0\0\0\0", 4)), 0);
}

TEST_F(ElementFuzzTest, DamagedSets) {
  // Characters a field may hold or trip over.
  const std::string alphabet("0123456789999.-+  X\t\0", 21);
  std::mt19937 random(25544);
  const std::string good = "ISS (ZARYA)\n" + test::plain_set(25544);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int set = 0; set < 8; ++set) {
      std::string damaged = good;
      const int changes = 1 + static_cast<int>(random() % 12);
      for (int i = 0; i < changes; ++i) {
        const std::size_t at = random() % damaged.size();
        if (damaged[at] == '\n') continue;
        damaged[at] = alphabet[random() % alphabet.size()];
      }
      text += damaged;
    }
    read_both_ways(text);
  }
}

}  // namespace
}  // namespace vespera
