// Cost of one SGP4/SDP4 propagation (ns per call): a low orbit, a
// deep-space orbit without resonance (12 hours, nearly circular), and the
// two resonant kinds a day and a month from the epoch, where the
// integrator's 720-minute steps from the epoch dominate; the month again
// with a cache of the last grid point, times rising as a pass search would
// ask for them. Also the initialisation of a low and a deep-space set.
#include <benchmark/benchmark.h>

#include "sgp4/propagator.h"
#include "sgp4/wgs72.h"

namespace vespera::sgp4 {
namespace {

MeanElements elements(double inclination_deg, double e, double revs_per_day) {
  MeanElements el;
  el.epoch_jd = 2460000.5;
  el.epoch_jd_fraction = 0.25;
  el.bstar = 1e-4;
  el.inclination = inclination_deg * kRadiansPerDegree;
  el.node = 1.0;
  el.eccentricity = e;
  el.argument_of_perigee = 4.7;
  el.mean_anomaly = 0.35;
  el.mean_motion = revs_per_day * kTwoPi / kMinutesPerDay;
  return el;
}

const MeanElements kLeo = elements(51.64, 0.0004, 15.54);
const MeanElements kGps = elements(55.0, 0.005, 2.0056);
const MeanElements kGeo = elements(0.05, 0.0002, 1.0027);
const MeanElements kMolniya = elements(63.4, 0.72, 2.0057);

void propagate_at(benchmark::State& state, const MeanElements& el, double minutes) {
  const Propagator p = *initialise(el, OperationMode::kImproved).propagator;
  double t = minutes;
  for (auto _ : state) {
    benchmark::DoNotOptimize(p.propagate(t));
    t += 0.001;  // a new time each call, in the same integration step
  }
}

void BM_LowOrbit(benchmark::State& state) { propagate_at(state, kLeo, 1440.0); }
void BM_DeepSpaceNoResonance(benchmark::State& state) { propagate_at(state, kGps, 1440.0); }
void BM_SynchronousOneDay(benchmark::State& state) { propagate_at(state, kGeo, 1440.0); }
void BM_SynchronousOneMonth(benchmark::State& state) { propagate_at(state, kGeo, 43200.0); }
void BM_HalfDayOneMonth(benchmark::State& state) { propagate_at(state, kMolniya, 43200.0); }

void BM_SynchronousOneMonthCached(benchmark::State& state) {
  const Propagator p = *initialise(kGeo, OperationMode::kImproved).propagator;
  ResonanceCache cache;
  double t = 43200.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(p.propagate(t, cache));
    t += 0.5;  // a minute every two calls: a new grid step now and then
  }
}

void BM_InitialiseLowOrbit(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(initialise(kLeo, OperationMode::kImproved));
}

void BM_InitialiseDeepSpace(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(initialise(kMolniya, OperationMode::kImproved));
}

BENCHMARK(BM_LowOrbit);
BENCHMARK(BM_DeepSpaceNoResonance);
BENCHMARK(BM_SynchronousOneDay);
BENCHMARK(BM_SynchronousOneMonth);
BENCHMARK(BM_HalfDayOneMonth);
BENCHMARK(BM_SynchronousOneMonthCached);
BENCHMARK(BM_InitialiseLowOrbit);
BENCHMARK(BM_InitialiseDeepSpace);

}  // namespace
}  // namespace vespera::sgp4
