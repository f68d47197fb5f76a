// Properties of walked passes over real orbits: the ISS element set of
// tests/data searched over a week from a few sites, with every point checked
// against the run's limits and against an independent computation of the
// satellite's place in the sky from the same elements.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "elements/calendar.h"
#include "elements/element_source.h"
#include "observation_bench.h"
#include "prediction/angles.h"
#include "prediction/element_search.h"
#include "prediction/engine_run.h"
#include "prediction/orbit.h"
#include "prediction/prediction_sink.h"
#include "prediction/sun_window.h"

namespace vespera {
namespace {

// The element file copied to a short path (file names are 40-character fields).
class ShortCopy {
 public:
  ShortCopy() {
    char pattern[] = "/tmp/vwXXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/iss.tle";
    std::filesystem::copy_file(std::string(VESPERA_TEST_DATA) + "/iss-25544.tle", path_);
  }
  ~ShortCopy() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }

 private:
  std::string dir_, path_;
};

struct Site {
  float latitude_deg, west_longitude_deg;
};

// A week of the day loop over the element file, with the predictions the
// report writer would have received.
struct WeekOfPasses : testing::ObservationBench {
  WeekOfPasses(const std::string& element_file, const Site& where, bool walk, bool ignore_shadow) {
    settings.year = 2018;
    settings.month = 1;
    settings.firstDay = 21;
    settings.lastDay = 27;
    settings.windowLetter = 'A';  // whole days, from 0h UT
    settings.startOffsetHours = 0.0f;
    settings.endOffsetHours = 24.0f;
    settings.latitudeDeg = where.latitude_deg;
    settings.westLongitudeDeg = where.west_longitude_deg;
    settings.heightFeet = 300.0f;
    settings.equinoxYear = 2018;
    settings.magnitudeLimit = 12.0f;
    settings.minAltitudeDeg = 10;
    settings.minAltitude = 10 * 0.017453292f;
    settings.walkPasses = walk;
    settings.maxWalkSteps = 99;
    settings.ignoreShadow = ignore_shadow;
    settings.elementFileNames[0] = FileName(element_file);
    settings.elementFileCount = 1;
    catalogue->table.count = 1;
    catalogue->table[1].ncat = 25544;
    catalogue->table[1].magnitude = 1.0f;
    quiet = std::tmpfile();
    const int32_t start = monthBaseDayNumber(2018, 1, quiet, quiet);
    const EngineRun run = prepare_engine_run(settings, start, *catalogue, boundary);
    site = run.site;
    const ElementContext element_context{settings, *catalogue, quiet};
    EXPECT_EQ(elements.loadElementSets(element_context), 0);
    // The day loop, less its interrupt check and its reversed-window line.
    for (int32_t day = settings.firstDay; day <= settings.lastDay; ++day) {
      night = set_up_night(run.window, site, day);
      TableSink sink(*table, flusher, night, quiet);
      elements.rewindElementSets();
      while (elements.nextElementSet(element_context, set) == 0) {
        search_element_set(set, run, night, sink, StopToken());
      }
      flusher.flush_predictions(*table, night);
    }
  }
  ~WeekOfPasses() { std::fclose(quiet); }

