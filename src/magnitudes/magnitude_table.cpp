#include "magnitudes/magnitude_table.h"

#include <algorithm>
#include <cstddef>

namespace vespera {

int32_t MagnitudeTable::first_not_below(int32_t ncat, int32_t from) const {
  int32_t slot = std::max(from, int32_t{1});
  while (slot <= count && (*this)[slot].ncat < ncat) ++slot;
  return std::min(slot, count + 1);
}

bool MagnitudeTable::insert_at(int32_t slot) {
  if (slot < 1 || slot > kMagnitudeTableCapacity) return false;
  // In a full table the entry in the last slot is overwritten, not moved.
  const int32_t last = std::min(count, kMagnitudeTableCapacity - 1);
  const auto begin = slots.begin();
  std::move_backward(begin + slot, begin + last + 1, begin + last + 2);
  if (count < kMagnitudeTableCapacity) ++count;
  (*this)[slot] = MagnitudeEntry{};
  return true;
}

int32_t SizeTriplePool::find_or_add(const SizeTriple& triple) {
  for (int32_t index = 1; index <= count; ++index) {
    if ((*this)[index] == triple) return index;
  }
  if (count >= kSizeTripleCapacity) return 0;
  ++count;
  triples[static_cast<std::size_t>(count)] = triple;
  return count;
}

int32_t CommentPool::store(std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), kMaxCommentChars);
  const int32_t index = nextFreeWord;
  const std::size_t start = static_cast<std::size_t>(index - 1) * kCommentWordChars;
  chars[start] = static_cast<char>(length);
  std::copy_n(text.data(), length, chars.begin() + static_cast<std::ptrdiff_t>(start + 1));
  nextFreeWord += static_cast<int32_t>((length + 4) / 4);
  return index;
}

std::string_view CommentPool::text(int32_t index) const {
  const std::size_t start = static_cast<std::size_t>(index - 1) * kCommentWordChars;
  const std::size_t length =
      std::min<std::size_t>(static_cast<unsigned char>(chars[start]), kMaxCommentChars);
  return std::string_view(chars.data() + start + 1, length);
}

}  // namespace vespera
