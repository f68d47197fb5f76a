#include "prediction/day_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "magnitudes/magnitude_table.h"
#include "prediction/site_setup.h"
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

// Counts the flushes and what each one found in the table, and empties it.
class CountingFlusher : public PredictionFlusher {
 public:
  explicit CountingFlusher(PredictionTable& table) : table_(table) {}
  void flush_predictions() override {
    counts.push_back(table_.count);
    table_.clear();
  }
  std::vector<int32_t> counts;

 private:
  PredictionTable& table_;
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
    const ElementContext element_context{settings, *magnitudes, info, out};
    if (elements.loadElementSets(element_context) != 0) ADD_FAILURE() << "no sets loaded";
    setup_site(settings, 58026, site);  // 2017 October 0
    EngineContext context{settings, site,     night,        elements, current, *magnitudes,
                          info,     boundary, *predictions, flusher,  out,     err, StopToken{}};
    return run_day_loop(context);
  }

  std::string error_text() { return test::stream_text(err); }

  RunSettings settings;
  SiteGeometry site;
  NightState night;
  ElementSource elements;
  ElementSet current;
  std::unique_ptr<MagnitudeCatalogue> magnitudes = std::make_unique<MagnitudeCatalogue>();
  MagnitudeInfo info;
  int32_t boundary = kDefaultMagnitudeBoundary;
  std::unique_ptr<PredictionTable> predictions = std::make_unique<PredictionTable>();
  CountingFlusher flusher{*predictions};
  std::FILE* out;
  std::FILE* err;

 private:
  test::TempDir dir_;
};

TEST(DayLoop, TwilightModeFlushesEachNightAndKeepsTheLastNight) {
  DayLoopRun run;
  run.settings.firstDay = 17;  // the nights beginning October 16, 17 and 18
  run.settings.lastDay = 19;
  EXPECT_EQ(run.run(), DayLoopEnd::AllDaysDone);
  ASSERT_EQ(run.flusher.counts.size(), 3u);
  // The ISS passes at 19:23 EDT on October 16, sunlit after sunset.
  EXPECT_GT(run.flusher.counts[0], 0);
  EXPECT_EQ(run.error_text(), "");
  // The night of the last day index stays for the report.
  NightState expected;
  set_up_night(run.settings, run.site, 19, expected);
  EXPECT_EQ(run.night.window.start, expected.window.start);
  EXPECT_EQ(run.night.window.end, expected.window.end);
  EXPECT_EQ(run.night.evening_twilight, expected.evening_twilight);
  EXPECT_EQ(run.night.morning_twilight, expected.morning_twilight);
  EXPECT_EQ(run.night.sun.reference_time, 18.5f);
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
  EXPECT_EQ(run.flusher.counts.size(), 1u);
  EXPECT_EQ(run.night.sun.reference_time, 16.0f);  // absolute mode: the sun at 0h
}

TEST(DayLoop, ACombinedRunReturnsAfterItsFirstNonEmptyDayWithoutFlushing) {
  DayLoopRun run;
  run.settings.combineRuns = true;
  run.settings.firstDay = 17;
  run.settings.lastDay = 19;
  EXPECT_EQ(run.run(), DayLoopEnd::CombineWithNextRun);
  EXPECT_TRUE(run.flusher.counts.empty());
  EXPECT_GT(run.predictions->count, 0);  // kept for the next run's report
  EXPECT_EQ(run.night.sun.reference_time, 16.5f);
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
  EXPECT_EQ(run.night.window.start, 16.0f);
  EXPECT_EQ(run.night.window.end, 17.0f);
  ASSERT_EQ(run.flusher.counts.size(), 1u);
  EXPECT_GT(run.flusher.counts[0], 0);  // day and night passes alike
}

}  // namespace
}  // namespace vespera
