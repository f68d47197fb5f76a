// The page, the CSV table and the calendar drawn in memory: escaped texts,
// neutralised CSV cells, how a night says what it draws, the options that
// choose passes and nights, the shadow crossings, and the calendar's lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/calendar_file.h"
#include "chart/point_table.h"
#include "chart/shadow_crossing.h"
#include "chart_test_support.h"

namespace vespera::chart {
namespace {

using namespace test_support;

const std::string kSkyReport =
    "  40.000  75.000  300.   <b>&\"site\"</b>           2000  4.5 10 F F T T F\n"
    "\n***  2017 Oct  16  Mon evening  *** Times are PM <i>  ***  19 7  623\n"
    "\n H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name\n"
    "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.410.0 d<script>,\"x\n";

TEST(ChartFiles, TextsFromTheReportAreEscaped) {
  Drawn d;
  ChartOptions options;
  options.title = "a<b.txt";
  draw(kSkyReport, options, d);
  ASSERT_TRUE(d.read) << d.error.expected;
  const std::string& page = d.page.text();
  EXPECT_EQ(count(page, "<script"), 0u);
  EXPECT_EQ(count(page, "<b>"), 0u);
  EXPECT_GT(count(page, "&lt;script&gt;,&quot;x"), 0u);
  EXPECT_GT(count(page, "a&lt;b.txt"), 0u);
  EXPECT_NE(d.csv.text().find(",<i>,,\"<script>,\"\"x\","), std::string::npos);
}

// Text cells that a spreadsheet would run as a formula get an apostrophe in
// front; numbers, negative ones too, stay as they are.
TEST(ChartFiles, CsvTextCellsThatLookLikeFormulas) {
  struct Case {
    std::string text, cell;
  };
  const Case cases[] = {{"ISS (ZARYA)", "ISS (ZARYA)"},         {"=1+1", "'=1+1"},
                        {"+CMD|' /C calc'!A0", "'+CMD|' /C calc'!A0"}, {"-2+3", "'-2+3"},
                        {"@SUM(A1)", "'@SUM(A1)"},               {"=A1,B2", "\"'=A1,B2\""},
                        {"a \"b\"", "\"a \"\"b\"\"\""},           {"", ""}};
  for (const Case& c : cases) EXPECT_EQ(csv_text_cell(c.text), c.cell) << c.text;
  std::string report = example_report();
  report.replace(report.find("ISS (ZARYA)"), 11, "=SUM(A1:A9)");
  Drawn d;
  draw(report, ChartOptions(), d);
  ASSERT_TRUE(d.read);
  EXPECT_NE(d.csv.text().find(",25544,'=SUM(A1:A9),7,20,53,,12,285,0,304,4.2,0,2,256,254,852,0.5,150,14,1,19.2\n"),
            std::string::npos);
  EXPECT_NE(d.csv.text().find(",-10.0\n"), std::string::npos);
}

TEST(ChartFiles, EachNightSaysWhatItDrawsAndWhereTheOthersAre) {
  Drawn d;
  ChartOptions options;
  options.csvName = "points.csv";
  draw(crowded_night(), options, d);
  ASSERT_TRUE(d.read);
  EXPECT_EQ(count(d.page.text(), "The night has 150 passes; the chart draws the 30 brightest. 120 more passes are "
                                 "in the table of every prediction line (points.csv); draw others with --passes N "
                                 "(0 for all), --satellite, --brighter-than, --higher-than or --night."),
            1u);
  EXPECT_EQ(count(d.page.text(), "<tr id="), 30u);
  EXPECT_EQ(count(d.page.text(), "the page draws 30 passes of 1 nights"), 1u);
}

TEST(ChartFiles, OptionsChooseNightsAndPasses) {
  struct Case {
    ChartOptions options;
    std::size_t rows, nights;
    std::string says;
  };
  ChartOptions iss, second, bright, high, few;
  iss.choice.satellites = {"zarya"};
  second.choice.nights = {LocalDate{2017, 10, 17}};
  bright.choice.brighterThan = 3.5;
  high.choice.higherThan = 75.0;
  few.choice.limit = 2;
  const Case cases[] = {
      {iss, 2, 3, "The night has 9 passes, 0 of them as the options ask; the chart draws none."},
      {second, 9, 1, "The night has 9 passes; the chart draws them all."},
      {bright, 8, 3, "The night has 12 passes, 4 of them as the options ask; the chart draws them all."},
      {high, 6, 3, "The night has 9 passes, 1 of them as the options ask; the chart draws it."},
      {few, 6, 3, "The night has 13 passes; the chart draws the 2 brightest."},
  };
  for (const Case& c : cases) {
    Drawn d;
    draw(example_report(), c.options, d);
    ASSERT_TRUE(d.read);
    EXPECT_EQ(count(d.page.text(), "<tr id="), c.rows) << c.says;
    EXPECT_EQ(count(d.page.text(), "<section class=\"night\">"), c.nights) << c.says;
    EXPECT_EQ(count(d.page.text(), c.says), 1u) << c.says;
    EXPECT_EQ(count(d.calendar.text(), "BEGIN:VEVENT"), c.rows) << c.says;
    EXPECT_EQ(count(d.csv.text(), "\n"), 80u) << c.says;  // the table has every line
  }
}

// Shadow heights of a pass's points (km): where the pass leaves or enters
// the shadow, and when.
TEST(ChartFiles, ShadowCrossings) {
  struct Case {
    std::vector<double> heights;  // one point every 40 seconds from 19:00:00
    std::string crossings;
  };
  const Case cases[] = {
      {{254, 248, 238, 224, 205, 182, 154, 122, 86}, ""},          // the ISS of the example: ends high enough
      {{300, 200, 100, 40}, "enters shadow 19:02:27"},             // 40 - 60 would be below: 40/60 of a step on
      {{20, 120, 220}, "leaves shadow 18:59:52"},                  // 20 below it a step before
      {{80, 40, -10, -60}, "enters shadow 19:01:12"},               // eclipsed points kept: between 40 and -10
      {{-50, -10, 30, 80}, "leaves shadow 19:00:50"},
      {{40}, ""},
      {{100, 100}, ""},
  };
  for (const Case& c : cases) {
    ReportPass pass;
    for (std::size_t i = 0; i < c.heights.size(); ++i) {
      ReportPoint p;
      p.date = LocalDate{2017, 10, 16};
      p.seconds_of_day = 19 * 3600 + static_cast<int32_t>(40 * i);
      p.values[static_cast<std::size_t>(ReportField::ShadowHeight)] =
          PrintedValue{PrintedValue::State::Number, c.heights[i], {}};
      pass.points.push_back(p);
    }
    std::string found;
    for (const ShadowCrossing& s : shadow_crossings(pass)) found += (found.empty() ? "" : "; ") + shadow_text(s);
    EXPECT_EQ(found, c.crossings) << c.heights.front();
  }
}

TEST(ChartFiles, CalendarLinesAreEscapedFoldedAndEndedWithCrLf) {
  EXPECT_EQ(ics_text("a,b;c\\d\ne"), "a\\,b\\;c\\\\d\\ne");
  const std::string line = "DESCRIPTION:" + std::string(70, 'x') + "\xC2\xB0" + std::string(100, 'y');
  const std::string folded = folded_line(line);
  std::size_t start = 0, parts = 0;
  std::string joined;
  for (std::size_t end = folded.find("\r\n"); end != std::string::npos; end = folded.find("\r\n", start)) {
    const std::string part = folded.substr(start, end - start);
    EXPECT_LE(part.size(), 75u);
    joined += parts == 0 ? part : part.substr(1);  // a folded line starts with a blank
    ++parts;
    start = end + 2;
  }
  EXPECT_EQ(start, folded.size());
  EXPECT_EQ(joined, line);
  EXPECT_EQ(parts, 3u);
  // 75 octets, then a blank and 74 more: the degree sign's two bytes stay together.
  EXPECT_EQ(folded.substr(0, 87), "DESCRIPTION:" + std::string(63, 'x') + "\r\n " + std::string(7, 'x') + "\xC2\xB0");
  EXPECT_EQ(folded_line("END:VEVENT"), "END:VEVENT\r\n");
  EXPECT_EQ(utc_stamp(1508196053), "20171016T232053Z");
  EXPECT_EQ(utc_stamp(-1), "19691231T235959Z");
  EXPECT_EQ(compass_point(0), "N");
  EXPECT_EQ(compass_point(223), "SW");
  EXPECT_EQ(compass_point(349), "N");
  EXPECT_EQ(compass_point(348), "NNW");
}

TEST(ChartFiles, CalendarEventOfAPass) {
  Drawn d;
  ChartOptions options;
  options.alarmMinutes = 15;
  draw(example_report(), options, d);
  ASSERT_TRUE(d.read);
  const std::string& ics = d.calendar.text();
  const std::size_t at = ics.find("UID:20171016T232053Z-25544-40.000N75.000W@vespera-chart\r\n");
  ASSERT_NE(at, std::string::npos);
  const std::string event = ics.substr(at, ics.find("END:VEVENT", at) - at);
  EXPECT_NE(event.find("DTSTAMP:20171016T232000Z\r\n"), std::string::npos);
  EXPECT_NE(event.find("DTSTART:20171016T232053Z\r\nDTEND:20171016T232617Z\r\n"), std::string::npos);
  EXPECT_NE(event.find("SUMMARY:ISS (ZARYA) 0.7 mag\\, 29\xC2\xB0 high\r\n"), std::string::npos);
  EXPECT_NE(event.find("LOCATION:Backyard observatory\\, 40.000\xC2\xB0 N\\, 75.000\xC2\xB0 W\r\n"), std::string::npos);
  EXPECT_NE(event.find("GEO:40.000000;-75.000000\r\n"), std::string::npos);
  EXPECT_NE(event.find("TRIGGER:-PT15M\r\n"), std::string::npos);
  EXPECT_EQ(ics.substr(0, 17), "BEGIN:VCALENDAR\r\n");
  EXPECT_EQ(ics.substr(ics.size() - 15), "END:VCALENDAR\r\n");
}

}  // namespace
}  // namespace vespera::chart