  ElementSource elements;
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
  testing::CollectingFlusher flusher;
  std::FILE* quiet;
};

struct Sky {
  double altitude, azimuth;  // radians
  double ra, dec;            // radians, equator and equinox of the date
};

// The satellite's topocentric place at engine time T, computed directly from
// the element set in double precision and vectors: Kepler's equation at the
// mean anomaly of the revolution count, node and perigee turned with the
// revolutions, and the site rotated with the engine's sidereal time.
Sky independent_sky(const WeekOfPasses& run, double T) {
  const ElementSet& set = run.set;
  const double tE =
      (set.epochDay - run.site.start_day_number) + static_cast<double>(set.epochFraction);
  const double t = T - tE;
  const double revs = set.meanMotion * t + set.meanMotionDot * t * t;
  const double M = (revs - std::floor(revs)) * 2.0 * M_PI;
  const double e = set.eccentricity;
  double E = M;
  for (int i = 0; i < 20; ++i) E -= (E - e * std::sin(E) - M) / (1.0 - e * std::cos(E));
  const double nu =
      2.0 * std::atan2(std::sqrt(1 + e) * std::sin(E / 2), std::sqrt(1 - e) * std::cos(E / 2));
  const double n_now = set.meanMotion + 2.0 * set.meanMotionDot * t;
  const double a = 26249.041015625 / std::pow(n_now, 0.66666667);
  const double r = a * (1 - e * e) / (1 + e * std::cos(nu));
  const double u = nu + set.argPerigee + set.perigeePerRev * revs;
  const double node = set.nodeRa + set.nodePerRev * revs;
  const double i = set.inclination;
  const double sat[3] = {
      r * (std::cos(node) * std::cos(u) - std::sin(node) * std::sin(u) * std::cos(i)),
      r * (std::sin(node) * std::cos(u) + std::cos(node) * std::sin(u) * std::cos(i)),
      r * std::sin(u) * std::sin(i)};
  const double theta = gmst_radians(T, run.site.start_sidereal) - run.site.longitude;
  const double phi = run.site.latitude, rho = run.site.site_radius;
  const double obs[3] = {rho * std::cos(phi) * std::cos(theta),
                         rho * std::cos(phi) * std::sin(theta), rho * std::sin(phi)};
  const double dv[3] = {sat[0] - obs[0], sat[1] - obs[1], sat[2] - obs[2]};
  const double up[3] = {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta),
                        std::sin(phi)};
  const double north[3] = {-std::sin(phi) * std::cos(theta), -std::sin(phi) * std::sin(theta),
                           std::cos(phi)};
  const double east[3] = {-std::sin(theta), std::cos(theta), 0.0};
  const auto dot = [](const double* x, const double* y) {
    return x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
  };
  const double range = std::sqrt(dot(dv, dv));
  Sky sky;
  sky.altitude = std::asin(dot(dv, up) / range);
  sky.azimuth = std::atan2(dot(dv, east), dot(dv, north));
  if (sky.azimuth < 0) sky.azimuth += 2.0 * M_PI;
  sky.ra = std::atan2(dv[1], dv[0]);
  sky.dec = std::asin(dv[2] / range);
  return sky;
}

// Direction of motion on the sky from `from` toward `to`, degrees from the
// way up through the way of growing azimuth: the initial bearing of the great
// circle between them, with the zenith as the pole.
double direction_deg(const Sky& from, const Sky& to) {
  const double d_az = to.azimuth - from.azimuth;
  const double y = std::sin(d_az) * std::cos(to.altitude);
  const double x = std::cos(from.altitude) * std::sin(to.altitude) -
                   std::sin(from.altitude) * std::cos(to.altitude) * std::cos(d_az);
  double deg = std::atan2(y, x) * 180.0 / M_PI;
  if (deg < 0) deg += 360.0;
  return deg;
}

double angle_between(double alt1, double az1, double alt2, double az2) {
  const double c =
      std::sin(alt1) * std::sin(alt2) + std::cos(alt1) * std::cos(alt2) * std::cos(az1 - az2);
  return std::acos(std::min(1.0, std::max(-1.0, c)));
}

class WalkedPasses : public ::testing::TestWithParam<Site> {};

