// The magnitude catalogue's storage: the table of entries in ascending
// catalogue-number order, the pool of shared size triples and the pool of
// comment words.
// Everything has a fixed capacity and an explicit count; slots, triples and
// words are numbered from 1 (index 0 means "none").
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "vocabulary/fixed_text.h"

namespace vespera {

inline constexpr int32_t kMagnitudeTableCapacity = 10000;
inline constexpr int32_t kSizeTripleCapacity = 4000;
inline constexpr int32_t kCommentPoolWords = 12000;
inline constexpr int32_t kCommentWordChars = 4;
// Longest comment in characters, and the words it takes with its length byte.
inline constexpr int32_t kMaxCommentChars = 32;
inline constexpr int32_t kMaxCommentWords = (kMaxCommentChars + 4) / 4;
// Catalogue number of the sentinel entry of a table into which nothing was
// loaded; lookups are made with positive numbers, so it is never found.
inline constexpr int32_t kSentinelNcat = -1;

// One satellite's catalogue data.
struct MagnitudeEntry {
  int32_t ncat = 0;
  FixedText<16> name;       // 14 characters from the file and two blanks
  FixedText<8> detail;      // kept only for detail listings
  char flag = ' ';
  float magnitude = 0.0f;   // intrinsic magnitude; 0.0 when not known
  int16_t sizeIndex = 0;    // triple in the size pool; 0 for none
  FixedText<4> crossSection;
  int16_t commentIndex = 0; // first word in the comment pool; 0 for none
};

// The entries, in strictly ascending ncat order in slots 1..count.
struct MagnitudeTable {
  std::array<MagnitudeEntry, kMagnitudeTableCapacity + 1> slots{};  // slot 0 unused
  int32_t count = 0;

  MagnitudeEntry& operator[](int32_t slot) { return slots[static_cast<std::size_t>(slot)]; }
  const MagnitudeEntry& operator[](int32_t slot) const {
    return slots[static_cast<std::size_t>(slot)];
  }
  bool full() const { return count >= kMagnitudeTableCapacity; }

  // The first slot from `from` on whose ncat is not below `ncat`; count + 1
  // when there is none.
  int32_t first_not_below(int32_t ncat, int32_t from) const;

  // Opens slot `slot` (1..count+1) for a new entry by moving the entries from
  // it on one slot up. In a full table the count stays at the capacity and the
  // last entry drops out. Returns false, storing nothing, when `slot` lies
  // beyond the capacity.
  bool insert_at(int32_t slot);
};

// Three 4-character size texts: first, second and third size.
using SizeTriple = std::array<FixedText<4>, 3>;

// Distinct size triples shared by the entries, numbered from 1.
struct SizeTriplePool {
  std::array<SizeTriple, kSizeTripleCapacity + 1> triples{};  // triple 0 unused
  int32_t count = 0;

  // Given: a triple. Returned: its number, the triple being added when it is
  // not there yet; 0 when it is new and the pool is full.
  int32_t find_or_add(const SizeTriple& triple);
  const SizeTriple& operator[](int32_t index) const {
    return triples[static_cast<std::size_t>(index)];
  }
};

// Comments packed in 4-character words, numbered from 1. A comment of L
// characters (1..32) takes (L + 4) / 4 words: its first character position
// holds L as a byte, the next L positions hold the text. Space is never
// reclaimed.
struct CommentPool {
  std::array<char, kCommentPoolWords * kCommentWordChars> chars{};
  int32_t nextFreeWord = 1;

  // Whether a comment of the longest length still fits.
  bool has_room() const { return nextFreeWord + kMaxCommentWords <= kCommentPoolWords; }
  // Given: a comment of 1..32 characters (the caller has dropped its trailing
  // blanks) and room for it. Returned: the number of its first word.
  int32_t store(std::string_view text);
  // The text of the comment whose first word is `index` (1..).
  std::string_view text(int32_t index) const;
};

// The whole catalogue. A default-constructed catalogue is empty: every lookup
// in it finds nothing.
class MagnitudeCatalogue {
 public:
  MagnitudeTable table;
  SizeTriplePool sizeTriples;
  CommentPool commentPool;
};

}  // namespace vespera
