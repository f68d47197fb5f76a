// The buffer of up to 10000 predictions between the pass walk, which appends,
// and the report writer, which writes them in time order and empties it. The
// element source may cut the count back to withdraw a superseded set's
// predictions.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "prediction/night.h"
#include "vocabulary/fixed_text.h"

namespace vespera {

inline constexpr int32_t kPredictionCapacity = 10000;

struct PredictionRecord {
  FixedText<16> name;          // element set name; the report shows 14 characters
  int32_t ncat = 0;
  int16_t walk_state = 0;      // 0 for the point at which the pass was found
  int16_t direction = 0;       // direction of motion, whole degrees 0-359
  float altitude = 0.0f;       // radians
  float azimuth = 0.0f;        // radians from north through east
  float right_ascension = 0.0f;  // hours, requested equinox
  float declination = 0.0f;    // degrees, requested equinox
  int32_t height = 0;          // whole report units (km or miles)
  int32_t shadow_height = 0;   // whole report units
  float range = 0.0f;          // statute miles
  int32_t phase_angle = 0;     // whole degrees
  int16_t age_days = 0;        // days from the epoch, rounded
  int16_t orbit_tenths = 0;    // 0-9
  int32_t time_error = 0;      // seconds, 0-500
  float magnitude = 0.0f;
};

struct PredictionTable {
  int32_t count = 0;
  // Number of times the table has been emptied; tells whether predictions
  // counted at a mark have been written out since.
  int64_t flushes = 0;
  // Slot i (1-based) is times[i - 1] and records[i - 1]. A time is in days
  // from 0h UT of the start day number of the run that found it. The slots
  // live on the heap, so that a full table can change hands with another
  // (swap_slots) without copying its records.
  std::vector<float> times = std::vector<float>(kPredictionCapacity);
  std::vector<PredictionRecord> records = std::vector<PredictionRecord>(kPredictionCapacity);

  bool full() const { return count >= kPredictionCapacity; }
  // Stores a record in the next slot and returns its 1-based slot number. The
  // caller flushes the table as soon as it is full, so this never overflows.
  int32_t append(float time, const PredictionRecord& record) {
    times[count] = time;
    records[count] = record;
    return ++count;
  }
  // Forgets the slots above new_count (a no-op unless new_count is smaller).
  void cut_back(int32_t new_count) {
    if (new_count >= 0 && new_count < count) count = new_count;
  }
  void clear() {
    count = 0;
    ++flushes;
  }
  // Exchanges the slots and count with `other` (flush counts stay).
  void swap_slots(PredictionTable& other) {
    times.swap(other.times);
    records.swap(other.records);
    std::swap(count, other.count);
  }

  // Where the table stood when an element set was handed out, so that the
  // set's predictions can be withdrawn when a newer set of the same
  // satellite supersedes it.
  struct Mark {
    int32_t count = 0;
    int64_t flushes = 0;
  };
  Mark mark() const { return Mark{count, flushes}; }
  // Withdraws the predictions stored since `since`. If the table was written
  // out and emptied meanwhile (it filled up), everything it holds now came
  // after the mark, so all of it goes; what was written stays in the report.
  void withdraw_since(const Mark& since) { cut_back(flushes != since.flushes ? 0 : since.count); }
  // hand_out_set: an element set is handed out. When it supersedes the set
  // handed out before it, that set's predictions (stored since `previous`)
  // are withdrawn; `previous` then marks the table for the next hand-out.
  void hand_out_set(bool supersedes_previous, Mark& previous) {
    if (supersedes_previous) withdraw_since(previous);
    previous = mark();
  }
};

// The report writer as the engine sees it: writes out the table's
// predictions, dated with the night being searched, and empties it.
class PredictionFlusher {
 public:
  virtual ~PredictionFlusher() = default;
  virtual void flush_predictions(PredictionTable& table, const NightState& night) = 0;
};

}  // namespace vespera
