#include "elements/element_store.h"

#include <cstddef>

namespace vespera {

namespace {

uint32_t index_position(int32_t ncat) {
  return (static_cast<uint32_t>(ncat) * 0x9E3779B1u) >> (32 - ElementStoreIndex::kBits);
}

// The map entry of `ncat`: the one that holds it, or the empty entry where it
// would go.
ElementStoreIndex::Entry& index_entry(ElementStoreIndex& index, int32_t ncat) {
  uint32_t position = index_position(ncat);
  for (;;) {
    ElementStoreIndex::Entry& entry = index.entries[position];
    if (entry.slot < 0 || entry.ncat == ncat) return entry;
    position = (position + 1) & (ElementStoreIndex::kSize - 1);
  }
}

// Starts the index afresh when the store was cut back below the slots it
// covers (emptied for a new load): those slots are about to be overwritten.
void forget_cut_slots(ElementStore& store) {
  ElementStoreIndex& index = store.index;
  if (index.indexed > store.count) {
    index.entries.fill(ElementStoreIndex::Entry{});
    index.indexed = 0;
  }
}

// Brings the index up to the store's filled slots, the first slot of a
// catalogue number kept.
void update_index(ElementStore& store) {
  ElementStoreIndex& index = store.index;
  forget_cut_slots(store);
  for (; index.indexed < store.count; ++index.indexed) {
    const int32_t ncat = store.slots[static_cast<std::size_t>(index.indexed)].ncat;
    ElementStoreIndex::Entry& entry = index_entry(index, ncat);
    if (entry.slot < 0) entry = {ncat, index.indexed};
  }
}

}  // namespace

bool epochIsLater(int32_t day, float fraction, int32_t thanDay, float thanFraction) {
  return day > thanDay || (day == thanDay && fraction > thanFraction);
}

StoreOutcome storeElementSet(ElementStore& store, const ElementSet& set,
                             bool dropOlderDuplicates) {
  if (dropOlderDuplicates) {
    update_index(store);
    const ElementStoreIndex::Entry& entry = index_entry(store.index, set.ncat);
    if (entry.slot >= 0) {
      ElementSet& stored = store.slots[static_cast<std::size_t>(entry.slot)];
      if (epochIsLater(set.epochDay, set.epochFraction, stored.epochDay, stored.epochFraction)) {
        stored = set;
        return StoreOutcome::Replaced;
      }
      return StoreOutcome::Dropped;
    }
  }
  if (store.full()) return StoreOutcome::Full;
  forget_cut_slots(store);
  store.slots[static_cast<std::size_t>(store.count)] = set;
  ++store.count;
  return StoreOutcome::Appended;
}

}  // namespace vespera
