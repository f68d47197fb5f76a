#include "prediction/teme_to_observer.h"

#include <cmath>

#include "elements/calendar.h"
#include "sgp4/sidereal_time.h"
#include "vocabulary/units.h"

namespace vespera {

namespace {

double wrap_positive(double angle) {
  angle -= kTwoPiDouble * std::trunc(angle / kTwoPiDouble);
  return angle < 0.0 ? angle + kTwoPiDouble : angle;
}

}  // namespace

double sidereal_angle(int32_t start_day_number, double time) {
  return sgp4::gmst_iau82(static_cast<double>(start_day_number) + kJulianDateOfDayNumberZero, time);
}

EarthFixedState teme_to_earth_fixed(const Vector3& position_km, const Vector3& velocity_km_s,
                                    double gmst) {
  const double c = std::cos(gmst), s = std::sin(gmst);
  EarthFixedState state;
  state.cos_sidereal = c;
  state.sin_sidereal = s;
  const Vector3& r = position_km;
  const Vector3& v = velocity_km_s;
  state.position_km = {c * r[0] + s * r[1], -s * r[0] + c * r[1], r[2]};
  // The frame turns with the earth: less omega x r.
  const Vector3& p = state.position_km;
  state.velocity_km_s = {c * v[0] + s * v[1] + kEarthRotationRadPerSecond * p[1],
                         -s * v[0] + c * v[1] - kEarthRotationRadPerSecond * p[0], v[2]};
  return state;
}

TopocentricView topocentric_view(const Vector3& satellite_km, const GeodeticSite& site) {
  TopocentricView view;
  view.line_of_sight_km = difference(satellite_km, site.position_km);
  const Vector3& d = view.line_of_sight_km;
  view.east_km = dot(d, site.east);
  view.north_km = dot(d, site.north);
  view.up_km = dot(d, site.up);
  view.range_km = length(d);
  return view;
}

double altitude_of(const TopocentricView& view) {
  return std::atan2(view.up_km, std::hypot(view.east_km, view.north_km));
}

double azimuth_of(const TopocentricView& view) {
  return wrap_positive(std::atan2(view.east_km, view.north_km));
}

EquatorialDirection topocentric_equatorial(const TopocentricView& view, const EarthFixedState& state) {
  const double c = state.cos_sidereal, s = state.sin_sidereal;
  const Vector3& d = view.line_of_sight_km;
  const double x = c * d[0] - s * d[1];
  const double y = s * d[0] + c * d[1];
  EquatorialDirection direction;
  direction.ra = wrap_positive(std::atan2(y, x));
  direction.sin_dec = d[2] / view.range_km;
  direction.cos_dec = std::hypot(x, y) / view.range_km;
  return direction;
}

}  // namespace vespera
