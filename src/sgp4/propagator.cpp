#include "sgp4/propagator.h"

#include <cmath>
#include <limits>

#include "sgp4/deep_space_periodics.h"
#include "sgp4/osculating_state.h"
#include "sgp4/sidereal_time.h"
#include "sgp4/turns.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The Julian date of 1949 December 31 0h, the origin of the deep-space terms' day count.
constexpr double kJd1950 = 2433281.5;

TemeState failed(Sgp4Error error) { return {error, {kNaN, kNaN, kNaN}, {kNaN, kNaN, kNaN}}; }

// The drag factors of the semi-major axis, the eccentricity and the mean
// longitude at a time (the report's (1 - C1 t - ...), B* C4 t + ..., and the
// polynomial in t multiplying n0'' in the mean longitude).
struct DragFactors {
  double a = 1.0;
  double e = 0.0;
  double l = 0.0;
};

// The secular effects of gravity and drag at t minutes: the elements before
// the drag reaches the semi-major axis, eccentricity and mean longitude
// (Spacetrack Report No. 3, section 6, "The secular effects of atmospheric
// drag and gravitation").
OrbitElements secular_near_earth(const MeanElements& el, const NearEarthTerms& ne, double t, DragFactors& drag) {
  const double t2 = t * t;
  const double mdf = el.mean_anomaly + ne.mean_anomaly_rate * t;
  const double argpdf = el.argument_of_perigee + ne.perigee_rate * t;
  OrbitElements o;
  o.mean_motion = ne.mean_motion;
  o.eccentricity = el.eccentricity;
  o.inclination = el.inclination;
  o.node = el.node + ne.node_rate * t + ne.node_drag * t2;
  o.argument_of_perigee = argpdf;
  o.mean_anomaly = mdf;
  drag = {1.0 - ne.c1 * t, el.bstar * ne.c4 * t, ne.t2cof * t2};
  if (ne.simplified_drag) return o;
  const double cube = 1.0 + ne.eta * std::cos(mdf);
  const double change = ne.perigee_drag * t + ne.anomaly_drag * (cube * cube * cube - ne.cube_at_epoch);
  o.mean_anomaly = mdf + change;
  o.argument_of_perigee = argpdf - change;
  const double t3 = t2 * t;
  const double t4 = t3 * t;
  drag.a = drag.a - ne.d2 * t2 - ne.d3 * t3 - ne.d4 * t4;
  drag.e = drag.e + el.bstar * ne.c5 * (std::sin(o.mean_anomaly) - ne.sin_anomaly_at_epoch);
  drag.l = drag.l + ne.t3cof * t3 + t4 * (ne.t4cof + t * ne.t5cof);
  return o;
}

// The drag applied to the semi-major axis, mean motion, eccentricity and mean
// longitude, the checks of the mean elements, and the angles reduced to one
// turn. Returns kNone or the error. The semi-major axis of the epoch's mean
// motion is the near-earth terms' own (the same expression), computed once;
// only a resonant orbit's integrated mean motion needs the power here.
Sgp4Error apply_drag(const DragFactors& drag, const NearEarthTerms& ne, OrbitElements& o) {
  if (!(o.mean_motion > 0.0)) return Sgp4Error::kMeanMotion;
  const double mean_axis = o.mean_motion == ne.mean_motion ? ne.semi_major_axis
                                                           : std::pow(kKePerMinute / o.mean_motion, kTwoThirds);
  o.semi_major_axis = mean_axis * drag.a * drag.a;
  o.mean_motion = kKePerMinute / (o.semi_major_axis * std::sqrt(o.semi_major_axis));
  o.eccentricity -= drag.e;
  if (!(o.eccentricity < 1.0 && o.eccentricity >= -0.001 && o.semi_major_axis >= 0.95)) {
    return Sgp4Error::kMeanElements;
  }
  if (o.eccentricity < 1.0e-6) o.eccentricity = 1.0e-6;
  o.mean_anomaly += ne.mean_motion * drag.l;
  const double longitude = remainder_of_turns(o.mean_anomaly + o.argument_of_perigee + o.node);
  o.node = remainder_of_turns(o.node);
  o.argument_of_perigee = remainder_of_turns(o.argument_of_perigee);
  o.mean_anomaly = remainder_of_turns(longitude - o.argument_of_perigee - o.node);
  return Sgp4Error::kNone;
}

