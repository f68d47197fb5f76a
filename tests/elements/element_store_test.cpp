#include "elements/element_store.h"

#include <gtest/gtest.h>

#include <memory>

namespace vespera {
namespace {

ElementSet set_of(int32_t ncat, int32_t epoch_day, float fraction = 0.5f) {
  ElementSet set;
  set.ncat = ncat;
  set.epochDay = epoch_day;
  set.epochFraction = fraction;
  return set;
}

// The store is large: keep it off the stack.
std::unique_ptr<ElementStore> empty_store() { return std::make_unique<ElementStore>(); }

TEST(ElementStoreTest, NewerSetTakesTheSlotOlderOrEqualIsDropped) {
  auto store = empty_store();
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(200, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58001, 0.25f), true), StoreOutcome::Replaced);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58001, 0.25f), true), StoreOutcome::Dropped);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58001, 0.125f), true), StoreOutcome::Dropped);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58001, 0.5f), true), StoreOutcome::Replaced);
  EXPECT_EQ(storeElementSet(*store, set_of(200, 57999), true), StoreOutcome::Dropped);
  ASSERT_EQ(store->count, 2);
  EXPECT_EQ(store->slots[0].ncat, 100);
  EXPECT_EQ(store->slots[0].epochDay, 58001);
  EXPECT_EQ(store->slots[0].epochFraction, 0.5f);
  EXPECT_EQ(store->slots[1].ncat, 200);
  EXPECT_EQ(store->slots[1].epochDay, 58000);
}

TEST(ElementStoreTest, AnEmptiedStoreForgetsItsEarlierSatellites) {
  auto store = empty_store();
  // A load that keeps duplicates, then one that drops them, then one that
  // keeps them again: each starts from count 0 and sees only its own sets.
  for (const int32_t ncat : {100, 200, 100}) storeElementSet(*store, set_of(ncat, 58000), false);
  EXPECT_EQ(store->count, 3);

  store->count = 0;
  EXPECT_EQ(storeElementSet(*store, set_of(200, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58002), true), StoreOutcome::Replaced);
  ASSERT_EQ(store->count, 2);
  EXPECT_EQ(store->slots[1].epochDay, 58002);

  store->count = 0;
  for (const int32_t ncat : {300, 300}) {
    EXPECT_EQ(storeElementSet(*store, set_of(ncat, 58000), false), StoreOutcome::Appended);
  }
  store->count = 0;
  EXPECT_EQ(storeElementSet(*store, set_of(100, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(300, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(300, 58000), true), StoreOutcome::Dropped);
  EXPECT_EQ(store->count, 2);

  // Cut back (not emptied) and refilled without dropping: the slots above
  // the cut hold other satellites now.
  store->count = 1;
  EXPECT_EQ(storeElementSet(*store, set_of(400, 58000), false), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(300, 58000), true), StoreOutcome::Appended);
  EXPECT_EQ(storeElementSet(*store, set_of(400, 58001), true), StoreOutcome::Replaced);
  EXPECT_EQ(store->count, 3);
  EXPECT_EQ(store->slots[1].epochDay, 58001);
}

TEST(ElementStoreTest, DuplicatesOfAFullStoreAreStillReplacedOrDropped) {
  auto store = empty_store();
  // Catalogue numbers spread over the whole range, many sharing map positions.
  auto ncat_of = [](int32_t i) { return 1 + i * 16384 % 999983; };
  for (int32_t i = 0; i < kElementStoreCapacity; ++i) {
    ASSERT_EQ(storeElementSet(*store, set_of(ncat_of(i), 58000), true), StoreOutcome::Appended);
  }
  EXPECT_TRUE(store->full());
  EXPECT_EQ(storeElementSet(*store, set_of(999999, 58000), true), StoreOutcome::Full);
  for (int32_t i = kElementStoreCapacity - 1; i >= 0; --i) {
    ASSERT_EQ(storeElementSet(*store, set_of(ncat_of(i), 58000 + i), true),
              i == 0 ? StoreOutcome::Dropped : StoreOutcome::Replaced);
  }
  for (int32_t i = 0; i < kElementStoreCapacity; ++i) {
    ASSERT_EQ(store->slots[static_cast<std::size_t>(i)].ncat, ncat_of(i));
    ASSERT_EQ(store->slots[static_cast<std::size_t>(i)].epochDay, 58000 + i);
  }
  EXPECT_EQ(store->count, kElementStoreCapacity);
}

}  // namespace
}  // namespace vespera
