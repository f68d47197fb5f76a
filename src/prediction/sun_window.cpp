#include "prediction/sun_window.h"

#include <cmath>

#include "prediction/angles.h"

namespace vespera {

namespace {

// Day number (plus fraction) at which the mean longitude term is zero.
constexpr double kSunLongitudeEpoch = 53086.0;
constexpr float kSunLongitudeEpochFraction = 0.24f;
constexpr float kSunMeanMotionPerDay = 0.01720274f;  // radians per day
constexpr float kCosObliquity = 0.91745f;
constexpr float kSinObliquity = 0.39785f;
constexpr float kSecondsOfTimePerDegree = 240.0f;
// The declination's sign changes where the right ascension lies within this
// of pi (between pi/2 and 3 pi/2).
constexpr double kQuarterTurn = 1.570796251296997;
// Zenith distance of the sun at the twilight limit, 100 degrees.
constexpr double kTwilightZenithRadians = 1.7453292608261108;
// Origin and rate of the sidereal time at 0h.
constexpr double kSiderealEpoch = 39024.0;
constexpr float kSiderealEpochFraction = 0.3464f;
constexpr float kSiderealHoursPerDay = 0.0657098f;  // gain on solar time, hours per day
constexpr float kTwiceHoursPerRadian = 7.6394372f;  // 24 / pi: the arc 2H in hours

// In twilight mode the sun is taken at 12h UT of the day before the day
// index, so that the evening and the next morning both fall on it.
constexpr double kTwilightSunLeadDays = 0.5;
constexpr double kHoursPerDay = 24.0;

// Windows relative to the twilights unless the report is a radar listing or
// the control file asks for absolute hours of UT.
bool twilight_mode(const RunSettings& settings) {
  return !settings.radarFormat && settings.windowLetter != 'A';
}

double d(float x) { return static_cast<double>(x); }
float f(double x) { return static_cast<float>(x); }

}  // namespace

SunPlace sun_place(float day_number) {
  const float L =
      static_cast<float>((d(day_number) - kSunLongitudeEpoch - d(kSunLongitudeEpochFraction)) *
                         d(kSunMeanMotionPerDay));
  const float s = static_cast<float>(std::sin(d(L)));
  const float c = static_cast<float>(std::cos(d(L)));
  const float s2 = static_cast<float>(2.0 * d(s) * d(c));
  const float c2 = static_cast<float>(2.0 * d(c) * d(c) - 1.0);
  // Equation of time: the bracket is in seconds of time.
  const float E = static_cast<float>((d(19.3f) * (d(c) * d(c2) - d(s) * d(s2)) +
                                      d(4.0f) * (d(c) * d(s2) + d(s) * d(c2)) -
                                      d(25.4f) * d(s2) * d(c2) - d(97.8f) * d(s) -
                                      d(431.3f) * d(c) + d(596.6f) * d(s2) - d(1.9f) * d(c2)) /
                                     d(kSecondsOfTimePerDegree) * d(kRadiansPerDegree));
  float alpha = static_cast<float>(d(L) - d(E));
  const float q = static_cast<float>(std::sin(d(alpha)) / (std::cos(d(alpha)) * d(kCosObliquity)));
  float sin_dec = static_cast<float>(d(q) / std::sqrt(d(q) * d(q) + 1.0) * d(kSinObliquity));
  const float cos_dec = static_cast<float>(std::sqrt(1.0 - d(sin_dec) * d(sin_dec)));
  wrap_two_pi(alpha);
  // q = tan(alpha) / cos(obliquity) gives the declination's size with the
  // sign of tan(alpha); between pi/2 and 3 pi/2 that sign is the opposite of
  // the declination's, so it is reversed there.
  if (std::fabs(d(alpha) - d(kPi)) - kQuarterTurn <= 0.0) sin_dec = -sin_dec;
  return SunPlace{alpha, sin_dec, cos_dec};
}

void sun_window(float day_number, float latitude, float west_longitude, float& evening_twilight,
                float& morning_twilight, SunTrack& sun) {
  const SunPlace now = sun_place(day_number);
  const SunPlace next = sun_place(static_cast<float>(d(day_number) + 1.0));
  sun.ra = now.ra;
  sun.sin_dec = now.sin_dec;
  sun.cos_dec = now.cos_dec;
  sun.ra_per_day = static_cast<float>(d(next.ra) - d(now.ra));
  if (sun.ra_per_day < -4.0f) sun.ra_per_day = static_cast<float>(d(sun.ra_per_day) + d(kTwoPi));
  sun.sin_dec_per_day = static_cast<float>(d(next.sin_dec) - d(now.sin_dec));
  sun.cos_dec_per_day = static_cast<float>(d(next.cos_dec) - d(now.cos_dec));

  // Hour angle of the sun at 100 degrees from the zenith. The cosine of the
  // latitude is taken without sign: a pole's float latitude lies just beyond
  // pi/2, where the signed cosine would turn polar night into polar day.
  const float H = clamped_arccos(static_cast<float>(
      (std::cos(kTwilightZenithRadians) - std::sin(d(latitude)) * d(sun.sin_dec)) /
      (std::fabs(std::cos(d(latitude))) * d(sun.cos_dec))));

  // Greenwich sidereal time at 0h, hours. Before the origin of the term
  // (1965) the fraction taken toward zero is negative; it is taken into
  // [0, 1) as after it, else the evening would come out a whole day late on
  // part of the year's dates.
  float g = static_cast<float>((d(day_number) - kSiderealEpoch - d(kSiderealEpochFraction)) *
                               d(kSiderealHoursPerDay) / 24.0);
  double g_fraction = d(g) - std::trunc(d(g));
  if (g_fraction < 0.0) g_fraction += 1.0;
  g = static_cast<float>(g_fraction * 24.0);

  float evening = static_cast<float>((d(sun.ra) + d(H)) * d(kHoursPerRadian));
  if (evening >= 24.0f) evening = static_cast<float>(d(evening) - 24.0);
  evening = static_cast<float>(d(evening) - d(g));
  if (evening >= 12.0f) evening = static_cast<float>(d(evening) - 24.0);
  evening = static_cast<float>(d(evening) + d(west_longitude) * d(kHoursPerRadian));
  evening_twilight = evening;
  morning_twilight = static_cast<float>(d(evening) + 24.0 - d(H) * d(kTwiceHoursPerRadian));
}

WindowSettings window_settings(const RunSettings& settings) {
  return WindowSettings{twilight_mode(settings), settings.startOffsetHours,
                        settings.endOffsetHours};
}

NightState set_up_night(const WindowSettings& settings, const SiteGeometry& site, int32_t i) {
  NightState night;
  const bool twilight = settings.twilight;
  const float day = static_cast<float>(i);
  const float reference_time = twilight ? f(d(day) - kTwilightSunLeadDays) : day;
  const float day_number = f(static_cast<double>(site.start_day_number) + d(reference_time));
  sun_window(day_number, site.latitude, site.longitude, night.evening_twilight,
             night.morning_twilight, night.sun);
  night.sun.reference_time = reference_time;
  if (twilight) {
    night.window.start =
        f(d(day) + (d(night.evening_twilight) + d(settings.startOffsetHours)) / kHoursPerDay);
    night.window.end =
        f(d(day) + (d(night.morning_twilight) + d(settings.endOffsetHours)) / kHoursPerDay);
  } else {
    night.window.start = f(d(day) + d(settings.startOffsetHours) / kHoursPerDay);
    night.window.end = f(d(day) + d(settings.endOffsetHours) / kHoursPerDay);
  }
  return night;
}

}  // namespace vespera
