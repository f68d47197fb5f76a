// The line of a byte in a text held in memory, whatever its line ends.
#include <gtest/gtest.h>

#include <string>

#include "elements/line_counter.h"

namespace vespera {
namespace {

TEST(LineCounter, LineEndsOfEveryKind) {
  std::string long_lines;
  for (int i = 0; i < 700; ++i) long_lines += i % 3 == 0 ? "ab\r\n" : i % 3 == 1 ? "c\n" : "d\r";
  const struct {
    std::string text;
    std::size_t offset;
    int32_t line;
  } cases[] = {
      {"abc", 2, 1},
      {"a\nb\nc", 4, 3},
      {"a\r\nb\r\nc", 6, 3},
      {"a\rb\rc", 4, 3},
      {"a\r\n\r\n\rb", 7, 4},
      {"a\r", 2, 2},        // a CR at the very end ends its line
      {"a\n", 99, 2},       // offsets past the end count as the end
      {long_lines, long_lines.size(), 701},
      {long_lines, 4 * 100 + 2 * 100 + 2 * 100, 301},
  };
  for (const auto& c : cases) {
    LineCounter lines(c.text);
    EXPECT_EQ(lines.line_at(c.offset), c.line) << c.text.substr(0, 20) << " at " << c.offset;
  }
  // Offsets asked in order, then one before them.
  LineCounter lines(long_lines);
  int32_t line = 0;
  for (std::size_t offset = 0; offset <= long_lines.size(); offset += 37) line = lines.line_at(offset);
  EXPECT_EQ(line, LineCounter(long_lines).line_at(long_lines.size() / 37 * 37));
  EXPECT_EQ(lines.line_at(6), 3);
}

}  // namespace
}  // namespace vespera
