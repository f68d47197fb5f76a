#include "format/memory_stream.h"

#include <cstdlib>
#include <new>

namespace vespera {

MemoryStream::MemoryStream() : file_(open_memstream(&text_, &size_)) {
  if (file_ == nullptr) throw std::bad_alloc();
}

MemoryStream::~MemoryStream() {
  std::fclose(file_);
  std::free(text_);
}

std::size_t MemoryStream::size() {
  std::fflush(file_);
  return size_;
}

}  // namespace vespera