TEST_P(WalkedPasses, StoredPointsKeepTheirLimitsOrderAndPlaceInTheSky) {
  const ShortCopy file;
  for (const bool ignore_shadow : {true, false}) {
    WeekOfPasses run(file.path(), GetParam(), /*walk=*/true, ignore_shadow);
    const std::vector<testing::FlushedPrediction>& stored = run.flusher.written;
    if (ignore_shadow) {
      // Two to six ISS passes a day rise 10 degrees above these sites.
      EXPECT_GE(stored.size(), 7u * 2u);
    }
    double worst = 0.0;
    int passes = 0;
    std::vector<std::size_t> pass_starts;
    for (std::size_t k = 0; k < stored.size(); ++k) {
      const testing::FlushedPrediction& s = stored[k];
      const PredictionRecord& p = s.record;
      SCOPED_TRACE(::testing::Message() << "prediction " << k << " at " << s.time);
      EXPECT_GE(s.time, s.window.start);
      EXPECT_LE(s.time, s.window.end);
      EXPECT_GT(p.altitude, run.settings.minAltitude);
      EXPECT_LE(p.altitude, kHalfPi);
      EXPECT_GE(p.azimuth, 0.0f);
      EXPECT_LE(p.azimuth, kTwoPi);
      EXPECT_GE(p.direction, 0);
      EXPECT_LE(p.direction, 359);
      EXPECT_LE(p.magnitude, run.settings.magnitudeLimit);
      EXPECT_GE(p.time_error, 0);
      EXPECT_LE(p.time_error, 500);
      EXPECT_GE(p.orbit_tenths, 0);
      EXPECT_LE(p.orbit_tenths, 9);
      EXPECT_GT(p.height, 300);  // km
      EXPECT_LT(p.height, 450);
      if (!ignore_shadow) {
        EXPECT_GE(p.shadow_height, 0);
      }
      EXPECT_EQ(p.ncat, 25544);

      const Sky sky = independent_sky(run, s.time);
      const double altitude = sky.altitude, azimuth = sky.azimuth;
      // The two places may differ by a few miles along the track: float
      // times resolve 0.16 s at day 21, and the orbit model turns the
      // perigee once per revolution. A point within about a degree of the
      // zenith is taken as straight overhead (altitude 90, azimuth 0).
      const double tolerance_miles =
          p.altitude == kHalfPi ? 0.02 * static_cast<double>(p.range) : 5.0;
      const double miles_off =
          angle_between(altitude, azimuth, p.altitude, p.azimuth) * static_cast<double>(p.range);
      worst = std::max(worst, miles_off);
      EXPECT_LT(miles_off, tolerance_miles)
          << "independent altitude " << altitude * 57.29578 << " azimuth " << azimuth * 57.29578;
      // Right ascension and declination of the date (the equinox is the run's year).
      const double sky_miles_off = angle_between(sky.dec, sky.ra, p.declination * M_PI / 180.0,
                                                 p.right_ascension * M_PI / 12.0) *
                                   static_cast<double>(p.range);
      EXPECT_LT(sky_miles_off, tolerance_miles)
          << "independent RA " << sky.ra * 12.0 / M_PI << " h, dec " << sky.dec * 57.29578;
      // Direction of motion: the probe lies 0.005 rad of u (4.4 s) further on.
      if (p.altitude < 80.0f * 0.017453292f) {
        const Sky later =
            independent_sky(run, s.time + 0.005 / (2.0 * M_PI) / run.set.meanMotion);
        const double expected = direction_deg(sky, later);
        EXPECT_LT(std::fabs(std::remainder(expected - p.direction, 360.0)), 3.0)
            << "independent direction " << expected;
      }

      // A pass starts after a gap of more than 0.02 day (half an orbit).
      if (k == 0 || std::fabs(s.time - stored[k - 1].time) > 0.02f) pass_starts.push_back(k);
    }
    pass_starts.push_back(stored.size());

    // Within a pass, in the order stored: the point at u* (unless it was in
    // shadow), the points walking back, earlier and earlier, then the points
    // walking forward, later and later; every point back is earlier than
    // every point forward.
    for (std::size_t n = 0; n + 1 < pass_starts.size(); ++n) {
      const std::size_t first = pass_starts[n], end = pass_starts[n + 1];
      SCOPED_TRACE(::testing::Message() << "pass from " << stored[first].time);
      float latest_back = -1.0f, earliest_forward = 1.0e9f;
      for (std::size_t k = first; k < end; ++k) {
        const int16_t state = stored[k].record.walk_state;
        const float time = stored[k].time;
        if (k > first) {
          const testing::FlushedPrediction& before = stored[k - 1];
          EXPECT_GE(state, before.record.walk_state);
          if (state == before.record.walk_state) {
            if (state == 1) {
              EXPECT_LT(time, before.time);
            } else if (state == 2) {
              EXPECT_GT(time, before.time);
            }
          }
        }
        if (state == 0) {
          EXPECT_EQ(k, first);
          ++passes;
        }
        if (state == 1) latest_back = std::max(latest_back, time);
        if (state == 2) earliest_forward = std::min(earliest_forward, time);
        if (state == 2) {
          EXPECT_GT(time, latest_back);
        }
      }
      if (stored[first].record.walk_state == 0) {
        EXPECT_LT(stored[first].time, earliest_forward);
      }
    }
    if (ignore_shadow) {
      EXPECT_GE(passes, 7 * 2);
    }
    RecordProperty(ignore_shadow ? "worst_offset_miles_all" : "worst_offset_miles_lit",
                   std::to_string(worst));
  }
}

INSTANTIATE_TEST_SUITE_P(Sites, WalkedPasses,
                         ::testing::Values(Site{40.0f, 75.0f}, Site{51.5f, 0.1f},
                                           Site{-33.9f, -151.2f}, Site{10.0f, -100.0f}));

TEST(WalkedPassesTest, WithoutWalkingEachPassGivesOnePoint) {
  const ShortCopy file;
  WeekOfPasses walked(file.path(), Site{40.0f, 75.0f}, true, true);
  WeekOfPasses single(file.path(), Site{40.0f, 75.0f}, false, true);
  int walked_passes = 0;
  for (const testing::FlushedPrediction& s : walked.flusher.written) walked_passes += s.record.walk_state == 0 ? 1 : 0;
  // With shadow ignored every first point is accepted as it stands.
  ASSERT_EQ(static_cast<int>(single.flusher.written.size()), walked_passes);
  for (const testing::FlushedPrediction& s : single.flusher.written) EXPECT_EQ(s.record.walk_state, 0);
}

}  // namespace
}  // namespace vespera
