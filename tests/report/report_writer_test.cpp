#include "report/report_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "magnitudes/magnitude_table.h"
#include "report/background_writer.h"
#include "report_test_support.h"
#include "vocabulary/program_exit.h"

namespace vespera {
namespace {

using report_test::example_record;
using report_test::lines_of;
using report_test::settings_for;
using report_test::ut;

// Day 0 of May 2020; 58992 is 23 May 2020.
constexpr int32_t kMay2020Day0 = 58969;

const char* const kEveningHeader =
    "***  2020 May  23  Sat evening  *** Times are PM EDT  ***  2015  432";
const char* const kColumnsA =
    " H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec";
// The worked example's values with no site rate: EW is 0.25 cos(25.4) = 0.2.
const char* const kExampleValues =
    " 15  5     45 123 C  90  2.5   3 4  4001500  560 0.2  80 1430  25.4";

class ReportWriterTest : public testing::Test {
 protected:
  ReportWriterTest() {
    use_format('A');
    site.start_day_number = kMay2020Day0;
    site.site_rate_factor = 0.0f;
    night.evening_twilight = 0.25f;  // 20:15 EDT
    night.morning_twilight = 8.534f;  // 4:32 EDT
    report = std::tmpfile();
    writer = std::make_unique<ReportWriter>(*catalogue);
    writer->set_output(report, "test.rpt");
  }
  ~ReportWriterTest() override { std::fclose(report); }

  // The report format, on Eastern Daylight Time.
  void use_format(char letter) {
    settings = settings_for(letter);
    settings.zoneOffsetHours = -4.0f;
    settings.zoneLabel = FixedText<4>("EDT");
  }

  // A record of the example at a local time on 23 May (EDT) or later.
  void add(int32_t ncat, int local_day, int hour, int minute, double second = 5,
           int16_t age_days = 3) {
    PredictionRecord r = example_record();
    r.ncat = ncat;
    r.age_days = age_days;
    table->append(ut(local_day, hour + 4, minute, second), r);  // EDT is UT - 4 h
  }
  void add_at(int32_t ncat, float t, int16_t age_days = 3) {
    PredictionRecord r = example_record();
    r.ncat = ncat;
    r.age_days = age_days;
    table->append(t, r);
  }

  // Catalogue entries, in ascending order of ncat.
  void add_entry(int32_t ncat, std::string_view name, float magnitude, std::string_view comment,
                 bool sizes) {
    MagnitudeTable& t = catalogue->table;
    MagnitudeEntry& e = t[++t.count];
    e.ncat = ncat;
    e.name = FixedText<16>(name);
    e.flag = 'g';
    e.magnitude = magnitude;
    e.crossSection = FixedText<4>(" 2.5");
    if (!comment.empty()) e.commentIndex = static_cast<int16_t>(catalogue->commentPool.store(comment));
    if (sizes) {
      e.sizeIndex = static_cast<int16_t>(catalogue->sizeTriples.find_or_add(
          {FixedText<4>(" 8.0"), FixedText<4>(" 3.0"), FixedText<4>(" 0.0")}));
    }
  }

  // Flushes with the run's settings and site as they stand.
  void flush_table() {
    writer->begin_run(settings, site);
    writer->flush_predictions(*table, night);
  }

  // Prediction lines written so far.
  int32_t written() const { return writer->predictions_written(); }

  // Flushes and returns the lines written by this call.
  std::vector<std::string> flush() {
    flush_table();
    std::fflush(report);
    std::fseek(report, read_so_far, SEEK_SET);
    std::string text;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, report)) > 0) text.append(buffer, n);
    read_so_far += static_cast<long>(text.size());
    std::fseek(report, 0, SEEK_END);
    return lines_of(text);
  }

  RunSettings settings;
  SiteGeometry site;
  NightState night;
  std::unique_ptr<MagnitudeCatalogue> catalogue = std::make_unique<MagnitudeCatalogue>();
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
  std::FILE* report = nullptr;
  long read_so_far = 0;
  std::unique_ptr<ReportWriter> writer;
};

std::string at(int hour, const char* values = kExampleValues) {
  char h[3];
  std::snprintf(h, sizeof h, "%2d", hour);
  return h + std::string(values);
}

TEST_F(ReportWriterTest, OneRecordInItsOrder) {
  add(12345, 23, 20, 15);
  EXPECT_EQ(flush(), (std::vector<std::string>{"", kEveningHeader, "", kColumnsA,
                                               "12345 DEMO SAT      ", at(20)}));
  EXPECT_EQ(written(), 1);
  EXPECT_EQ(table->count, 0);
}

