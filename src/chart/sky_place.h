// Places on the sky: Julian days, Greenwich mean sidereal time, precession
// between equinoxes (IAU 1976) and the turn between right ascension and
// declination and altitude and azimuth. Degrees throughout; computed in
// double precision.
#pragma once

#include <cstdint>

namespace vespera::chart {

struct Equatorial {
  double raDegrees = 0.0;
  double decDegrees = 0.0;
};

struct Horizontal {
  double altitude = 0.0;
  double azimuth = 0.0;  // from north through east, 0 to 360
};

inline constexpr double kJ2000 = 2451545.0;  // Julian day of 2000 January 1, 12h

// julian_day: of a moment given as seconds since 1970-01-01 0h (UT).
double julian_day(int64_t seconds);
// julian_day_of_year: the Julian day of the Julian epoch `year` (2000.0 is J2000).
double julian_day_of_year(double year);
// greenwich_sidereal_degrees: the mean sidereal time at Greenwich, 0 to 360.
double greenwich_sidereal_degrees(double julian_day_ut);

// precess: a place referred to the mean equator and equinox of one date
// referred to those of another.
Equatorial precess(const Equatorial& place, double from_julian_day, double to_julian_day);

// horizontal_of: a place of the date seen at the local sidereal time
// (degrees) from the latitude.
Horizontal horizontal_of(const Equatorial& of_date, double local_sidereal_degrees, double latitude);

// hour_angle_of: the hour angle (degrees, west positive, -180 to 180) and
// declination of a direction seen from the latitude.
Equatorial hour_angle_of(const Horizontal& seen, double latitude);

// wrap_degrees: an angle in 0 to 360; wrap_half_turn: in -180 to 180.
double wrap_degrees(double degrees);
double wrap_half_turn(double degrees);

}  // namespace vespera::chart
