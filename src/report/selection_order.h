// The order in which the report writer takes the buffered predictions: time
// order, except that a pass group goes on while the same satellite has an
// untaken prediction earlier than the last taken time + 0.014 day; equal
// times go in slot order.
//
// Rather than scanning the whole table for every record, the slots are put
// once into (time, slot) order (a stable radix sort of the times, which
// starts from slot order) and chained per satellite in that order; the next
// record is then the first untaken one of the current satellite's chain, if
// it lies within the window, or else the first untaken slot in time order.
// This yields the same order as the scan, in linear time.
#pragma once

#include <cstdint>
#include <vector>

#include "prediction/prediction_table.h"

namespace vespera {

// How long after the last taken record (days) a record of the same satellite
// still continues its pass group (about 20 minutes).
inline constexpr float kPassContinuationDays = 0.014f;
// Times at or above this are never taken by the time-order search.
inline constexpr float kLatestSelectableTime = 99999.0f;

struct Selection {
  int32_t slot = 0;        // 1-based slot to take next; 0 when none is left
  bool continues = false;  // whether it continues the current pass group
};

class SelectionOrder {
 public:
  SelectionOrder();  // takes room for a full table once

  // Prepares the order of the table's filled slots; all are untaken.
  void begin(const PredictionTable& table);

  // next: given the slot of the last written record of the open pass group
  // (0 when no group is open) and the time of the last taken record (days),
  // returned: the slot to take next. The earliest untaken record of the
  // group's satellite is taken when it lies before previous_time + 0.014;
  // otherwise the earliest untaken record of all, which starts a new group.
  // Records whose time is NaN, and records at or after 99999 that do not
  // continue a group, are never taken.
  Selection next(int32_t group_slot, float previous_time);

  // Marks a slot returned by next() as taken.
  void take(int32_t slot);

 private:
  // The group (0-based) of a catalogue number, added when new.
  int32_t group_of_ncat(int32_t ncat);

  const PredictionTable* table_ = nullptr;
  std::vector<uint32_t> keys_;        // per slot: the time as an ordered key
  std::vector<int32_t> by_time_;      // 0-based slots in (time, slot) order
  std::vector<int32_t> sort_buffer_;
  int32_t sorted_ = 0;                // entries of by_time_ (slots with a comparable time)
  int32_t selectable_ = 0;            // leading entries of by_time_ below 99999
  int32_t time_cursor_ = 0;           // first possibly untaken entry of by_time_
  std::vector<int32_t> group_of_;     // per slot: its satellite's group
  std::vector<int32_t> next_in_group_;  // per slot: the group's next slot in time order, or -1
  std::vector<int32_t> group_head_;   // per group: first possibly untaken slot, or -1
  std::vector<int32_t> group_tail_;   // per group: last slot chained so far
  int32_t groups_ = 0;
  // Open-addressed map from catalogue number to group; an entry is in use
  // when its stamp equals the current generation, so nothing is cleared.
  struct MapEntry {
    uint32_t stamp = 0;
    int32_t ncat = 0;
    int32_t group = 0;
  };
  std::vector<MapEntry> map_;
  uint32_t generation_ = 0;
  std::vector<uint8_t> taken_;        // per slot
};

}  // namespace vespera
