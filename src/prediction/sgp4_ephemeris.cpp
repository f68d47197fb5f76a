#include "prediction/sgp4_ephemeris.h"

#include <cmath>
#include <utility>

#include "elements/calendar.h"
#include "sgp4/sgp4_error.h"
#include "sgp4/wgs72.h"

namespace vespera {

namespace {

using sgp4::kMinutesPerDay;
using sgp4::kRadiansPerDegree;
constexpr double kRadiansPerMinutePerRevPerDay = sgp4::kTwoPi / kMinutesPerDay;

// The reason given for a set whose full-width element columns did not read.
constexpr const char* kUnreadableElements = "mean elements not readable";

}  // namespace

sgp4::MeanElements sgp4_mean_elements(const MeanElements& mean) {
  sgp4::MeanElements el;
  el.epoch_jd = static_cast<double>(mean.epochDay) + kJulianDateOfDayNumberZero;
  el.epoch_jd_fraction = mean.epochDayFraction;
  el.bstar = mean.bstar;
  el.inclination = mean.inclinationDeg * kRadiansPerDegree;
  el.node = mean.nodeDeg * kRadiansPerDegree;
  el.eccentricity = mean.eccentricity;
  el.argument_of_perigee = mean.argPerigeeDeg * kRadiansPerDegree;
  el.mean_anomaly = mean.meanAnomalyDeg * kRadiansPerDegree;
  el.mean_motion = mean.meanMotion * kRadiansPerMinutePerRevPerDay;
  return el;
}

Vector3 carried_on(const SatelliteFix& fix, double seconds) {
  const Vector3& r = fix.teme_km;
  const Vector3& v = fix.teme_km_s;
  const double radius = length(r);
  const double pull = -sgp4::kEarthMuKm3PerS2 / (radius * radius * radius) * 0.5 * seconds * seconds;
  return {r[0] + v[0] * seconds + pull * r[0], r[1] + v[1] * seconds + pull * r[1],
          r[2] + v[2] * seconds + pull * r[2]};
}

Sgp4Ephemeris::Sgp4Ephemeris(const ElementSet& set, int32_t start_day_number)
    : start_day_number_(start_day_number) {
  if (!set.mean.valid) {
    failure_reason_ = kUnreadableElements;
    return;
  }
  epoch_offset_days_ = static_cast<double>(int64_t{set.mean.epochDay} - int64_t{start_day_number}) +
                       set.mean.epochDayFraction;
  sgp4::Initialisation init = sgp4::initialise(sgp4_mean_elements(set.mean), sgp4::OperationMode::kImproved);
  if (!init.propagator) {
    failure_reason_ = sgp4::error_text(init.error);
    return;
  }
  propagator_ = std::move(init.propagator);
}

bool Sgp4Ephemeris::locate(double time, SatelliteFix& fix) {
  if (failed()) return false;
  if (located_ && time == last_time_) {
    fix = last_;
    return true;
  }
  fix.minutes = (time - epoch_offset_days_) * kMinutesPerDay;
  const sgp4::TemeState state = propagator_->propagate(fix.minutes, cache_);
  if (state.error != sgp4::Sgp4Error::kNone) {
    failure_reason_ = sgp4::error_text(state.error);
    return false;
  }
  fix.sidereal = sidereal_angle(start_day_number_, time);
  fix.mean_anomaly = state.mean_anomaly;
  fix.teme_km = state.position_km;
  fix.teme_km_s = state.velocity_km_s;
  fix.earth_fixed = teme_to_earth_fixed(state.position_km, state.velocity_km_s, fix.sidereal);
  located_ = true;
  last_time_ = time;
  last_ = fix;
  return true;
}

}  // namespace vespera