TEST_F(ReportWriterTest, EmptyLineBeforeEachPass) {
  settings.blankLineBeforePass = true;
  add(12345, 23, 20, 15);
  add(12345, 23, 20, 16);
  EXPECT_EQ(flush(), (std::vector<std::string>{"", kEveningHeader, "", kColumnsA, "",
                                               "12345 DEMO SAT      ", at(20),
                                               at(20, " 16  5     45 123 C  90  2.5   3 4  "
                                                      "4001500  560 0.2  80 1430  25.4")}));
}

TEST_F(ReportWriterTest, EmptyTableWritesNothingAndKeepsState) {
  add(12345, 23, 20, 15);
  flush();
  EXPECT_TRUE(flush().empty());
  EXPECT_EQ(written(), 1);
  // The duplicate memory survived the empty call.
  add(12345, 23, 20, 15);
  EXPECT_TRUE(flush().empty());
  EXPECT_EQ(written(), 1);
}

TEST_F(ReportWriterTest, InterleavedPassesStayTogether) {
  const float t = ut(24, 1, 0, 0);  // 21:00 EDT
  add_at(111, t);
  add_at(222, t + 0.005f);
  add_at(111, t + 0.01f);
  const std::vector<std::string> lines = flush();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[4], "  111 DEMO SAT      ");
  EXPECT_EQ(lines[5].substr(0, 8), "21  0  0");
  EXPECT_EQ(lines[6].substr(0, 8), "21 14 24");
  EXPECT_EQ(lines[7], "  222 DEMO SAT      ");
  EXPECT_EQ(lines[8].substr(0, 8), "21  7 12");
  EXPECT_EQ(written(), 3);
}

TEST_F(ReportWriterTest, GroupPastMidnightGetsNoNewHeader) {
  add(111, 23, 23, 58);
  add(222, 24, 0, 3);  // UT hours beyond 24 carry into the next day
  add(111, 24, 0, 5);
  const std::vector<std::string> lines = flush();
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[1], kEveningHeader);
  EXPECT_EQ(lines[4], "  111 DEMO SAT      ");
  EXPECT_EQ(lines[5].substr(0, 8), "23 58  5");
  EXPECT_EQ(lines[6].substr(0, 8), " 0  5  5");  // continuation after midnight
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "***  2020 May  24  Sun morning  *** Times are AM EDT  ***  2015  432");
  EXPECT_EQ(lines[10], kColumnsA);
  EXPECT_EQ(lines[11], "  222 DEMO SAT      ");
  EXPECT_EQ(lines[12].substr(0, 8), " 0  3  5");
}

TEST_F(ReportWriterTest, DuplicateDroppedAtTheStartOfALaterCall) {
  const float t = ut(24, 1, 0, 0);
  add_at(111, t);
  flush();
  add_at(111, t + 0.000005f);          // the same prediction again
  add_at(111, t + 0.003f);
  add_at(111, t + 0.003f, 4);          // same time, another element set
  const std::vector<std::string> lines = flush();
  // A new call starts with its headers and a new pass group.
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "***  2020 May  23  Sat evening  *** Times are PM EDT  ***  2015  432");
  EXPECT_EQ(lines[4], "  111 DEMO SAT      ");
  EXPECT_EQ(lines[5].substr(0, 8), "21  4 19");
  EXPECT_EQ(lines[6].substr(0, 8), "21  4 19");
  EXPECT_EQ(written(), 3);
}

TEST_F(ReportWriterTest, DuplicateWithinOneCall) {
  const float t = ut(24, 1, 0, 0);
  add_at(111, t);
  add_at(111, t);
  add_at(111, t + 0.00002f);
  const std::vector<std::string> lines = flush();
  EXPECT_EQ(lines.size(), 7u);
  EXPECT_EQ(written(), 2);
}

TEST_F(ReportWriterTest, CatalogueNameAndDetailsInTheIdentification) {
  add_entry(111, "CAT NAME", 4.5f, "", false);
  add_entry(222, "COMMENTED", 0.0f, "tumbling", true);
  add(111, 23, 20, 15);
  add(222, 23, 21, 15);
  const std::vector<std::string> lines = flush();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], "  111 CAT NAME      " + std::string(12, ' ') + " 2.5 g 4.5");
  // The third size " 0.0" means none and prints blank.
  EXPECT_EQ(lines[6], "  222 COMMENTED     " + std::string(" 8.0 3.0    ") + " 2.5 g20.0 tumbling");
  EXPECT_EQ(lookupMagnitude(*catalogue, 222, LookupForm::Full).infoLevel, 8);  // sizes and comment
}

