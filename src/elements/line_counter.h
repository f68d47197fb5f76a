// The line numbers of places in a text held in memory: a line ends at LF,
// CRLF or a lone CR, as in every record the program reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vespera {

class LineCounter {
 public:
  explicit LineCounter(std::string_view text) : text_(text) {}

  // line_at: the line (1 for the first) of the byte at `offset` (offsets past
  // the end count as the end). Cheapest when offsets come in order.
  int32_t line_at(std::size_t offset);

 private:
  std::string_view text_;
  std::size_t counted_ = 0;  // bytes before this offset are counted
  int32_t line_ = 1;         // the line of the byte at counted_
};

}  // namespace vespera
