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
#include "prediction/illumination.h"
#include "prediction/observation.h"
#include "prediction/pass_walk.h"
#include "prediction/point_observation.h"
#include "prediction/sgp4_ephemeris.h"

namespace vespera {

// What the SGP4 model observes with besides the scope: the element set's
// ephemeris for the night and the site on the ellipsoid; and the state of
// the last accepted point, from which its direction probe is placed.
struct Sgp4Observer {
  Sgp4Ephemeris& ephemeris;
  const GeodeticSite& site;
  bool accepted = false;  // `last` holds the last point accepted
  float last_time = 0.0f;
  SatelliteFix last;
};

// observe_sgp4_point: the trial point at engine time `time` with every
// filter, seen with the walk's sun. A time the theory cannot propagate ends
// the set (EndOfSet; the ephemeris says why).
PointOutcome observe_sgp4_point(const ObservationScope& scope, Sgp4Observer& sgp4, float time,
                                const WalkSun& sun, PointObservation& point);

// sun_angle_cosine: the cosine of the angle at the earth's centre between a
// TEME position (km) and the walk's sun, both taken in the equatorial frame
// of the date.
float sun_angle_cosine(const Vector3& teme_km, const WalkSun& sun);

// probe_sgp4_point: the direction probe at engine time `time`, a few
// seconds after the point last accepted: its place in the sky, with the
// horizon plane as the only test. The probe's place is that point's SGP4
// state carried on to the probe's time by the earth's central attraction
// (a second-order step: some centimetres from the propagated place over the
// seconds to a probe, far below what the direction of motion, in whole
// degrees, could show) rather than a propagation of its own. False when it
// lies below that plane (or no point has been accepted).
bool probe_sgp4_point(Sgp4Observer& sgp4, float time, SkyDirection& direction);

// Sgp4TrialPoints: the trial points of a walk in the SGP4 model, placed in
// time on the candidate's crossing by the compact orbit and seen with the
// SGP4 state at that time and the walk's sun.
class Sgp4TrialPoints final : public TrialPoints {
 public:
  Sgp4TrialPoints(const ObservationScope& scope, Sgp4Observer& sgp4) : scope_(scope), sgp4_(sgp4) {}
  void begin_walk() override { sun_.forget(); }
  PointOutcome observe(float u, PointObservation& point) override;
  bool probe(float u, SkyDirection& direction) override;

 private:
  const ObservationScope& scope_;
  Sgp4Observer& sgp4_;
  WalkStartSun sun_;
};

}  // namespace vespera
