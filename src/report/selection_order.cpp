#include "report/selection_order.h"

#include <algorithm>
#include <array>
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

// Slots in the catalogue-number map: a power of two, at least twice the
// table's capacity.
constexpr uint32_t kMapBits = 15;  // a load of at most 0.31
constexpr uint32_t kMapSize = 1u << kMapBits;
static_assert(kMapSize >= 2 * kPredictionCapacity);

uint32_t map_position(int32_t ncat) {
  return (static_cast<uint32_t>(ncat) * 0x9E3779B1u) >> (32 - kMapBits);
}

std::size_t at(int32_t i) { return static_cast<std::size_t>(i); }

// Whether a record at `time` lies within the continuation window after
// `previous_time`.
bool within_continuation_window(float time, float previous_time) {
  return static_cast<double>(time) <
         static_cast<double>(previous_time) + static_cast<double>(kPassContinuationDays);
}

}  // namespace

SelectionOrder::SelectionOrder()
    : keys_(kPredictionCapacity),
      by_time_(kPredictionCapacity),
      sort_buffer_(kPredictionCapacity),
      group_of_(kPredictionCapacity),
      next_in_group_(kPredictionCapacity),
      group_head_(kPredictionCapacity),
      group_tail_(kPredictionCapacity),
      map_(kMapSize),
      taken_(kPredictionCapacity) {}

int32_t SelectionOrder::group_of_ncat(int32_t ncat) {
  uint32_t position = map_position(ncat);
  while (map_[position].stamp == generation_) {
    if (map_[position].ncat == ncat) return map_[position].group;
    position = (position + 1) & (kMapSize - 1);
  }
  map_[position] = {generation_, ncat, groups_};
  group_head_[at(groups_)] = -1;
  group_tail_[at(groups_)] = -1;
  return groups_++;
}

void SelectionOrder::begin(const PredictionTable& table) {
  table_ = &table;
  const int32_t count = std::clamp(table.count, 0, kPredictionCapacity);

  // Every slot with a comparable time, in slot order.
  sorted_ = 0;
  for (int32_t slot = 0; slot < count; ++slot) {
    taken_[at(slot)] = 0;
    const float t = table.times[at(slot)];
    if (std::isnan(t)) continue;
    keys_[at(slot)] = ordered_bits(t);
    by_time_[at(sorted_++)] = slot;
  }

  // Stable radix sort by time, a byte at a time from the lowest: slots of
  // equal time keep their slot order. A byte that all keys share is skipped.
  int32_t* from = by_time_.data();
  int32_t* to = sort_buffer_.data();
  for (int shift = 0; shift < 32; shift += 8) {
    std::array<int32_t, 257> starts{};
    for (int32_t i = 0; i < sorted_; ++i) ++starts[((keys_[at(from[i])] >> shift) & 0xffu) + 1];
    if (std::find(starts.begin() + 1, starts.end(), sorted_) != starts.end()) continue;
    for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
    for (int32_t i = 0; i < sorted_; ++i) {
      const int32_t slot = from[i];
      to[starts[(keys_[at(slot)] >> shift) & 0xffu]++] = slot;
    }
    std::swap(from, to);
  }
  if (from != by_time_.data()) std::copy(from, from + sorted_, by_time_.data());

  selectable_ = 0;
  while (selectable_ < sorted_ &&
         table.times[at(by_time_[at(selectable_)])] < kLatestSelectableTime) {
    ++selectable_;
  }
  time_cursor_ = 0;

  // Chain each satellite's slots in time order.
  if (++generation_ == 0) {  // the stamps wrapped: start them afresh
    std::fill(map_.begin(), map_.end(), MapEntry{});
    generation_ = 1;
  }
  groups_ = 0;
  // The group of every slot, in slot order: the points of one pass stand
  // together, so the map is asked only where the catalogue number changes.
  int32_t previous_ncat = 0;
  int32_t previous_group = -1;
  for (int32_t slot = 0; slot < count; ++slot) {
    const int32_t ncat = table.records[at(slot)].ncat;
    if (previous_group < 0 || ncat != previous_ncat) {
      previous_group = group_of_ncat(ncat);
      previous_ncat = ncat;
    }
    group_of_[at(slot)] = previous_group;
  }
  for (int32_t i = 0; i < sorted_; ++i) {
    const int32_t slot = by_time_[at(i)];
    const int32_t group = group_of_[at(slot)];
    next_in_group_[at(slot)] = -1;
    int32_t& tail = group_tail_[at(group)];
    if (tail < 0) {
      group_head_[at(group)] = slot;
    } else {
      next_in_group_[at(tail)] = slot;
    }
    tail = slot;
  }
}

Selection SelectionOrder::next(int32_t group_slot, float previous_time) {
  if (table_ == nullptr) return {};
  const auto& times = table_->times;
  if (group_slot > 0) {
    int32_t& head = group_head_[at(group_of_[at(group_slot - 1)])];
    while (head >= 0 && taken_[at(head)]) head = next_in_group_[at(head)];
    if (head >= 0 && within_continuation_window(times[at(head)], previous_time)) {
      return {head + 1, true};
    }
  }
  while (time_cursor_ < selectable_ && taken_[at(by_time_[at(time_cursor_)])]) ++time_cursor_;
  if (time_cursor_ < selectable_) return {by_time_[at(time_cursor_)] + 1, false};
  return {};
}

void SelectionOrder::take(int32_t slot) {
  if (slot >= 1 && slot <= kPredictionCapacity) taken_[at(slot - 1)] = 1;
}

}  // namespace vespera
