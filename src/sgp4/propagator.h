// Propagator: one element set made ready for the SGP4/SDP4 theory, and its
// propagation to any time. initialise computes the constants once (the
// near-earth terms, and for an orbit of 225 minutes or more the lunar-solar
// and resonance terms); propagate is const and keeps no state between calls,
// so one Propagator may serve several threads and be called in any order of
// times with the same results.
//
// Hoots and Roehrich, Spacetrack Report No. 3 (1980), sections 6, 7 and 10;
// Vallado, Crawford, Hujsak and Kelso, "Revisiting Spacetrack Report #3",
// AIAA 2006-6753 (the modern revision: its error codes and corrections).
//
// Usage:
//   const Initialisation init = initialise(elements, OperationMode::kImproved);
//   if (init.propagator) { TemeState s = init.propagator->propagate(90.0); ... }
#pragma once

#include <optional>

#include "sgp4/deep_space_secular.h"
#include "sgp4/lunar_solar_terms.h"
#include "sgp4/mean_elements.h"
#include "sgp4/near_earth_terms.h"
#include "sgp4/orbit_elements.h"
#include "sgp4/resonance_integrator.h"
#include "sgp4/resonance_terms.h"
#include "sgp4/teme_state.h"

namespace vespera::sgp4 {

// The deep-space terms of an orbit of 225 minutes or more.
struct DeepSpaceTerms {
  LunarSolarTerms lunar_solar;
  LunarSolarRates rates;
  ResonanceTerms resonance;
};

// A caller's copy of the resonance integrator's last grid point: passing it
// to successive calls of one Propagator lets a later time continue from the
// grid point an earlier call reached instead of from the epoch. The results
// are the same to the last bit with or without it, and in any order of
// calls; only the cost differs. The cache keeps the resonance terms it was
// filled for, so one used with another orbit is started again.
struct ResonanceCache {
  std::optional<ResonanceTerms> terms;
  ResonanceGridPoint point;
};

struct Initialisation;
Initialisation initialise(const MeanElements& elements, OperationMode mode);

class Propagator {
 public:
  // The state at minutes from the epoch (either sign; finite). A time that
  // is NaN or infinite gives kMeanElements and NaN vectors.
  TemeState propagate(double minutes) const;
  TemeState propagate(double minutes, ResonanceCache& cache) const;

  bool deep_space() const { return deep_.has_value(); }

 private:
  friend Initialisation initialise(const MeanElements& elements, OperationMode mode);
  Propagator(const MeanElements& elements, OperationMode mode, const NearEarthTerms& near_earth,
             const std::optional<DeepSpaceTerms>& deep);

  TemeState propagate_from(double minutes, ResonanceGridPoint* start) const;
  OrbitElements secular_deep_space(const OrbitElements& near_earth, double minutes,
                                   ResonanceGridPoint* start) const;

  MeanElements elements_;
  OperationMode mode_;
  NearEarthTerms near_earth_;
  std::optional<DeepSpaceTerms> deep_;
};

// The outcome of initialise: the propagator, or the reason there is none.
// An element set fails when an element is not finite, its eccentricity lies
// outside [0, 1) (kMeanElements), its mean motion is not above zero
// (kMeanMotion), or its state at the epoch cannot be computed (that state's
// error; kDecayed included, the epoch inside the earth).
struct Initialisation {
  Sgp4Error error = Sgp4Error::kNone;
  std::optional<Propagator> propagator;
};

Initialisation initialise(const MeanElements& elements, OperationMode mode);

}  // namespace vespera::sgp4
