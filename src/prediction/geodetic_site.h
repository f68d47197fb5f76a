// The observing site on the WGS-84 ellipsoid, for the SGP4 model: its place
// in the earth-fixed frame and its local axes, with the vertical the
// ellipsoid's normal (the geodetic vertical, from which altitudes are
// measured); and the height of any earth-fixed point above the ellipsoid.
// The compact model keeps its own site on a sphere (site_setup.h).
#pragma once

#include "prediction/vector3.h"

namespace vespera {

// WGS-84: equatorial radius (km) and flattening.
inline constexpr double kWgs84RadiusKm = 6378.137;
inline constexpr double kWgs84Flattening = 1.0 / 298.257223563;
inline constexpr double kKilometresPerFoot = 0.0003048;

// Earth-fixed frame: x toward longitude 0 on the equator, z toward the north
// pole, y toward 90 degrees east; kilometres.
struct GeodeticSite {
  Vector3 position_km{};
  Vector3 east{};   // unit vectors of the local horizon and vertical
  Vector3 north{};
  Vector3 up{};
};

// geodetic_site: the site at a geodetic latitude (degrees, north positive),
// a west longitude (degrees, west positive, as the control file gives it)
// and a height above the ellipsoid (feet).
GeodeticSite geodetic_site(double latitude_deg, double west_longitude_deg, double height_feet);

// height_above_ellipsoid_km: the height of an earth-fixed point (km) above
// the WGS-84 ellipsoid, along the ellipsoid's normal.
double height_above_ellipsoid_km(const Vector3& position_km);

}  // namespace vespera
