#include "report/selection_order.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vespera {

namespace {

// A 32-bit key that orders finite and infinite floats as their values do,
// with -0.0 and +0.0 equal.
uint32_t ordered_bits(float value) {
  if (value == 0.0f) value = 0.0f;
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

// A 32-bit key that orders catalogue numbers as signed integers do.
uint32_t ordered_ncat(int32_t ncat) { return static_cast<uint32_t>(ncat) ^ 0x80000000u; }

constexpr uint64_t kLow32 = 0xffffffffu;

}  // namespace

bool within_continuation_window(float time, float previous_time) {
  return static_cast<double>(time) <
         static_cast<double>(previous_time) + static_cast<double>(kPassContinuationDays);
}

SelectionOrder::SelectionOrder()
    : keys_(kPredictionCapacity),
      by_time_(kPredictionCapacity),
      by_satellite_(kPredictionCapacity),
      group_of_(kPredictionCapacity),
      group_head_(kPredictionCapacity),
      group_end_(kPredictionCapacity),
      taken_(kPredictionCapacity) {}

void SelectionOrder::begin(const PredictionTable& table) {
  table_ = &table;
  const int32_t count = std::clamp(table.count, 0, kPredictionCapacity);

  // Time order of every slot with a comparable time; ties by slot.
  int32_t n = 0;
  for (int32_t slot = 0; slot < count; ++slot) {
    taken_[static_cast<std::size_t>(slot)] = 0;
    const float t = table.times[static_cast<std::size_t>(slot)];
    if (std::isnan(t)) continue;
    keys_[static_cast<std::size_t>(n++)] =
        (static_cast<uint64_t>(ordered_bits(t)) << 32) | static_cast<uint32_t>(slot);
  }
  std::sort(keys_.begin(), keys_.begin() + n);
  selectable_ = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t slot = static_cast<int32_t>(keys_[static_cast<std::size_t>(i)] & kLow32);
    by_time_[static_cast<std::size_t>(i)] = slot;
    if (table.times[static_cast<std::size_t>(slot)] < kLatestSelectableTime) selectable_ = i + 1;
  }
  time_cursor_ = 0;

  // Each satellite's slots in time order: sort by (ncat, rank in time order).
  for (int32_t i = 0; i < n; ++i) {
    const int32_t slot = by_time_[static_cast<std::size_t>(i)];
    keys_[static_cast<std::size_t>(i)] =
        (static_cast<uint64_t>(ordered_ncat(table.records[static_cast<std::size_t>(slot)].ncat))
         << 32) |
        static_cast<uint32_t>(i);
  }
  std::sort(keys_.begin(), keys_.begin() + n);
  int32_t group = -1;
  uint64_t group_key = 0;
  for (int32_t i = 0; i < n; ++i) {
    const uint64_t key = keys_[static_cast<std::size_t>(i)];
    const int32_t slot = by_time_[static_cast<std::size_t>(key & kLow32)];
    if (group < 0 || (key >> 32) != group_key) {
      if (group >= 0) group_end_[static_cast<std::size_t>(group)] = i;
      ++group;
      group_key = key >> 32;
      group_head_[static_cast<std::size_t>(group)] = i;
    }
    by_satellite_[static_cast<std::size_t>(i)] = slot;
    group_of_[static_cast<std::size_t>(slot)] = group;
  }
  if (group >= 0) group_end_[static_cast<std::size_t>(group)] = n;
}

Selection SelectionOrder::next(int32_t group_slot, float previous_time) {
  if (table_ == nullptr) return {};
  const auto& times = table_->times;
  if (group_slot > 0) {
    const std::size_t g = static_cast<std::size_t>(group_of_[static_cast<std::size_t>(group_slot - 1)]);
    int32_t& head = group_head_[g];
    while (head < group_end_[g] &&
           taken_[static_cast<std::size_t>(by_satellite_[static_cast<std::size_t>(head)])]) {
      ++head;
    }
    if (head < group_end_[g]) {
      const int32_t slot = by_satellite_[static_cast<std::size_t>(head)];
      if (within_continuation_window(times[static_cast<std::size_t>(slot)], previous_time)) {
        return {slot + 1, true};
      }
    }
  }
  while (time_cursor_ < selectable_ &&
         taken_[static_cast<std::size_t>(by_time_[static_cast<std::size_t>(time_cursor_)])]) {
    ++time_cursor_;
  }
  if (time_cursor_ < selectable_) {
    return {by_time_[static_cast<std::size_t>(time_cursor_)] + 1, false};
  }
  return {};
}

void SelectionOrder::take(int32_t slot) {
  if (slot >= 1 && slot <= kPredictionCapacity) taken_[static_cast<std::size_t>(slot - 1)] = 1;
}

}  // namespace vespera
