#include "prediction/site_setup.h"

#include <cmath>

#include "prediction/angles.h"

namespace vespera {

namespace {

// Day number of 1950 January 0, the origin of the sidereal and precession terms.
constexpr double kDayNumber1950 = 33281.0;
constexpr double kDaysPerCentury = 36525.0;
// Precession in right ascension (m) and declination (n), radians per century.
constexpr float kPrecessionRaPerCentury = 0.022348f;
constexpr float kPrecessionDecPerCentury = 0.009717f;
constexpr float kRadiansPerHourAngle = 0.2617994f;  // 15 degrees
// Geodetic to geocentric latitude, degrees per unit of sin(2 latitude).
constexpr float kGeocentricCorrectionDeg = 0.1931f;
// Geocentric radius of the sea-level surface: (kRadiusCos2Lat cos 2phi +
// kRadiusMean) earth radii.
constexpr float kRadiusCos2Lat = 0.001683f;
constexpr float kRadiusMean = 0.99832f;
constexpr float kEarthRadiusMiles = 3963.345f;
constexpr double kFeetPerMile = 5280.0;
constexpr float kSiteRateScale = 990.8f;

}  // namespace

void setup_site(const RunSettings& settings, int32_t start_day_number, SiteGeometry& site) {
  site.start_day_number = start_day_number;

  // Centuries from the equinox of the requested frame to the run's start.
  const float centuries = static_cast<float>(
      (static_cast<double>(start_day_number) - kDayNumber1950) / kDaysPerCentury -
      (static_cast<double>(settings.equinoxYear) - 1950.0) * static_cast<double>(0.01f));
  site.precession_ra = static_cast<float>(static_cast<double>(centuries) *
                                          static_cast<double>(kPrecessionRaPerCentury) /
                                          static_cast<double>(kRadiansPerHourAngle));
  site.precession_dec = static_cast<float>(static_cast<double>(centuries) *
                                           static_cast<double>(kPrecessionDecPerCentury) /
                                           static_cast<double>(kRadiansPerHourAngle));

  const double lat_deg = settings.latitudeDeg;
  const float two_lat = static_cast<float>(2.0 * lat_deg * static_cast<double>(kRadiansPerDegree));
  site.latitude = static_cast<float>((lat_deg - static_cast<double>(kGeocentricCorrectionDeg) *
                                                    std::sin(static_cast<double>(two_lat))) *
                                     static_cast<double>(kRadiansPerDegree));
  site.longitude = static_cast<float>(static_cast<double>(settings.westLongitudeDeg) *
                                      static_cast<double>(kRadiansPerDegree));
  site.site_radius = static_cast<float>(
      static_cast<double>(settings.heightFeet) / kFeetPerMile +
      (static_cast<double>(kRadiusCos2Lat) * std::cos(static_cast<double>(two_lat)) +
       static_cast<double>(kRadiusMean)) *
          static_cast<double>(kEarthRadiusMiles));

  site.sin_lat = static_cast<float>(std::sin(static_cast<double>(site.latitude)));
  // At a pole the float latitude lies just beyond pi/2: its cosine is taken
  // without sign, as for every other latitude.
  site.cos_lat = static_cast<float>(std::fabs(std::cos(static_cast<double>(site.latitude))));
  site.site_rate_factor =
      static_cast<float>(static_cast<double>(site.cos_lat) * static_cast<double>(kSiteRateScale));

  site.start_sidereal = day_sidereal_fraction(static_cast<float>(start_day_number));
}

}  // namespace vespera
