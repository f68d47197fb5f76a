// The observation of a trial point in the SGP4 model. The pass walk places
// its trial points in time with the compact orbit (time_of_u); here the SGP4
// theory places the satellite at that time, and every value of the point
// comes from that state: the range, altitude and azimuth from the site on
// the WGS-84 ellipsoid (geodetic vertical, no refraction), the height above
// the ellipsoid, the height above the shadow (the compact model's shadow
// cylinder, the satellite's geocentric place and the walk's sun), the
// topocentric right ascension and declination of the date in TEME, the
// brightness by the same rule, the days since the element set's own epoch
// and the tenth of the revolution from the propagated mean anomaly. The
// filters are the compact model's, applied in the same order.
#pragma once

#include "prediction/geodetic_site.h"
#include "prediction/observation.h"
#include "prediction/point_observation.h"
#include "prediction/sgp4_ephemeris.h"

namespace vespera {

// What the SGP4 model observes with besides the scope: the element set's
// ephemeris for the night and the site on the ellipsoid.
struct Sgp4Observer {
  Sgp4Ephemeris& ephemeris;
  const GeodeticSite& site;
};

// observe_sgp4_point: the trial point at engine time `time` with every
// filter, seen with the walk's sun. A time the theory cannot propagate ends
// the set (EndOfSet; the ephemeris says why).
PointOutcome observe_sgp4_point(const ObservationScope& scope, Sgp4Observer& sgp4, float time,
                                const WalkSun& sun, PointObservation& point);

// probe_sgp4_point: the direction probe at engine time `time`: its place in
// the sky, with the horizon plane as the only test. False when it lies below
// that plane or cannot be propagated.
bool probe_sgp4_point(Sgp4Observer& sgp4, float time, SkyDirection& direction);

}  // namespace vespera
