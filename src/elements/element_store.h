// The ElementStore: the element sets of memory mode, at most 10000, in the
// order in which they were first accepted, and the cursor of the set handed
// out last.
#pragma once

#include <array>
#include <cstdint>

#include "elements/element_set.h"

namespace vespera {

inline constexpr int32_t kElementStoreCapacity = 10000;

// Where each catalogue number stands in the store: an open-addressed map from
// catalogue number to its first slot, so that a load with duplicates dropped
// finds a stored satellite at once instead of scanning every slot.
struct ElementStoreIndex {
  // A power of two, at least 1.6 times the store's capacity.
  static constexpr uint32_t kBits = 14;
  static constexpr uint32_t kSize = 1u << kBits;

  struct Entry {
    int32_t ncat = 0;
    int32_t slot = -1;  // 0-based slot, -1 for an empty entry
  };
  std::array<Entry, kSize> entries{};
  int32_t indexed = 0;  // slots 0 .. indexed-1 of the store are in the map
};

struct ElementStore {
  // Slot i (1-based) is slots[i - 1].
  std::array<ElementSet, kElementStoreCapacity> slots{};
  int32_t count = 0;   // filled slots, 0 to 10000
  int32_t cursor = 0;  // slot handed out last; 0 before the first
  // Kept up to date by storeElementSet; a store emptied by setting count to 0
  // gets a fresh index on the next store.
  ElementStoreIndex index;

  bool full() const { return count >= kElementStoreCapacity; }
};

enum class StoreOutcome {
  Appended,  // placed in a new slot
  Replaced,  // a newer set of a stored satellite took its slot
  Dropped,   // not newer than the stored set of the same satellite
  Full,      // no slot left: the set was not stored
};

// storeElementSet: places `set` in the store. With `dropOlderDuplicates` the
// first slot holding the same catalogue number is looked for: a set with a
// later epoch (epochDay, then epochFraction) replaces it, any other is dropped
// (of two equal epochs the one read first stays). A set not placed that way is
// appended, unless the store is full.
StoreOutcome storeElementSet(ElementStore& store, const ElementSet& set,
                             bool dropOlderDuplicates);

// epochIsLater: whether the epoch (day number, fraction of a day) `day` +
// `fraction` is later than `thanDay` + `thanFraction`, the day numbers
// compared first.
bool epochIsLater(int32_t day, float fraction, int32_t thanDay, float thanFraction);

}  // namespace vespera