TEST_F(ReportWriterTest, RadarIdentification) {
  use_format('R');
  add_entry(222, "COMMENTED", 0.0f, "tumbling", true);
  add(222, 23, 20, 15);
  add(333, 23, 21, 15);
  const std::vector<std::string> lines = flush();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3], " H  M  S Tim Al Azi C Dys F  Hgt  Rng");
  EXPECT_EQ(lines[4], "  222 COMMENTED      g  tumbling");
  EXPECT_EQ(lines[5], "20 15  5     45 123 C   3 4  400  560");
  EXPECT_EQ(lines[6], "  333 DEMO SAT      ");
}

TEST_F(ReportWriterTest, SkyLayoutCarriesIdentificationAndComment) {
  use_format('B');
  add_entry(222, "COMMENTED", 3.0f, "tumbling", false);
  add(222, 23, 20, 15);
  add(222, 23, 20, 16);
  add(444, 23, 21, 15);
  std::vector<std::string> lines = flush();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3], " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name");
  EXPECT_EQ(lines[4],
            "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.4 2.5 gCOMMENTED     ");
  EXPECT_EQ(lines[5], "        tumbling");
  EXPECT_EQ(lines[6], "20 16  5     123 45C  90  2.5   3 4  4001500  560 1430 25.4");
  EXPECT_EQ(lines[7],
            "21 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.4      DEMO SAT      ");

  settings.detailLetter = 'N';
  add(222, 23, 22, 15);
  lines = flush();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[4].substr(0, 2), "22");
}

TEST_F(ReportWriterTest, FullTableIsWrittenAndEmptied) {
  // 1000 satellites with passes of 10 points each, a minute apart.
  for (int32_t sat = 0; sat < 1000; ++sat) {
    const float start = ut(24, 1, 0, 0) + static_cast<float>(sat % 97) * 0.001f;
    for (int point = 0; point < 10; ++point) {
      add_at(10000 + sat, start + static_cast<float>(point) / 1440.0f);
    }
  }
  ASSERT_TRUE(table->full());
  const std::vector<std::string> lines = flush();
  EXPECT_EQ(written(), 10000);
  EXPECT_EQ(table->count, 0);
  EXPECT_EQ(lines.size(), 4u + 1000u + 10000u);
}

TEST_F(ReportWriterTest, NoOutputStillEmptiesTheTable) {
  writer->set_output(nullptr);
  add(111, 23, 20, 15);
  flush_table();
  EXPECT_EQ(table->count, 0);
  EXPECT_EQ(written(), 1);
}

TEST_F(ReportWriterTest, FailingWriteIsFatal) {
  std::FILE* read_only = std::fopen("/dev/null", "r");
  ASSERT_NE(read_only, nullptr);
  writer->set_output(read_only, "report.txt");
  add(111, 23, 20, 15);
  try {
    flush_table();
    FAIL() << "no error";
  } catch (const FatalIoError& e) {
    EXPECT_EQ(e.file(), "report.txt");
  }
  std::fclose(read_only);
}

// After a stop request, the writer asked directly stops before its next
// line; a table handed to the writer's thread is written whole, as one
// thread wrote it before it could see the stop.
TEST_F(ReportWriterTest, AfterAStopHandedOverTablesAreWrittenWhole) {
  const std::atomic<bool> stopped{true};
  writer = std::make_unique<ReportWriter>(*catalogue, StopToken(stopped));
  writer->set_output(report, "test.rpt");
  writer->begin_run(settings, site);
  add(111, 23, 20, 15);
  EXPECT_THROW(writer->flush_predictions(*table, night), ProgramExit);
  EXPECT_EQ(written(), 0);
  writer->flush_whole(*table, night);
  EXPECT_EQ(written(), 1);
  EXPECT_EQ(table->count, 0);
  {
    BackgroundReportWriter background(*writer);
    for (int n = 0; n < 5; ++n) {
      add(222 + n, 23, 21, 15);
      add(222 + n, 23, 21, 16);
      background.flush_predictions(*table, night);
    }
    EXPECT_NO_THROW(background.finish());
    EXPECT_EQ(written(), 11);
    add(300, 23, 22, 15);
    background.flush_predictions(*table, night);
  }  // the table in hand is written before the thread ends
  EXPECT_EQ(written(), 12);
}

}  // namespace
}  // namespace vespera
