#include "elements/element_store.h"

namespace vespera {

bool epochIsLater(int32_t day, float fraction, int32_t thanDay, float thanFraction) {
  return day > thanDay || (day == thanDay && fraction > thanFraction);
}

StoreOutcome storeElementSet(ElementStore& store, const ElementSet& set,
                             bool dropOlderDuplicates) {
  if (dropOlderDuplicates) {
    // A linear scan of the filled slots: quadratic over a whole load, which at
    // 10000 sets costs well under a second and needs no index.
    for (int32_t i = 0; i < store.count; ++i) {
      ElementSet& stored = store.slots[static_cast<std::size_t>(i)];
      if (stored.ncat != set.ncat) continue;
      if (epochIsLater(set.epochDay, set.epochFraction, stored.epochDay, stored.epochFraction)) {
        stored = set;
        return StoreOutcome::Replaced;
      }
      return StoreOutcome::Dropped;
    }
  }
  if (store.full()) return StoreOutcome::Full;
  store.slots[static_cast<std::size_t>(store.count)] = set;
  ++store.count;
  return StoreOutcome::Appended;
}

}  // namespace vespera
