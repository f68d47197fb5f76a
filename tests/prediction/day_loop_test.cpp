#include "prediction/day_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "magnitudes/magnitude_table.h"
#include "prediction/engine_run.h"
#include "prediction/sun_window.h"
#include "support/temp_files.h"

namespace vespera {
namespace {

// Two element sets of 2017 October 16: the ISS, bright and low, and an SL-16
// rocket body in a retrograde orbit.
const char kElements[] =
    "ISS (ZARYA)\r\n"
    "1 25544U 98067A   17289.90403449  .00003562  00000-0  60899-4 0  9992\r\n"
    "2 25544  51.6416 151.5519 0004813  31.8478  64.5059 15.54189647 80680\r\n"
    "SL-16 R/B\r\n"
    "1 25400U 98043G   17289.44111046 -.00000004 +00000-0 +16312-4 0  9995\r\n"
    "2 25400 098.5011 233.8575 0008925 305.6496 054.3853 14.25420350002115\r\n";

// Counts the flushes, what each one found in the table and the night it was
// given, and empties the table.
class CountingFlusher : public PredictionFlusher {
 public:
  void flush_predictions(PredictionTable& table, const NightState& night) override {
    counts.push_back(table.count);
    nights.push_back(night);
    table.clear();
  }
  std::vector<int32_t> counts;
  std::vector<NightState> nights;
};

// One run over the element file above, for a site at 40 N 75 W in 2017
// October, with everything the engine context refers to.
class DayLoopRun {
 public:
  DayLoopRun() {
    const std::string path = dir_.write("el.tle", kElements);
    settings.year = 2017;
    settings.month = 10;
    settings.latitudeDeg = 40.0f;
    settings.westLongitudeDeg = 75.0f;
    settings.heightFeet = 300.0f;
    settings.magnitudeLimit = 12.0f;  // the catalogue is empty: default magnitude 7.0
    settings.minAltitudeDeg = 10;
    settings.minAltitude = 10.0f * 0.017453292f;
    settings.walkPasses = true;
    settings.maxWalkSteps = 99;
    settings.elementFileNames[0] = FileName(path);
    settings.elementFileCount = 1;
    out = std::tmpfile();
    err = std::tmpfile();
  }
  ~DayLoopRun() {
    std::fclose(out);
    std::fclose(err);
  }
  DayLoopRun(const DayLoopRun&) = delete;
  DayLoopRun& operator=(const DayLoopRun&) = delete;

  // Day indices first to last, with the window offsets in hours.
  void days(int32_t first, int32_t last, float start_offset_hours, float end_offset_hours) {
    settings.firstDay = first;
    settings.lastDay = last;
    settings.startOffsetHours = start_offset_hours;
    settings.endOffsetHours = end_offset_hours;
  }

  DayLoopEnd run() {
    DayLoopIo io{elements, ElementContext{settings, *magnitudes, out}, *predictions, flusher, out,
                 err, StopToken()};
    if (elements.loadElementSets(io.element_context) != 0) ADD_FAILURE() << "no sets loaded";
    const EngineRun engine = prepare_engine_run(settings, 58026, *magnitudes, boundary);  // 2017 October 0
    site = engine.site;
    return run_day_loop(engine, io);
  }

  std::string error_text() { return test::stream_text(err); }

  RunSettings settings;
  SiteGeometry site;
  ElementSource elements;
  std::unique_ptr<MagnitudeCatalogue> magnitudes = std::make_unique<MagnitudeCatalogue>();
  int32_t boundary = kDefaultMagnitudeBoundary;
  std::unique_ptr<PredictionTable> predictions = std::make_unique<PredictionTable>();
  CountingFlusher flusher;
  std::FILE* out;
  std::FILE* err;

