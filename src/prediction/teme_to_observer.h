// From the SGP4 theory's frame to the observer.
//
// SGP4 gives its states in TEME, the "true equator, mean equinox" frame of
// the theory: its z axis is the true pole of date and its x axis the mean
// equinox of date projected onto the true equator. The frame is defined by
// the sidereal time the theory was built with, Greenwich mean sidereal time
// of the IAU 1982 model (Aoki et al. 1982; Vallado, Crawford, Hujsak and
// Kelso, "Revisiting Spacetrack Report #3", AIAA 2006-6753, section on
// coordinate frames): turning TEME by that angle about the pole gives the
// earth-fixed frame (pseudo earth-fixed, polar motion left out). That is
// why the turn is GMST IAU-82 and nothing newer. A modern earth rotation
// angle or a Greenwich apparent sidereal time would turn the frame by
// another angle: apparent sidereal time differs from mean by the equation of
// the equinoxes (up to about 1.2 seconds of time, some 18 arcseconds at the
// equator), so every position would be rotated by that much about the pole,
// an error of up to some 0.6 km at the satellite that the element sets,
// fitted in TEME, do not have. UT1 is taken as UTC (the element epochs and
// the engine's times are UTC, and the program keeps no table of UT1 - UTC):
// the difference, kept below 0.9 s, turns the earth by at most 14
// arcseconds, which moves a low satellite by up to 0.4 km across the sky
// (in 2017-2022 UT1 - UTC stayed within 0.4 s, at most 0.2 km).
//
// Polar motion (below 0.5 arcseconds) and refraction are left out; the
// site's vertical is the WGS-84 ellipsoid's normal (geodetic_site.h).
#pragma once

#include <cstdint>

#include "prediction/geodetic_site.h"
#include "prediction/vector3.h"

namespace vespera {

// The earth's rotation rate, rad/s (the IAU-82 mean sidereal rate).
inline constexpr double kEarthRotationRadPerSecond = 7.292115146706979e-5;

// A satellite's state in the earth-fixed frame (km, km/s), the velocity
// relative to the turning earth, with the sine and cosine of the sidereal
// angle that turned it.
struct EarthFixedState {
  Vector3 position_km{};
  Vector3 velocity_km_s{};
  double cos_sidereal = 1.0, sin_sidereal = 0.0;
};

// sidereal_angle: GMST IAU-82 (radians, [0, 2 pi)) at `time` engine days
// (UTC, taken as UT1) after 0h of day number `start_day_number`.
double sidereal_angle(int32_t start_day_number, double time);

// teme_to_earth_fixed: a TEME state turned by the sidereal angle `gmst`.
EarthFixedState teme_to_earth_fixed(const Vector3& position_km, const Vector3& velocity_km_s,
                                    double gmst);

// The satellite seen from the site: the line of sight (earth-fixed, km),
// its length and its parts along the site's local axes.
struct TopocentricView {
  Vector3 line_of_sight_km{};
  double range_km = 0.0;
  double east_km = 0.0, north_km = 0.0, up_km = 0.0;
};

// topocentric_view: the satellite at an earth-fixed position seen from the site.
TopocentricView topocentric_view(const Vector3& satellite_km, const GeodeticSite& site);

// altitude_of: from the geodetic horizon, radians. azimuth_of: from north
// through east, radians, [0, 2 pi).
double altitude_of(const TopocentricView& view);
double azimuth_of(const TopocentricView& view);

// The direction from the site to the satellite in TEME: right ascension
// (radians, [0, 2 pi)) and the sine and cosine of the declination of the date.
struct EquatorialDirection {
  double ra = 0.0;
  double sin_dec = 0.0, cos_dec = 1.0;
};

// topocentric_equatorial: the direction of the line of sight of `view` in
// TEME, given the state whose sidereal angle turned it.
EquatorialDirection topocentric_equatorial(const TopocentricView& view, const EarthFixedState& state);

}  // namespace vespera
