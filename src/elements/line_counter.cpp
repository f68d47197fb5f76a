#include "elements/line_counter.h"

#include <algorithm>
#include <cstring>

namespace vespera {

int32_t LineCounter::line_at(std::size_t offset) {
  offset = std::min(offset, text_.size());
  if (offset < counted_) {
    counted_ = 0;
    line_ = 1;
  }
  const char* const begin = text_.data() + counted_;
  const char* const end = text_.data() + offset;
  if (begin == end) return line_;
  int64_t lines = 0;
  for (const char* lf = begin; (lf = static_cast<const char*>(std::memchr(lf, '\n', static_cast<std::size_t>(end - lf))));) {
    ++lines;
    if (++lf == end) break;
  }
  // A CR ends a line of its own unless it is the CR of a CRLF.
  const char* cr = begin;
  while ((cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<std::size_t>(end - cr))))) {
    const std::size_t at = static_cast<std::size_t>(cr - text_.data());
    if (at + 1 >= text_.size() || text_[at + 1] != '\n') ++lines;
    if (++cr == end) break;
  }
  line_ = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, line_ + lines));
  counted_ = offset;
  return line_;
}

}  // namespace vespera
