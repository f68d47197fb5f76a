// MemoryStream: a stdio stream whose text is kept in memory, for console
// messages that are made now and written later in their place among others.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace vespera {

class MemoryStream {
 public:
  MemoryStream();
  ~MemoryStream();
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* file() const { return file_; }
  // The length of everything written so far.
  std::size_t size();
  // The text from offset `from` to offset `to` (both at most size()).
  std::string_view text(std::size_t from, std::size_t to) const {
    return std::string_view(text_ + from, to - from);
  }

 private:
  char* text_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

}  // namespace vespera
