// An independent, textbook computation of the sky that the report describes:
// the time of a report line in UT, the sidereal time, the site on the WGS-84
// ellipsoid, the sun from the low-precision formulas of the Astronomical
// Almanac, the satellite's place rebuilt from its altitude, azimuth and range,
// and the IAU 1976 precession to J2000. All in double precision, kilometres
// and radians. The engine's own model is compact and different; the tests
// compare the two with tolerances that come from the printed precision and
// from the size of the engine's approximations.
#pragma once

#include <array>
#include <cmath>
#include <string>

#include "end_to_end_support.h"

namespace vespera::e2e {

using Vec = std::array<double, 3>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kKmPerMile = 1.609344;

inline double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm(const Vec& a) { return std::sqrt(dot(a, a)); }
inline Vec add(const Vec& a, const Vec& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Vec scale(const Vec& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
inline Vec unit(const Vec& a) { return scale(a, 1.0 / norm(a)); }

// Angle between two directions, radians.
inline double separation(const Vec& a, const Vec& b) {
  double c = dot(unit(a), unit(b));
  return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

// Modified Julian Date of 0h of a Gregorian calendar date.
inline double mjd_of_date(int year, int month, int day) {
  if (month <= 2) {
    year -= 1;
    month += 12;
  }
  int a = year / 100;
  int b = 2 - a + a / 4;
  double jd = std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + b - 1524.5;
  return jd - 2400000.5;
}

inline int month_number(const std::string& name4) {
  static const std::string names = "Jan Feb Mar Apr May JuneJulyAug SeptOct Nov Dec ";
  for (int m = 0; m < 12; ++m) {
    if (names.compare(static_cast<std::size_t>(m) * 4, 4, name4) == 0) return m + 1;
  }
  return 0;
}

// UT of a report line as an MJD: the local date of its day header, the local
// clock time of the line (24-hour clock), less the zone offset. A line on an
// evening header whose hour is before noon belongs to the next local date
// (a pass group that ran past midnight).
inline double line_mjd(const DayHeader& header, const PredictionLine& line, double zone_offset_hours) {
  double local = mjd_of_date(header.year, month_number(header.month), header.day);
  if (header.evening && line.hour < 12) local += 1.0;
  local += (line.hour + line.minute / 60.0 + line.second / 3600.0) / 24.0;
  return local - zone_offset_hours / 24.0;
}

// Greenwich mean sidereal time, radians.
inline double gmst(double mjd) {
  double d = mjd - 51544.5;
  return std::fmod(280.46061837 + 360.98564736629 * d, 360.0) * kDeg;
}

// Unit vector toward the sun, equator and equinox of date (accurate to about
// 0.01 degree).
inline Vec sun_direction(double mjd) {
  double n = mjd - 51544.5;
  double l = (280.460 + 0.9856474 * n) * kDeg;
  double g = (357.528 + 0.9856003 * n) * kDeg;
  double lambda = l + (1.915 * std::sin(g) + 0.020 * std::sin(2 * g)) * kDeg;
  double eps = (23.439 - 0.0000004 * n) * kDeg;
  return {std::cos(lambda), std::cos(eps) * std::sin(lambda), std::sin(eps) * std::sin(lambda)};
}

// The observing site in the equatorial frame of date: geodetic latitude and
// west longitude in degrees, height in metres.
struct Site {
  double lat_deg, west_lon_deg, height_m;

  double local_sidereal(double mjd) const { return gmst(mjd) - west_lon_deg * kDeg; }

  Vec position(double mjd) const {
    const double a = 6378.137, f = 1.0 / 298.257223563;
    double phi = lat_deg * kDeg;
    double e2 = f * (2 - f);
    double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    double h = height_m / 1000.0;
    double xy = (n + h) * std::cos(phi), z = (n * (1 - e2) + h) * std::sin(phi);
    double theta = local_sidereal(mjd);
    return {xy * std::cos(theta), xy * std::sin(theta), z};
  }

  // Local axes (east, north, up) in the equatorial frame of date.
  void axes(double mjd, Vec& east, Vec& north, Vec& up) const {
    double phi = lat_deg * kDeg, theta = local_sidereal(mjd);
    east = {-std::sin(theta), std::cos(theta), 0.0};
    north = {-std::sin(phi) * std::cos(theta), -std::sin(phi) * std::sin(theta), std::cos(phi)};
    up = {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
  }

  // Direction of a point of the sky given by altitude and azimuth (radians,
  // azimuth from north through east).
  Vec direction(double mjd, double alt, double az) const {
    Vec e, n, u;
    axes(mjd, e, n, u);
    return add(add(scale(e, std::cos(alt) * std::sin(az)), scale(n, std::cos(alt) * std::cos(az))),
               scale(u, std::sin(alt)));
  }

  // Altitude of a direction above the horizon, radians.
  double altitude(double mjd, const Vec& direction) const {
    Vec e, n, u;
    axes(mjd, e, n, u);
    return std::asin(dot(unit(direction), u));
  }
};

// Right ascension and declination of a direction, radians.
inline void ra_dec(const Vec& v, double& ra, double& dec) {
  ra = std::atan2(v[1], v[0]);
  if (ra < 0) ra += 2 * kPi;
  dec = std::asin(v[2] / norm(v));
}

// A direction of the equator and equinox of date referred to J2000 (IAU 1976
// precession).
inline Vec precess_to_j2000(const Vec& v, double mjd) {
  double t = (mjd - 51544.5) / 36525.0;
  double as = kDeg / 3600.0;
  double zeta = (2306.2181 * t + 0.30188 * t * t) * as;
  double z = (2306.2181 * t + 1.09468 * t * t) * as;
  double theta = (2004.3109 * t - 0.42665 * t * t) * as;
  // P = Rz(-z) Ry(theta) Rz(-zeta) takes J2000 to date; apply its transpose.
  double cz = std::cos(zeta), sz = std::sin(zeta), cZ = std::cos(z), sZ = std::sin(z);
  double ct = std::cos(theta), st = std::sin(theta);
  double p[3][3] = {{cZ * ct * cz - sZ * sz, -cZ * ct * sz - sZ * cz, -cZ * st},
                    {sZ * ct * cz + cZ * sz, -sZ * ct * sz + cZ * cz, -sZ * st},
                    {st * cz, -st * sz, ct}};
  return {p[0][0] * v[0] + p[1][0] * v[1] + p[2][0] * v[2], p[0][1] * v[0] + p[1][1] * v[1] + p[2][1] * v[2],
          p[0][2] * v[0] + p[1][2] * v[1] + p[2][2] * v[2]};
}

// Direction on the sky from the point (alt1, az1) toward (alt2, az2), in
// the report's convention: 0 straight up, 90 level toward increasing
// azimuth, 180 straight down, 270 toward decreasing azimuth. Degrees.
inline double sky_bearing(double alt1, double az1, double alt2, double az2) {
  // Spherical bearing with the zenith as the pole: the azimuth-increasing
  // side is "east" of the great circle through the zenith.
  double y = std::sin(az2 - az1) * std::cos(alt2);
  double x = std::cos(alt1) * std::sin(alt2) - std::sin(alt1) * std::cos(alt2) * std::cos(az2 - az1);
  double b = std::atan2(y, x) / kDeg;
  return b < 0 ? b + 360.0 : b;
}

inline double angle_difference_deg(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return std::fabs(d);
}

}  // namespace vespera::e2e
