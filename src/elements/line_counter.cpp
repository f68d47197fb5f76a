#include "elements/line_counter.h"

#include <algorithm>
#include <cstring>

namespace vespera {
namespace {

// The LFs and CRs in [begin, end), counted in blocks of 255 bytes with
// byte-wide counts, which the compiler turns into vector instructions (wider
// counts are several times slower, and so is a search for each LF when lines
// are short).
struct LineEnds {
  int64_t line_feeds = 0;
  int64_t returns = 0;
};

LineEnds count_line_ends(const char* begin, const char* end) {
  LineEnds total;
  while (begin < end) {
    const auto block = static_cast<std::size_t>(std::min<std::ptrdiff_t>(255, end - begin));
    uint8_t line_feeds = 0;
    uint8_t returns = 0;
    for (std::size_t i = 0; i < block; ++i) {
      line_feeds = static_cast<uint8_t>(line_feeds + (begin[i] == '\n'));
      returns = static_cast<uint8_t>(returns + (begin[i] == '\r'));
    }
    total.line_feeds += line_feeds;
    total.returns += returns;
    begin += block;
  }
  return total;
}

}  // namespace

int32_t LineCounter::line_at(std::size_t offset) {
  offset = std::min(offset, text_.size());
  if (offset < counted_) {
    counted_ = 0;
    line_ = 1;
  }
  const char* const begin = text_.data() + counted_;
  const char* const end = text_.data() + offset;
  if (begin == end) return line_;
  const LineEnds ends = count_line_ends(begin, end);
  int64_t lines = ends.line_feeds;
  // A CR ends a line of its own unless it is the CR of a CRLF.
  for (const char* cr = begin; ends.returns != 0 && cr < end; ++cr) {
    cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<std::size_t>(end - cr)));
    if (cr == nullptr) break;
    const std::size_t at = static_cast<std::size_t>(cr - text_.data());
    if (at + 1 >= text_.size() || text_[at + 1] != '\n') ++lines;
  }
  line_ = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, line_ + lines));
  counted_ = offset;
  return line_;
}

}  // namespace vespera