bool finite_elements(const MeanElements& e) {
  const double values[] = {e.epoch_jd,     e.epoch_jd_fraction,   e.bstar,        e.inclination, e.node,
                           e.eccentricity, e.argument_of_perigee, e.mean_anomaly, e.mean_motion};
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

DeepSpaceTerms deep_space_terms(const MeanElements& el, const NearEarthTerms& ne, OperationMode mode) {
  const double days_since_1950 = (el.epoch_jd - kJd1950) + el.epoch_jd_fraction;
  DeepSpaceTerms d;
  d.lunar_solar = lunar_solar_terms(el, days_since_1950, ne.mean_motion);
  d.rates = lunar_solar_rates(d.lunar_solar, el.inclination, el.eccentricity);
  d.resonance = resonance_terms(el, ne, d.rates, epoch_sidereal_time(days_since_1950, mode));
  return d;
}

}  // namespace

Propagator::Propagator(const MeanElements& elements, OperationMode mode, const NearEarthTerms& near_earth,
                       const std::optional<DeepSpaceTerms>& deep)
    : elements_(elements), mode_(mode), near_earth_(near_earth), deep_(deep) {}

TemeState Propagator::propagate(double minutes) const { return propagate_from(minutes, nullptr); }

TemeState Propagator::propagate(double minutes, ResonanceCache& cache) const {
  if (!deep_ || deep_->resonance.kind == Resonance::kNone) return propagate_from(minutes, nullptr);
  if (!cache.terms || !(*cache.terms == deep_->resonance)) cache = {deep_->resonance, ResonanceGridPoint{}};
  return propagate_from(minutes, &cache.point);
}

// The lunar-solar secular rates, and for a resonant orbit the integrated mean
// motion and the mean anomaly from the resonant angle (Spacetrack Report
// No. 3, section 10, the secular entry of DEEP).
OrbitElements Propagator::secular_deep_space(const OrbitElements& near_earth, double t,
                                             ResonanceGridPoint* start) const {
  const LunarSolarRates& rates = deep_->rates;
  OrbitElements o = near_earth;
  o.eccentricity += rates.eccentricity * t;
  o.inclination += rates.inclination * t;
  o.argument_of_perigee += rates.perigee * t;
  o.node += rates.node * t;
  o.mean_anomaly += rates.mean_anomaly * t;
  const ResonanceTerms& resonance = deep_->resonance;
  if (resonance.kind == Resonance::kNone) return o;
  const ResonantMotion motion = integrate_resonance(resonance, t, start);
  const double theta = std::fmod(resonance.sidereal_at_epoch + t * kEarthRotationRadPerMinute, kTwoPi);
  o.mean_motion = motion.mean_motion;
  o.mean_anomaly = resonance.kind == Resonance::kHalfDay
                       ? motion.angle - 2.0 * o.node + 2.0 * theta
                       : motion.angle - o.node - o.argument_of_perigee + theta;
  return o;
}

TemeState Propagator::propagate_from(double minutes, ResonanceGridPoint* start) const {
  if (!std::isfinite(minutes)) return failed(Sgp4Error::kMeanElements);
  DragFactors drag;
  OrbitElements o = secular_near_earth(elements_, near_earth_, minutes, drag);
  if (deep_) o = secular_deep_space(o, minutes, start);
  const Sgp4Error error = apply_drag(drag, near_earth_, o);
  if (error != Sgp4Error::kNone) return failed(error);
  if (deep_) {
    o = add_lunar_solar_periodics(deep_->lunar_solar, minutes, mode_, o);
    if (o.inclination < 0.0) {
      o.inclination = -o.inclination;
      o.node += kPi;
      o.argument_of_perigee -= kPi;
    }
    if (!(o.eccentricity >= 0.0 && o.eccentricity <= 1.0)) return failed(Sgp4Error::kPerturbedEccentricity);
  }
  TemeState state = osculating_state(o);
  if (state.error == Sgp4Error::kNone || state.error == Sgp4Error::kDecayed) state.mean_anomaly = o.mean_anomaly;
  return state;
}

Initialisation initialise(const MeanElements& elements, OperationMode mode) {
  if (!finite_elements(elements) || !(elements.eccentricity >= 0.0 && elements.eccentricity < 1.0)) {
    return {Sgp4Error::kMeanElements, std::nullopt};
  }
  if (!(elements.mean_motion > 0.0)) return {Sgp4Error::kMeanMotion, std::nullopt};
  const NearEarthTerms near_earth = near_earth_terms(elements);
  if (!(near_earth.mean_motion > 0.0)) return {Sgp4Error::kMeanMotion, std::nullopt};
  std::optional<DeepSpaceTerms> deep;
  if (near_earth.deep_space) deep = deep_space_terms(elements, near_earth, mode);
  Propagator propagator(elements, mode, near_earth, deep);
  const TemeState at_epoch = propagator.propagate(0.0);
  if (at_epoch.error != Sgp4Error::kNone) return {at_epoch.error, std::nullopt};
  return {Sgp4Error::kNone, propagator};
}

}  // namespace vespera::sgp4