 private:
  test::TempDir dir_;
};

TEST(DayLoop, TwilightModeFlushesEachNightWithItsNight) {
  DayLoopRun run;
  run.settings.firstDay = 17;  // the nights beginning October 16, 17 and 18
  run.settings.lastDay = 19;
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  ASSERT_EQ(run.flusher.counts.size(), 3u);
  // The ISS passes at 19:23 EDT on October 16, sunlit after sunset.
  EXPECT_GT(run.flusher.counts[0], 0);
  EXPECT_EQ(run.error_text(), "");
  // The report of the last day index is dated with that night.
  const NightState expected = set_up_night(window_settings(run.settings), run.site, 19);
  const NightState& last = run.flusher.nights[2];
  EXPECT_EQ(last.window.start, expected.window.start);
  EXPECT_EQ(last.window.end, expected.window.end);
  EXPECT_EQ(last.evening_twilight, expected.evening_twilight);
  EXPECT_EQ(last.morning_twilight, expected.morning_twilight);
  EXPECT_EQ(last.sun.reference_time, 18.5f);
}

TEST(DayLoop, ReversedAndEmptyWindowsAreReportedAndSkipped) {
  DayLoopRun run;
  run.settings.windowLetter = 'A';
  run.days(16, 17, 10.0f, 2.0f);
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  EXPECT_TRUE(run.flusher.counts.empty());
  EXPECT_EQ(run.error_text(),
            " Day 16 Start time 16.42 is greater than end time 16.08\n"
            " Day 17 Start time 17.42 is greater than end time 17.08\n");
}

TEST(DayLoop, EqualStartAndEndIsAReversedWindow) {
  DayLoopRun run;
  run.settings.windowLetter = 'A';
  run.days(5, 5, 3.5f, 3.5f);
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  EXPECT_TRUE(run.flusher.counts.empty());
  EXPECT_EQ(run.error_text(), " Day  5 Start time  5.15 is greater than end time  5.15\n");
}

TEST(DayLoop, TheFirstDayIsDoneEvenWhenTheLastIsBeforeIt) {
  DayLoopRun run;
  run.settings.windowLetter = 'A';
  run.days(16, 3, 0.0f, 24.0f);
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  ASSERT_EQ(run.flusher.counts.size(), 1u);
  EXPECT_EQ(run.flusher.nights[0].sun.reference_time, 16.0f);  // absolute mode: the sun at 0h
}

TEST(DayLoop, ACombinedRunReturnsAfterItsFirstNonEmptyDayWithoutFlushing) {
  DayLoopRun run;
  run.settings.combineRuns = true;
  run.settings.firstDay = 17;
  run.settings.lastDay = 19;
  EXPECT_EQ(run.run(), DayLoopEnd::CombineWithNextRun);
  EXPECT_TRUE(run.flusher.counts.empty());
  ASSERT_GT(run.predictions->count, 0);  // kept for the next run's report
  // All of them from the night of day index 17, the first.
  const NightState first = set_up_night(window_settings(run.settings), run.site, 17);
  for (int32_t i = 0; i < run.predictions->count; ++i) {
    EXPECT_GE(run.predictions->times[i], first.window.start);
    EXPECT_LE(run.predictions->times[i], first.window.end);
  }
}

TEST(DayLoop, ACombinedRunWhoseDaysAreAllEmptyEndsItsDays) {
  DayLoopRun run;
  run.settings.combineRuns = true;
  run.settings.windowLetter = 'A';
  run.days(1, 2, 5.0f, 1.0f);
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  EXPECT_TRUE(run.flusher.counts.empty());
  EXPECT_EQ(run.error_text(),
            " Day  1 Start time  1.21 is greater than end time  1.04\n"
            " Day  2 Start time  2.21 is greater than end time  2.04\n");
}

TEST(DayLoop, RadarFormatUsesTheAbsoluteWindow) {
  DayLoopRun run;
  run.settings.radarFormat = true;
  run.settings.ignoreShadow = true;
  run.days(16, 16, 0.0f, 24.0f);
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  ASSERT_EQ(run.flusher.counts.size(), 1u);
  EXPECT_EQ(run.flusher.nights[0].window.start, 16.0f);
  EXPECT_EQ(run.flusher.nights[0].window.end, 17.0f);
  EXPECT_GT(run.flusher.counts[0], 0);  // day and night passes alike
}

}  // namespace
}  // namespace vespera
