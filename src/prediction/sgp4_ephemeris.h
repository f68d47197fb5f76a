// Sgp4Ephemeris: one element set made ready for the SGP4/SDP4 theory for the
// search of one night, and the satellite's place at any engine time of it.
// The first propagation that fails (and an element set that cannot be
// initialised, or whose mean elements did not read) marks the ephemeris
// failed, with the reason; the search then drops the set for the night.
#pragma once

#include <cstdint>
#include <optional>

#include "elements/element_set.h"
#include "prediction/teme_to_observer.h"
#include "prediction/vector3.h"
#include "sgp4/propagator.h"

namespace vespera {

// sgp4_mean_elements: a set's mean elements in the theory's units: the epoch
// as a Julian date in two parts (day number + 2400000.5, and the fraction of
// the day), angles in radians, the mean motion in radians per minute.
sgp4::MeanElements sgp4_mean_elements(const MeanElements& mean);

// The satellite at one engine time.
struct SatelliteFix {
  double minutes = 0.0;       // since the element set's epoch
  double sidereal = 0.0;      // GMST IAU-82 of the time, radians
  double mean_anomaly = 0.0;  // of the propagated mean elements, radians
  Vector3 teme_km{};          // position in TEME
  Vector3 teme_km_s{};        // velocity in TEME
  EarthFixedState earth_fixed;
};

// carried_on: the TEME position of `fix` carried on by `seconds` under the
// earth's central attraction (a second-order step: some centimetres from
// the propagated place over a few seconds, some decimetres over a minute).
Vector3 carried_on(const SatelliteFix& fix, double seconds);

class Sgp4Ephemeris {
 public:
  // The set's propagator for times counted in engine days from 0h UT of
  // day number `start_day_number`.
  Sgp4Ephemeris(const ElementSet& set, int32_t start_day_number);

  // locate: the satellite at engine time `time`. False, with the ephemeris
  // marked failed, when the theory cannot place it (the satellite has
  // decayed, its orbit has become hyperbolic, ...), or when it has failed
  // before. The last place found is kept: asking for the same time again
  // (the search's start of a walk, then the walk's first point) costs nothing.
  bool locate(double time, SatelliteFix& fix);

  bool failed() const { return failure_reason_ != nullptr; }
  int32_t start_day_number() const { return start_day_number_; }
  // Why the set cannot be propagated (the theory's error text); null while it can.
  const char* failure_reason() const { return failure_reason_; }

 private:
  std::optional<sgp4::Propagator> propagator_;
  sgp4::ResonanceCache cache_;  // this search's own: an ephemeris is never shared
  int32_t start_day_number_ = 0;
  double epoch_offset_days_ = 0.0;  // the epoch less 0h of the start day
  const char* failure_reason_ = nullptr;
  bool located_ = false;  // last_ holds the place at last_time_
  double last_time_ = 0.0;
  SatelliteFix last_;
};

}  // namespace vespera
