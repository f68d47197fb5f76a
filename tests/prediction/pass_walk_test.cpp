#include "prediction/pass_walk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace vespera {
namespace {

constexpr float kUStar = 1.0f;
constexpr float kHeight = 200.0f;  // miles; with a = 4000 a full step is 0.0375 rad
constexpr float kFullStep = 0.0375f;

// A sky described as a function of x = u - u*: the outcome of each trial
// point and its values. Times follow u (T = 1 + x), so that the order of
// the stored points in time is the order along the orbit.
class ScriptedSky final : public TrialPoints {
 public:
  using Script = std::function<PointOutcome(double x, PointObservation& point)>;

  struct Call {
    double x;
    bool probe;
  };

  explicit ScriptedSky(Script sky) : sky_(std::move(sky)) {}

  void begin_walk() override { walk_starts.push_back(calls.size()); }

  PointOutcome observe(float u, PointObservation& point) override {
    return evaluate(u, false, point);
  }

  bool probe(float u, SkyDirection& direction) override {
    PointObservation point;
    if (evaluate(u, true, point) != PointOutcome::Accept) return false;
    direction = SkyDirection{point.azimuth, point.sin_alt, point.cos_alt};
    return true;
  }

  PointOutcome evaluate(float u, bool probe, PointObservation& point) {
    const double x = static_cast<double>(u) - static_cast<double>(kUStar);
    calls.push_back({x, probe});
    point = PointObservation{};
    point.time = static_cast<float>(1.0 + x);
    point.height = kHeight;
    point.shadow_height = 1000.0f;
    point.range = 500.0f;
    point.altitude = 0.5f;
    point.sin_alt = 0.0f;  // probe and point on the horizon: direction 90 or 270
    point.cos_alt = 1.0f;
    point.azimuth = static_cast<float>(2.0 + x);
    point.since_epoch = 1.0f;
    point.revolutions = 100.3f;
    if (probe) return probe_ ? probe_(x, point) : PointOutcome::Accept;
    const PointOutcome outcome = sky_(x, point);
    point.bright_enough = outcome == PointOutcome::Accept;
    return outcome;
  }

  void set_probe(Script probe) { probe_ = std::move(probe); }
  int evaluations(bool probe) const {
    int n = 0;
    for (const Call& c : calls) n += c.probe == probe ? 1 : 0;
    return n;
  }

  std::vector<Call> calls;
  std::vector<std::size_t> walk_starts;  // calls made before each walk began

 private:
  Script sky_;
  Script probe_;
};

PointOutcome accept_all(double, PointObservation&) { return PointOutcome::Accept; }

class CountingFlusher final : public PredictionFlusher {
 public:
  explicit CountingFlusher(const ScriptedSky* sky) : sky_(sky) {}
  void flush_predictions(PredictionTable& table, const NightState&) override {
    counts.push_back(table.count);
    evaluations_before.push_back(sky_ ? static_cast<int>(sky_->calls.size()) : 0);
    table.clear();
  }
  std::vector<int32_t> counts;
  std::vector<int> evaluations_before;

 private:
  const ScriptedSky* sky_;
};

struct WalkBench {
  WalkBench() {
    set.name = FixedText<16>("ISS (ZARYA)");
    set.ncat = 25544;
    set.meanMotionDot = 1.0e-4f;
    orbit.a = 4000.0f;
    orbit.e = 0.001f;
    orbit.period = 0.0625f;
    settings.stepScale = 1.0f;
  }

  SearchStep walk(ScriptedSky& sky) {
    CountingFlusher local(&sky);
    TableSink sink(*table, local, night, console);
    const SearchStep step = walk_candidate(settings, set, orbit, kUStar, sky, sink, StopToken());
    flush_counts = local.counts;
    flush_evaluations = local.evaluations_before;
    return step;
  }

  std::vector<int16_t> walk_states() const {
    std::vector<int16_t> states;
    for (int32_t i = 0; i < table->count; ++i) states.push_back(table->records[i].walk_state);
    return states;
  }

  std::string console_text() const {
    std::rewind(console);
    std::string text;
    for (int c; (c = std::fgetc(console)) != EOF;) text.push_back(static_cast<char>(c));
    return text;
  }

  ~WalkBench() { std::fclose(console); }

