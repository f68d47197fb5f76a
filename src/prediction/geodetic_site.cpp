#include "prediction/geodetic_site.h"

#include <cmath>

namespace vespera {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
// First eccentricity squared of the ellipsoid.
constexpr double kEccentricitySquared = kWgs84Flattening * (2.0 - kWgs84Flattening);
// Fixed-point steps of the latitude of a point above the ellipsoid: each
// shrinks the error by about the eccentricity squared (1/150), so three
// leave far less than a millimetre at any height.
constexpr int kLatitudeIterations = 3;

// The radius of curvature in the prime vertical at a latitude with sine s.
double prime_vertical_radius(double s) {
  return kWgs84RadiusKm / std::sqrt(1.0 - kEccentricitySquared * s * s);
}

}  // namespace

GeodeticSite geodetic_site(double latitude_deg, double west_longitude_deg, double height_feet) {
  const double lat = latitude_deg * kRadiansPerDegree;
  const double lon = -west_longitude_deg * kRadiansPerDegree;  // east positive
  const double sin_lat = std::sin(lat), cos_lat = std::cos(lat);
  const double sin_lon = std::sin(lon), cos_lon = std::cos(lon);
  const double n = prime_vertical_radius(sin_lat);
  const double h = height_feet * kKilometresPerFoot;
  GeodeticSite site;
  site.position_km = {(n + h) * cos_lat * cos_lon, (n + h) * cos_lat * sin_lon,
                      (n * (1.0 - kEccentricitySquared) + h) * sin_lat};
  site.east = {-sin_lon, cos_lon, 0.0};
  site.north = {-sin_lat * cos_lon, -sin_lat * sin_lon, cos_lat};
  site.up = {cos_lat * cos_lon, cos_lat * sin_lon, sin_lat};
  return site;
}

double height_above_ellipsoid_km(const Vector3& position_km) {
  const double p = std::hypot(position_km[0], position_km[1]);
  const double z = position_km[2];
  const double polar_radius = kWgs84RadiusKm * (1.0 - kWgs84Flattening);
  if (p < 1.0e-9 * kWgs84RadiusKm) return std::fabs(z) - polar_radius;
  // The tangent of the geodetic latitude, by the fixed point
  // tan(lat) = (z + e^2 N sin(lat)) / p, without trigonometric functions.
  double t = z / (p * (1.0 - kEccentricitySquared));
  for (int i = 0; i < kLatitudeIterations; ++i) {
    const double s = t / std::sqrt(1.0 + t * t);
    t = (z + kEccentricitySquared * prime_vertical_radius(s) * s) / p;
  }
  const double c = 1.0 / std::sqrt(1.0 + t * t);
  const double s = t * c;
  // Along the normal: exact for the latitude found.
  return p * c + z * s - kWgs84RadiusKm * std::sqrt(1.0 - kEccentricitySquared * s * s);
}

}  // namespace vespera
