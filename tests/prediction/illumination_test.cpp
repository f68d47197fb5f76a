#include "prediction/illumination.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#if defined(__GLIBC__)
#include <fenv.h>
#endif

#include "prediction/angles.h"
#include "prediction/pass_walk_values.h"

namespace vespera {
namespace {

// A site of radius rho with sidereal time 0 at engine time 0, a sun track at
// right ascension 0 on the equator, and a point over the equator at west
// longitude `west` (radians) and `height` miles above the site radius, at time 0.
struct Scene {
  SiteGeometry site;
  SunTrack track;
  PointObservation point;
  Scene(float rho, float west, float height) {
    site.site_radius = rho;
    point.time = 0.0f;
    point.west_lon = west;
    point.sin_lat_s = 0.0f;
    point.cos_lat_s = 1.0f;
    point.r = rho + height;
    point.height = height;
  }
  bool shadowed(bool ignore = false) {
    return illuminate(point, sun_at_walk_start(track, point.time), site, ignore);
  }
};

TEST(IlluminationTest, OverTheDaySideEveryHeightIsLit) {
  // The sun stands over the sub-satellite point: cos_psi would be +1.
  Scene scene(3963.345f, 0.0f, 1.0f);
  EXPECT_FALSE(scene.shadowed());
  EXPECT_EQ(scene.point.cos_psi, 0.0f);
  EXPECT_EQ(scene.point.shadow_height, scene.point.r - 3963.345f);
}

TEST(IlluminationTest, StraightBehindTheEarthIsDeepShadowWithoutATrap) {
  // Sun hour angle 0, satellite at west longitude pi: cos_psi = -1.
#if defined(__GLIBC__)
  feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(FE_DIVBYZERO | FE_INVALID);
#endif
  Scene scene(3963.345f, kPi, 20000.0f);
  const bool shadowed = scene.shadowed();
  const bool ignored = scene.shadowed(/*ignore=*/true);
  const int32_t reported = report_distance(scene.point.shadow_height, false);
#if defined(__GLIBC__)
  fedisableexcept(FE_DIVBYZERO | FE_INVALID);
#endif
  EXPECT_EQ(scene.point.cos_psi, -1.0f);
  EXPECT_EQ(scene.point.shadow_height, -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(shadowed);
  EXPECT_FALSE(ignored);  // ignoreShadow reports it all the same
  EXPECT_EQ(reported, std::numeric_limits<int32_t>::min());
}

TEST(IlluminationTest, ShadowAllowanceGrowsWithDepthAndItsEdgeIsLit) {
  // With a site radius of 0 the shadow height equals r; a sun 30 degrees
  // south and a satellite at the north pole give cos_psi = -0.5, so the
  // allowance is 20 miles.
  for (const auto& [r, shadowed] :
       {std::pair{20.0f, false}, std::pair{19.99f, true}, std::pair{20.01f, false}}) {
    Scene scene(0.0f, 0.0f, r);
    scene.point.sin_lat_s = 1.0f;
    scene.point.cos_lat_s = 0.0f;
    scene.track.sin_dec = -0.5f;
    scene.track.cos_dec = 0.8660254f;
    EXPECT_EQ(scene.shadowed(), shadowed) << r;
    EXPECT_EQ(scene.point.cos_psi, -0.5f);
    EXPECT_EQ(scene.point.shadow_height, r);
  }
}

TEST(IlluminationTest, WalkSunMovesOnLinearlyFromTheTrack) {
  SunTrack track;
  track.reference_time = 0.5f;
  track.ra = 1.0f;
  track.ra_per_day = 0.0172f;
  track.sin_dec = 0.2f;
  track.sin_dec_per_day = 0.004f;
  track.cos_dec = 0.9797959f;
  track.cos_dec_per_day = -0.001f;
  const WalkSun at = sun_at_walk_start(track, 1.0f);
  EXPECT_FLOAT_EQ(at.ra, 1.0086f);
  EXPECT_FLOAT_EQ(at.sin_dec, 0.202f);
  EXPECT_FLOAT_EQ(at.cos_dec, 0.9792959f);
}

}  // namespace
}  // namespace vespera