  WalkSettings settings;
  ElementSet set;
  OrbitSetup orbit;
  NightState night;
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
  std::FILE* console = std::tmpfile();
  std::vector<int32_t> flush_counts;
  std::vector<int> flush_evaluations;
};

TEST(PassWalkTest, WithoutWalkingOnlyTheFirstAcceptedPointIsStored) {
  WalkBench bench;
  ScriptedSky sky(accept_all);
  EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
  ASSERT_EQ(bench.table->count, 1);
  const PredictionRecord& record = bench.table->records[0];
  EXPECT_EQ(bench.table->times[0], 1.0f);
  EXPECT_EQ(record.name, FixedText<16>("ISS (ZARYA)"));
  EXPECT_EQ(record.ncat, 25544);
  EXPECT_EQ(record.walk_state, 0);
  EXPECT_EQ(record.direction, 90);  // the probe lies further along in azimuth
  EXPECT_EQ(record.height, 321);    // 200 miles in km, truncated
  EXPECT_EQ(record.shadow_height, 1609);
  EXPECT_EQ(record.age_days, 1);
  EXPECT_EQ(record.orbit_tenths, 3);
  EXPECT_EQ(record.time_error, 0);
  ASSERT_EQ(sky.calls.size(), 2u);
  EXPECT_TRUE(sky.calls[1].probe);
  EXPECT_NEAR(sky.calls[1].x, 0.005, 1e-6);
  // The walk begins (and takes its sun) once, before its first point.
  EXPECT_EQ(sky.walk_starts, std::vector<std::size_t>{0});

  bench.settings.distancesInMiles = true;
  bench.table->clear();
  ScriptedSky again(accept_all);
  bench.walk(again);
  EXPECT_EQ(bench.table->records[0].height, 200);
  EXPECT_EQ(bench.table->records[0].shadow_height, 1000);
}

TEST(PassWalkTest, FirstPointOutcomesThatEndTheWalk) {
  for (const auto& [outcome, step] : {std::pair{PointOutcome::Reject, SearchStep::NextRevolution},
                                      std::pair{PointOutcome::TooFaint, SearchStep::NextRevolution},
                                      std::pair{PointOutcome::EndOfSet, SearchStep::SetFinished}}) {
    for (const bool walking : {false, true}) {
      WalkBench bench;
      bench.settings.walkPasses = walking;
      bench.settings.maxWalkSteps = 5;
      ScriptedSky sky([outcome = outcome](double, PointObservation&) { return outcome; });
      EXPECT_EQ(bench.walk(sky), step);
      EXPECT_EQ(sky.calls.size(), 1u);
      EXPECT_EQ(bench.table->count, 0);
    }
  }
}

TEST(PassWalkTest, ShadowedFirstPointIsSearchedInHalfStepsUnlessDeep) {
  // Shadow up to 0.1 rad before u*, rising out of it going back; lit beyond.
  const auto sky_with_depth = [](float first_shadow_height) {
    return [first_shadow_height](double x, PointObservation& point) {
      if (x > -0.1) {
        point.shadow_height = static_cast<float>(first_shadow_height - 1000.0 * x);
        return PointOutcome::Shadow;
      }
      return PointOutcome::Accept;
    };
  };
  {
    WalkBench bench;
    ScriptedSky sky(sky_with_depth(-999.0f));  // -2 x 200 - 600 = -1000 is not above it
    EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
    ASSERT_EQ(bench.table->count, 1);
    // The sixth half step (6 x 0.01875 = 0.1125) is the first lit point.
    EXPECT_NEAR(bench.table->times[0], 1.0 - 0.1125, 1e-6);
    // Without walking, a rising shadow turns the walk to its last direction.
    EXPECT_EQ(bench.table->records[0].walk_state, 2);
    EXPECT_EQ(sky.evaluations(false), 7);
  }
  {
    WalkBench bench;
    ScriptedSky sky(sky_with_depth(-1001.0f));  // deep in the shadow
    EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
    EXPECT_EQ(bench.table->count, 0);
    EXPECT_EQ(sky.calls.size(), 1u);
  }
}

TEST(PassWalkTest, HalfStepsDoNotCountAgainstTheStepLimit) {
  // Shadowed first point; lit from 0.1 rad back. With walking and a step
  // limit of 2 the back direction still reaches the lit part in six half
  // steps, a step count of 3.
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 2;
  ScriptedSky sky([](double x, PointObservation& point) {
    if (x > -0.1 && x < 0.5) {
      point.shadow_height = static_cast<float>(-500.0 - 1000.0 * x);
      return PointOutcome::Shadow;
    }
    return PointOutcome::Accept;
  });
  EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
  // Back: half steps to x = -0.1125 (step count 3.0), accepted; CONTINUE finds
  // 2 not above 3 and reverses. The lit point ended the half steps: forward,
  // the first full step (x = 0.0375) is in deeper shadow and the walk ends.
  ASSERT_EQ(bench.table->count, 1);
  EXPECT_NEAR(bench.table->times[0], 1.0 - 0.1125, 1e-6);
  EXPECT_EQ(bench.table->records[0].walk_state, 1);
  EXPECT_NEAR(sky.calls.back().x, kFullStep, 1e-6);
}

TEST(PassWalkTest, StepLimitBoundsEachDirection) {
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 3;
  ScriptedSky sky(accept_all);
  EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
  ASSERT_EQ(bench.table->count, 7);
  EXPECT_EQ(bench.walk_states(), (std::vector<int16_t>{0, 1, 1, 1, 2, 2, 2}));
  const double expected[] = {0, -1, -2, -3, 1, 2, 3};
  for (int i = 0; i < 7; ++i) {
    EXPECT_NEAR(bench.table->times[i], 1.0 + expected[i] * kFullStep, 1e-6) << i;
  }
  // Every stored point got its probe.
  EXPECT_EQ(sky.evaluations(true), 7);
}

TEST(PassWalkTest, NinetyNineLiftsOnlyTheContinueTest) {
  {
    WalkBench bench;
    bench.settings.walkPasses = true;
    bench.settings.maxWalkSteps = 99;
    ScriptedSky sky(accept_all);
    bench.walk(sky);
    EXPECT_EQ(bench.table->count, 1 + 99 + 99);
  }
  {
    // Skipped points go on to the next step too; the STEP test still ends
    // each direction after 99 full steps.
    WalkBench bench;
    bench.settings.walkPasses = true;
    bench.settings.maxWalkSteps = 99;
    ScriptedSky sky([](double x, PointObservation&) {
      return x == 0.0 ? PointOutcome::Accept : PointOutcome::Skip;
    });
    bench.walk(sky);
    EXPECT_EQ(bench.table->count, 1);
    EXPECT_EQ(sky.evaluations(false), 1 + 99 + 99);
  }
}

TEST(PassWalkTest, RejectsFaintAndDeeperShadowTurnTheWalk) {
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 50;
  // Back: faint from 0.1 rad on. Forward: deeper shadow from 0.1 rad on.
  ScriptedSky sky([](double x, PointObservation& point) {
    if (x <= -0.1) return PointOutcome::TooFaint;
    if (x >= 0.1) {
      point.shadow_height = 900.0f;  // below the first point's 1000
      return PointOutcome::Shadow;
    }
    return PointOutcome::Accept;
  });
  EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
  // u*, two steps back (0.0375, 0.075), two forward.
  EXPECT_EQ(bench.walk_states(), (std::vector<int16_t>{0, 1, 1, 2, 2}));
}

TEST(PassWalkTest, RisingShadowIsWalkedThrough) {
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 50;
  // Forward: a stretch of shadow no deeper than the first point's, then lit
  // again, then below the horizon.
  ScriptedSky sky([](double x, PointObservation& point) {
    if (x < -0.05 || x > 0.31) return PointOutcome::Reject;
    if (x > 0.1 && x < 0.2) {
      point.shadow_height = 1000.0f;
      return PointOutcome::Shadow;
    }
    return PointOutcome::Accept;
  });
  bench.walk(sky);
  // Back: x = -0.0375. Forward: 0.0375, 0.075 lit; 0.1125 .. 0.1875 shadow;
  // 0.225, 0.2625, 0.3 lit.
  EXPECT_EQ(bench.walk_states(), (std::vector<int16_t>{0, 1, 2, 2, 2, 2, 2}));
}

TEST(PassWalkTest, WalkStepIsSizedFromTheStoredPointNotItsProbe) {
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 1;
  bench.settings.stepScale = 2.0f;
  ScriptedSky sky(accept_all);
  sky.set_probe([](double, PointObservation& probe) {
    probe.height = 5000.0f;
    return PointOutcome::Accept;
  });
  bench.walk(sky);
  ASSERT_EQ(sky.calls.size(), 6u);  // u*, probe, back, probe, forward, probe
  EXPECT_NEAR(sky.calls[2].x, -2.0 * kFullStep, 1e-6);
  EXPECT_NEAR(sky.calls[4].x, 2.0 * kFullStep, 1e-6);
  // The probe is evaluated from the stored point, and the walk goes on from it.
  EXPECT_NEAR(sky.calls[3].x, -2.0 * kFullStep + 0.005, 1e-6);
}

TEST(PassWalkTest, ProbeBelowTheHorizonLeavesDirectionZeroAndTheWalkGoesOn) {
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = 2;
  ScriptedSky sky(accept_all);
  // Every probe fails, but for the one after u*: it goes the other way in azimuth.
  sky.set_probe([](double x, PointObservation& probe) {
    if (std::fabs(x - 0.005) < 1e-6) {
      probe.azimuth = 1.9f;
      return PointOutcome::Accept;
    }
    return PointOutcome::Reject;
  });
  bench.walk(sky);
  ASSERT_EQ(bench.table->count, 5);
  EXPECT_EQ(bench.table->records[0].direction, 270);
  for (int i = 1; i < 5; ++i) EXPECT_EQ(bench.table->records[i].direction, 0) << i;
  EXPECT_EQ(bench.walk_states(), (std::vector<int16_t>{0, 1, 1, 2, 2}));
}

TEST(PassWalkTest, FullTableIsWrittenOutOnceBeforeItCouldOverflow) {
  for (const bool probe_fails : {false, true}) {
    WalkBench bench;
    bench.settings.walkPasses = true;
    bench.settings.maxWalkSteps = 2;
    bench.table->count = kPredictionCapacity - 2;
    ScriptedSky sky(accept_all);
    if (probe_fails) sky.set_probe([](double, PointObservation&) { return PointOutcome::Reject; });
    bench.walk(sky);
    // Two predictions fill the table: after the second one's probe (four
    // evaluations) it is written out; three more follow in the empty table.
    EXPECT_EQ(bench.flush_counts, std::vector<int32_t>{kPredictionCapacity});
    EXPECT_EQ(bench.flush_evaluations, std::vector<int>{4});
    EXPECT_EQ(bench.table->count, 3);
    EXPECT_EQ(bench.console_text(), "Space limit10000 predictions - output is being split up\n");
  }
}

TEST(PassWalkTest, StepsThatCannotMoveEndTheWalk) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const float scale : {0.0f, nan, inf, 1.0e-12f}) {
    WalkBench bench;
    bench.settings.walkPasses = true;
    bench.settings.maxWalkSteps = 99;
    bench.settings.stepScale = scale;
    ScriptedSky sky(accept_all);
    EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution) << scale;
    EXPECT_EQ(bench.table->count, 1) << scale;
  }
  // An orbit without a size.
  {
    WalkBench bench;
    bench.settings.walkPasses = true;
    bench.settings.maxWalkSteps = 99;
    bench.orbit.a = 0.0f;
    ScriptedSky sky(accept_all);
    EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
    EXPECT_EQ(bench.table->count, 1);
  }
  // Half steps of zero length from a shadowed first point.
  for (const bool walking : {false, true}) {
    WalkBench bench;
    bench.settings.walkPasses = walking;
    bench.settings.maxWalkSteps = 99;
    bench.settings.stepScale = 0.0f;
    ScriptedSky sky([](double, PointObservation& point) {
      point.shadow_height = 0.0f;
      return PointOutcome::Shadow;
    });
    EXPECT_EQ(bench.walk(sky), SearchStep::NextRevolution);
    EXPECT_EQ(sky.calls.size(), 1u);
  }
}

TEST(PassWalkTest, NoDirectionGoesBeyondOneRevolution) {
  // A step limit that is never reached and a sky that accepts everything:
  // each direction ends when it would go a whole revolution from u*, where
  // the points repeat. 2 pi / 0.0375 = 167.6 steps.
  WalkBench bench;
  bench.settings.walkPasses = true;
  bench.settings.maxWalkSteps = std::numeric_limits<int32_t>::max();
  ScriptedSky sky(accept_all);
  bench.walk(sky);
  EXPECT_EQ(bench.table->count, 1 + 167 + 167);
}

}  // namespace
}  // namespace vespera
