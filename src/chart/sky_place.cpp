#include "chart/sky_place.h"

#include <array>
#include <cmath>

#include "vocabulary/units.h"

namespace vespera::chart {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadian = kPi / 180.0;
constexpr double kArcsecond = kRadian / 3600.0;
constexpr double kUnixEpochJulianDay = 2440587.5;
constexpr double kDaysPerCentury = 36525.0;

using Matrix = std::array<std::array<double, 3>, 3>;
using Vector = std::array<double, 3>;

// The precession matrix from J2000 to the date T Julian centuries after it
// (Lieske 1977: zeta, z and theta).
Matrix precession_from_j2000(double t) {
  const double zeta = (2306.2181 + (0.30188 + 0.017998 * t) * t) * t * kArcsecond;
  const double z = (2306.2181 + (1.09468 + 0.018203 * t) * t) * t * kArcsecond;
  const double theta = (2004.3109 - (0.42665 + 0.041833 * t) * t) * t * kArcsecond;
  const double cz = std::cos(zeta), sz = std::sin(zeta);
  const double cZ = std::cos(z), sZ = std::sin(z);
  const double ct = std::cos(theta), st = std::sin(theta);
  return Matrix{{{cZ * ct * cz - sZ * sz, -cZ * ct * sz - sZ * cz, -cZ * st},
                 {sZ * ct * cz + cZ * sz, -sZ * ct * sz + cZ * cz, -sZ * st},
                 {st * cz, -st * sz, ct}}};
}

Vector unit_vector(const Equatorial& p) {
  const double ra = p.raDegrees * kRadian, dec = p.decDegrees * kRadian;
  return Vector{std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

}  // namespace

double wrap_degrees(double degrees) {
  const double d = std::fmod(degrees, 360.0);
  return d < 0.0 ? d + 360.0 : d;
}

double wrap_half_turn(double degrees) {
  const double d = wrap_degrees(degrees);
  return d >= 180.0 ? d - 360.0 : d;
}

double julian_day(int64_t seconds) {
  return kUnixEpochJulianDay + static_cast<double>(seconds) / kSecondsPerDay;
}

double julian_day_of_year(double year) { return kJ2000 + (year - 2000.0) * 365.25; }

double greenwich_sidereal_degrees(double julian_day_ut) {
  const double d = julian_day_ut - kJ2000;
  const double t = d / kDaysPerCentury;
  return wrap_degrees(280.46061837 + 360.98564736629 * d + (0.000387933 - t / 38710000.0) * t * t);
}

Equatorial precess(const Equatorial& place, double from_julian_day, double to_julian_day) {
  const Matrix from = precession_from_j2000((from_julian_day - kJ2000) / kDaysPerCentury);
  const Matrix to = precession_from_j2000((to_julian_day - kJ2000) / kDaysPerCentury);
  const Vector v = unit_vector(place);
  Vector j2000{}, out{};
  for (int i = 0; i < 3; ++i) {  // back to J2000 by the transposed matrix
    for (int k = 0; k < 3; ++k) j2000[i] += from[k][i] * v[k];
  }
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k) out[i] += to[i][k] * j2000[k];
  }
  const double dec = std::asin(std::fmax(-1.0, std::fmin(1.0, out[2])));
  return Equatorial{wrap_degrees(std::atan2(out[1], out[0]) / kRadian), dec / kRadian};
}

Horizontal horizontal_of(const Equatorial& of_date, double local_sidereal_degrees, double latitude) {
  const double h = (local_sidereal_degrees - of_date.raDegrees) * kRadian;
  const double dec = of_date.decDegrees * kRadian, phi = latitude * kRadian;
  const double sin_alt = std::sin(phi) * std::sin(dec) + std::cos(phi) * std::cos(dec) * std::cos(h);
  const double altitude = std::asin(std::fmax(-1.0, std::fmin(1.0, sin_alt)));
  const double azimuth = std::atan2(-std::cos(dec) * std::sin(h),
                                    std::sin(dec) * std::cos(phi) - std::cos(dec) * std::cos(h) * std::sin(phi));
  return Horizontal{altitude / kRadian, wrap_degrees(azimuth / kRadian)};
}

Equatorial hour_angle_of(const Horizontal& seen, double latitude) {
  const double alt = seen.altitude * kRadian, az = seen.azimuth * kRadian, phi = latitude * kRadian;
  const double sin_dec = std::sin(alt) * std::sin(phi) + std::cos(alt) * std::cos(phi) * std::cos(az);
  const double dec = std::asin(std::fmax(-1.0, std::fmin(1.0, sin_dec)));
  const double h = std::atan2(-std::sin(az) * std::cos(alt),
                              std::cos(phi) * std::sin(alt) - std::sin(phi) * std::cos(alt) * std::cos(az));
  return Equatorial{wrap_half_turn(h / kRadian), dec / kRadian};
}

}  // namespace vespera::chart
