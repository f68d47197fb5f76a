// The filters of a trial point, each named for what it turns away, shared
// by the observation of both orbit models; observe_from_ground and
// observe_sgp4_point apply them in the same fixed order.
#pragma once

#include "prediction/brightness.h"
#include "prediction/observation.h"
#include "prediction/point_observation.h"

namespace vespera {

// Below the plane through the observer square to the site's radius (a value
// that is not a number fails too).
inline bool below_horizon_plane(float vertical) { return !(vertical > 0.0f); }

inline bool beyond_range_limit(const PointObservation& point, const ObservationFilters& filters) {
  return filters.rangeLimitOn && point.range > filters.rangeLimit;
}

inline bool below_altitude_window(const PointObservation& point, const ObservationFilters& filters) {
  return filters.altAzLimits && point.altitude < filters.altitudeMin;
}

inline bool above_altitude_window(const PointObservation& point, const ObservationFilters& filters) {
  return filters.altAzLimits && point.altitude > filters.altitudeMax;
}

inline bool outside_azimuth_window(const PointObservation& point, const ObservationFilters& filters) {
  return filters.altAzLimits &&
         !in_wrapped_window(point.azimuth, filters.azimuthMin, filters.azimuthMax);
}

inline bool outside_declination_window(const PointObservation& point, const ObservationFilters& filters) {
  return filters.raDecLimits && (point.dec < filters.decMin || point.dec > filters.decMax);
}

inline bool outside_right_ascension_window(const PointObservation& point,
                                    const ObservationFilters& filters) {
  return filters.raDecLimits && !in_wrapped_window(point.ra, filters.raMin, filters.raMax);
}

inline bool too_faint(PointObservation& point, const WalkSun& sun, const StandardMagnitude& magnitude,
               const ObservationFilters& filters) {
  return estimate_brightness(point, sun, magnitude.magnitude, magnitude.crossSection,
                             magnitude.ncat, filters.magnitudeLimit,
                             filters.defaultMagnitudeBoundary);
}

}  // namespace vespera
