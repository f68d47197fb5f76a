#include "report/selection_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace vespera {
namespace {

// The selection rule as a plain scan of the whole table for every record:
// while no continuation is found, a slot of the current satellite before
// previous_time + 0.014 is selected at once and the scan turns to
// continuation mode; any other slot is selected when it is earlier than the
// earliest selected so far (from 99999). In continuation mode only the
// current satellite's slots count, when earlier than the selection.
Selection plain_next(const PredictionTable& table, const std::vector<bool>& taken,
                     int32_t current_ncat, float previous_time) {
  Selection selection;
  float smallest = 99999.0f;
  for (int32_t slot = 1; slot <= table.count; ++slot) {
    if (taken[static_cast<std::size_t>(slot)]) continue;
    const float time = table.times[static_cast<std::size_t>(slot - 1)];
    const int32_t ncat = table.records[static_cast<std::size_t>(slot - 1)].ncat;
    if (!selection.continues) {
      if (ncat == current_ncat &&
          static_cast<double>(time) < static_cast<double>(previous_time) + static_cast<double>(0.014f)) {
        selection = {slot, true};
      } else if (time < smallest) {
        selection.slot = slot;
        smallest = time;
      }
    } else if (ncat == current_ncat &&
               time < table.times[static_cast<std::size_t>(selection.slot - 1)]) {
      selection.slot = slot;
    }
  }
  return selection;
}

// Times with many ties, same-satellite neighbours at about the 0.014-day
// window, equal zeros of both signs, and a few that are never taken.
float random_time(std::mt19937& rng, float previous) {
  static const float kSteps[] = {0.0f,     0.001f,  0.005f, 0.0139f, 0.013999f, 0.014f,
                                 0.014001f, 0.0141f, 0.02f,  0.3f,    -0.003f,   -0.014f};
  std::uniform_int_distribution<int> pick(0, 99);
  const int p = pick(rng);
  if (p < 2) return -0.0f;
  if (p < 4) return 0.0f;
  if (p < 5) return std::numeric_limits<float>::quiet_NaN();
  if (p < 6) return 99999.0f;
  if (p < 7) return 99998.99f;
  if (p < 12) return static_cast<float>(std::uniform_int_distribution<int>(0, 20)(rng)) * 0.007f;
  const float step = kSteps[std::uniform_int_distribution<std::size_t>(0, std::size(kSteps) - 1)(rng)];
  return previous + step;
}

void fill_random_table(PredictionTable& table, std::mt19937& rng, int32_t count, int32_t satellites) {
  table.count = 0;
  std::uniform_int_distribution<int32_t> which(1, satellites);
  std::vector<float> last(static_cast<std::size_t>(satellites) + 1, 0.3f);
  for (int32_t i = 0; i < count; ++i) {
    PredictionRecord record;
    record.ncat = which(rng);
    float& previous = last[static_cast<std::size_t>(record.ncat)];
    const float t = random_time(rng, previous);
    if (std::isfinite(t) && t < 10.0f) previous = t;
    table.append(t, record);
  }
}

// Runs both methods side by side over one table. Some records are treated
// as dropped duplicates: they move previous_time but leave the group.
void compare_orders(const PredictionTable& table, std::mt19937& rng, SelectionOrder& order) {
  std::vector<bool> taken(static_cast<std::size_t>(table.count) + 1, false);
  order.begin(table);
  int32_t current_ncat = 0;
  int32_t group_slot = 0;
  float previous_time = std::uniform_int_distribution<int>(0, 1)(rng) != 0 ? 0.3f : 0.0f;
  std::bernoulli_distribution dropped(0.1);
  for (int32_t step = 0; step <= table.count; ++step) {
    const Selection expected = plain_next(table, taken, current_ncat, previous_time);
    const Selection got = order.next(group_slot, previous_time);
    ASSERT_EQ(got.slot, expected.slot) << "step " << step;
    ASSERT_EQ(got.continues, expected.continues) << "step " << step;
    if (expected.slot == 0) return;
    taken[static_cast<std::size_t>(expected.slot)] = true;
    order.take(expected.slot);
    previous_time = table.times[static_cast<std::size_t>(expected.slot - 1)];
    if (!dropped(rng)) {
      current_ncat = table.records[static_cast<std::size_t>(expected.slot - 1)].ncat;
      group_slot = expected.slot;
    }
  }
  FAIL() << "more selections than records";
}

TEST(SelectionOrder, SameOrderAsTheScanOnRandomTables) {
  auto table = std::make_unique<PredictionTable>();
  SelectionOrder order;
  for (uint32_t seed = 1; seed <= 4000; ++seed) {
    std::mt19937 rng(seed);
    const int32_t count = std::uniform_int_distribution<int32_t>(0, 80)(rng);
    const int32_t satellites = std::uniform_int_distribution<int32_t>(1, 8)(rng);
    fill_random_table(*table, rng, count, satellites);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    compare_orders(*table, rng, order);
    if (HasFatalFailure()) return;
  }
}

TEST(SelectionOrder, SameOrderAsTheScanOnLargeTables) {
  auto table = std::make_unique<PredictionTable>();
  SelectionOrder order;
  for (uint32_t seed = 100; seed < 103; ++seed) {
    std::mt19937 rng(seed);
    fill_random_table(*table, rng, 1500, 40);
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    compare_orders(*table, rng, order);
    if (HasFatalFailure()) return;
  }
}

struct Entry {
  int32_t ncat;
  float time;
};

std::unique_ptr<PredictionTable> table_of(std::initializer_list<Entry> entries) {
  auto table = std::make_unique<PredictionTable>();
  for (const Entry& e : entries) {
    PredictionRecord r;
    r.ncat = e.ncat;
    table->append(e.time, r);
  }
  return table;
}

// The slots in the order taken when every record is written.
std::vector<int32_t> taking_order(const PredictionTable& table) {
  SelectionOrder order;
  order.begin(table);
  std::vector<int32_t> slots;
  int32_t group = 0;
  float previous = 0.0f;
  for (Selection s = order.next(group, previous); s.slot != 0; s = order.next(group, previous)) {
    slots.push_back(s.slot);
    order.take(s.slot);
    group = s.slot;
    previous = table.times[static_cast<std::size_t>(s.slot - 1)];
  }
  return slots;
}

TEST(SelectionOrder, EqualTimesGoInSlotOrder) {
  const auto table = table_of({{7, 0.5f}, {3, 0.5f}, {5, 0.4f}, {9, 0.5f}});
  EXPECT_EQ(taking_order(*table), (std::vector<int32_t>{3, 1, 2, 4}));
}

TEST(SelectionOrder, PassGroupKeptTogether) {
  // X(t), Y(t + 0.005), X(t + 0.01): X's second point continues its group.
  const auto table = table_of({{100, 0.500f}, {200, 0.505f}, {100, 0.510f}});
  EXPECT_EQ(taking_order(*table), (std::vector<int32_t>{1, 3, 2}));
  // The same in another slot order, with a tie won by the earlier slot.
  const auto shuffled =
      table_of({{100, 0.505f}, {200, 0.500f}, {100, 0.500f}, {100, 0.510f}});
  EXPECT_EQ(taking_order(*shuffled), (std::vector<int32_t>{2, 3, 1, 4}));
}

TEST(SelectionOrder, WindowMeasuredFromTheLastTakenRecord) {
  // Each point follows the one before within 0.014 day, so the group runs
  // on past the other satellite's earlier point.
  const auto table = table_of({{1, 0.500f}, {1, 0.513f}, {1, 0.526f}, {2, 0.520f}, {1, 0.541f}});
  EXPECT_EQ(taking_order(*table), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST(SelectionOrder, ContinuationMayLieBeforeTheLastTime) {
  const auto table = table_of({{1, 0.50f}, {2, 0.55f}, {1, 0.45f}});
  SelectionOrder order;
  order.begin(*table);
  Selection s = order.next(0, 0.0f);
  EXPECT_EQ(s.slot, 3);
  EXPECT_FALSE(s.continues);
  order.take(3);
  // With the last time at 0.6 the earlier point of the same satellite still
  // continues the group; the window bounds it from above only.
  s = order.next(3, 0.6f);
  EXPECT_EQ(s.slot, 1);
  EXPECT_TRUE(s.continues);
}

TEST(SelectionOrder, UnselectableTimesAreLeftOut) {
  const auto table = table_of({{1, std::numeric_limits<float>::quiet_NaN()}, {1, 99999.0f}, {2, 3.0f}});
  EXPECT_EQ(taking_order(*table), (std::vector<int32_t>{3}));
}

TEST(SelectionOrder, EmptyTable) {
  PredictionTable table;
  EXPECT_TRUE(taking_order(table).empty());
}

}  // namespace
}  // namespace vespera
