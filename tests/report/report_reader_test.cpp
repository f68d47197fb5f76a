#include "report/report_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/catalogue_number.h"
#include "report/line_splitter.h"

namespace vespera {
namespace {

const std::string kSettings =
    "  40.000  75.000  300.   Backyard observatory     2000  4.5 10 F F T T F\n";
const std::string kEvening =
    "\n***  2017 Oct  16  Mon evening  *** Times are PM EDT  ***  19 7  623\n";
const std::string kMorning =
    "\n***  2017 Oct  17  Tue morning  *** Times are AM EDT  ***  19 7  623\n";
const std::string kColumnsA =
    "\n H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec\n";
const std::string kColumnsB =
    "\n H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name\n";
const std::string kIss = "25544 ISS (ZARYA)                400 v-0.2 rule: ISS   \n";

ReportContents read_ok(const std::string& text) {
  ReportContents c;
  ReportReadError error;
  EXPECT_TRUE(read_report(text, c, error)) << error.line_number << ": " << error.expected;
  return c;
}

std::string hms(const ReportPoint& p) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", p.seconds_of_day / 3600,
                p.seconds_of_day / 60 % 60, p.seconds_of_day % 60);
  return std::to_string(p.date.day) + " " + text;
}

TEST(ReportReader, TheExampleReport) {
  std::ifstream file(std::string(VESPERA_TEST_DATA) + "/end_to_end/example-report.txt");
  std::stringstream text;
  text << file.rdbuf();
  const ReportContents c = read_ok(text.str());
  EXPECT_EQ(c.formatLetter, 'A');
  EXPECT_EQ(c.settings.siteName, "Backyard observatory");
  EXPECT_TRUE(c.settings.distancesInMiles);
  EXPECT_EQ(c.predictionLines, 79u);
  EXPECT_EQ(c.passes.size(), 34u);
  ASSERT_EQ(c.nights.size(), 3u);
  EXPECT_EQ(c.nights[0].evening, (LocalDate{2017, 10, 16}));
  const ReportPass& iss = c.passes[1];
  EXPECT_EQ(iss.label(), "ISS (ZARYA)");
  EXPECT_EQ(iss.identification.ncat, 25544);
  EXPECT_EQ(iss.identification.comment, "rule: ISS");
  EXPECT_DOUBLE_EQ(iss.identification.standardMagnitude.number, -0.2);
  ASSERT_EQ(iss.points.size(), 9u);
  EXPECT_EQ(hms(iss.points[0]), "16 19:20:53");  // 12-hour clock, evening
  EXPECT_TRUE(iss.points[4].found_here());
  EXPECT_EQ(iss.points[4][ReportField::Declination].number, -10.0);
  EXPECT_EQ(iss.points[0][ReportField::RaMinutes].number, 1.0);  // "14 1" is 14 h 1 min
}

// The 12-hour clock: hour 12 is midnight in the morning and noon in the
// evening; a pass runs on past midnight without a new header.
TEST(ReportReader, TimesOnTheTwelveHourClock) {
  const std::string line = "     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1  19.2\n";
  const ReportContents c =
      read_ok(kSettings + kMorning + kColumnsA + kIss + "12 20 53" + line + kEvening + kColumnsA +
              kIss + "12 20 53" + line + kEvening + kColumnsA + kIss + "11 59 50" + line +
              "12  5  1" + line + " 1  0  0" + line);
  ASSERT_EQ(c.passes.size(), 3u);
  EXPECT_EQ(hms(c.passes[0].points[0]), "17 00:20:53");
  EXPECT_EQ(hms(c.passes[1].points[0]), "16 12:20:53");
  EXPECT_EQ(hms(c.passes[2].points[1]), "17 00:05:01");
  EXPECT_EQ(hms(c.passes[2].points[2]), "17 01:00:00");
  // The morning header of the 17th belongs to the night of the 16th.
  ASSERT_EQ(c.nights.size(), 1u);
  EXPECT_EQ(c.nights[0].headers.size(), 3u);
}

// Formats B and C: the identification at the end of a pass's first line,
// the comment line under it, asterisks, lines ended by CR LF, and a name
// whose trailing blanks were cut.
TEST(ReportReader, SkyLayoutWithCommentAndAsterisks) {
  std::string text = kSettings + kEvening + kColumnsB +
                     "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.410.0 dDEMO SAT\n"
                     "        a comment\n"
                     "20 16  5  12 125 47   90*****   3 4*****1500  560 1430 25.4\n" +
                     "20 17  5     123 45C  90  2.5   3 4  400  15  560 1430 25.4       12345\n";
  std::string crlf;
  for (const char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  const ReportContents c = read_ok(crlf);
  EXPECT_EQ(c.formatLetter, 'B');
  ASSERT_EQ(c.passes.size(), 2u);
  EXPECT_EQ(c.passes[0].label(), "DEMO SAT");
  EXPECT_EQ(c.passes[0].identification.crossSection, "10.0");
  EXPECT_EQ(c.passes[0].commentLine, "a comment");
  const ReportPoint& second = c.passes[0].points[1];
  EXPECT_EQ(second[ReportField::TimeError].number, 12.0);
  EXPECT_EQ(second[ReportField::Magnitude].state, PrintedValue::State::Asterisks);
  EXPECT_EQ(second[ReportField::Height].state, PrintedValue::State::Asterisks);
  EXPECT_EQ(*second.azimuth(), 125.0);
  EXPECT_EQ(c.passes[1].label(), "12345");
}

// Times before 1970 count negative seconds: a pass's later points keep their
// date and time of day (a day is found by rounding down, not toward zero).
TEST(ReportReader, PassesBefore1970KeepTheirDatesAndTimes) {
  const std::string settings =
      "  40.000  75.000  300.   Backyard observatory     1950  4.5 10 F F T T F\n";
  const std::string line = "     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1  19.2\n";
  for (const char* year : {"1950", "1965", "1969", "1970", "2017"}) {
    const std::string evening =
        std::string("\n***  ") + year + " Dec  31  Mon evening  *** Times are PM EDT  ***  19 7  623\n";
    const ReportContents c = read_ok(settings + evening + kColumnsA + kIss + "23 59 30" + line +
                                     "23 59 59" + line + " 0  0 40" + line + " 0  1 20" + line);
    ASSERT_EQ(c.passes.size(), 1u) << year;
    const std::vector<ReportPoint>& p = c.passes[0].points;
    ASSERT_EQ(p.size(), 4u) << year;
    EXPECT_EQ(hms(p[0]), "31 23:59:30") << year;
    EXPECT_EQ(hms(p[1]), "31 23:59:59") << year;
    EXPECT_EQ(hms(p[2]), "1 00:00:40") << year;
    EXPECT_EQ(hms(p[3]), "1 00:01:20") << year;
    EXPECT_EQ(p[3].date.year, std::stoi(year) + 1) << year;
    EXPECT_EQ(p[3].date.month, 1) << year;
    EXPECT_EQ(p[3].local_seconds() - p[0].local_seconds(), 110) << year;
  }
}

// A report read in pieces of any size, with its line ends (LF, CR LF, a lone
// CR) falling between pieces, gives the lines of the whole text.
TEST(LineSplitter, PiecesOfAnySizeGiveTheSameLines) {
  const std::string text = "one\r\ntwo\rthree\n\nfour\r\r\nfive";
  const std::vector<std::string> whole = {"one", "two", "three", "", "four", "", "five"};
  for (std::size_t size = 1; size <= text.size(); ++size) {
    std::vector<std::string> lines;
    LineSplitter splitter;
    const auto take = [&lines](std::string_view line) {
      lines.emplace_back(line);
      return true;
    };
    for (std::size_t at = 0; at < text.size(); at += size) splitter.feed(std::string_view(text).substr(at, size), take);
    splitter.finish(take);
    EXPECT_EQ(lines, whole) << "pieces of " << size;
  }
}

TEST(LineSplitter, AVeryLongLineIsCut) {
  const std::string text = std::string(3 * LineSplitter::kMaxLine, 'x') + "\nnext\n";
  std::vector<std::size_t> lengths;
  LineSplitter splitter;
  const auto take = [&lengths](std::string_view line) {
    lengths.push_back(line.size());
    return true;
  };
  for (std::size_t at = 0; at < text.size(); at += 1000) splitter.feed(std::string_view(text).substr(at, 1000), take);
  splitter.finish(take);
  EXPECT_EQ(lengths, (std::vector<std::size_t>{LineSplitter::kMaxLine + 1, 4}));
}

TEST(ReportReader, CatalogueNumbers) {
  struct Case {
    const char* columns;
    std::optional<int32_t> ncat;
  };
  const Case cases[] = {{"25544", 25544}, {"  877", 877}, {"    1", 1}, {"99999", 99999},
                        {"     ", std::nullopt}, {" 7  8", std::nullopt}, {"*****", std::nullopt},
                        {"0 877", std::nullopt}, {"  -12", -12}};
  for (const Case& c : cases) EXPECT_EQ(read_catalogue_number(c.columns), c.ncat) << c.columns;
}

// The reader hands on what it reads as it reads it: the passes of a night
// before the header of the next night, each pass once it is complete.
TEST(ReportReader, HandsOnPassesAndNightsInOrder) {
  struct Events : ReportReceiver {
    std::string log;
    void header(const DayHeader& h, std::size_t index, bool starts_night) override {
      log.append("H").append(std::to_string(index)).append(starts_night ? "n" : "");
      log.append(std::to_string(h.date.day)).append(" ");
    }
    void point(const ReportPass& pass, const ReportPoint& p) override {
      log.append("p").append(std::to_string(pass.points.size()));
      log.append(p[ReportField::Magnitude].text.empty() ? " " : "t ");
    }
    void pass(ReportPass&& pass) override { log.append("P").append(std::to_string(pass.points.size())).append(" "); }
  } events;
  const std::string point = " 7 20 53     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1  19.2";
  const std::string text = kSettings + kEvening + kColumnsA + kIss + point + "\n" + point + "\n" +
                           kMorning + kColumnsA + kIss + point + "\n" +
                           "\n***  2017 Oct  17  Tue evening  *** Times are PM EDT  ***  19 7  623\n" +
                           kColumnsA + kIss + point;
  ReportReader reader(events);
  for (const std::string_view line : report_lines(text)) ASSERT_TRUE(reader.read_line(line)) << line;
  ASSERT_TRUE(reader.finish());
  EXPECT_EQ(events.log, "H0n16 p0t p1t P2 H1" "17 p0t P1 H2n17 p0t P1 ");
  EXPECT_EQ(reader.prediction_lines(), 4u);
}

struct BadReport {
  std::string text;
  int32_t line;
  std::string expected;  // the start of what the reader expected
};

TEST(ReportReader, FirstUnreadableLineAndWhatWasExpected) {
  const std::string a = kSettings + kEvening + kColumnsA;
  const std::string point =
      " 7 20 53     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1  19.2\n";
  const BadReport cases[] = {
      {"", 1, "the settings line"},
      {"  40.000  75.000 ...\n", 1, "the settings line"},
      {kSettings + kColumnsA, 3, "a day header"},
      {kSettings + kEvening + "\n H  M  S\n", 5, "the column header of a report format"},
      {a + point, 6, "a pass identification line"},
      {a + kIss + " 7 20 53     12 285   304  4.x   0 2  256 254  852 0.5 150 14 1  19.2\n", 7,
       "a prediction line of format A: a number in columns 26-30 (magnitude)"},
      {a + kIss + " 7 20 53     12 285 X 304  4.2   0 2  256 254  852 0.5 150 14 1  19.2\n", 7,
       "C or a blank in column 21"},
      {a + kIss + " 7 20 53     12 285   304  4.2   0 2  256 254  852 0.5 150 14 1\n", 7,
       "a prediction line of format A: the declination in columns 64-69"},
      {a + kIss + point + kIss, 8, "a prediction line after the last identification line"},
      {a + kIss + point + kEvening + kColumnsB, 11, "the column header of format A as above"},
      {kSettings + kEvening + kColumnsB + "        a comment\n", 6, "a prediction line of format B"},
  };
  for (const BadReport& bad : cases) {
    ReportContents c;
    ReportReadError error;
    EXPECT_FALSE(read_report(bad.text, c, error)) << bad.text;
    EXPECT_EQ(error.line_number, bad.line) << bad.text;
    EXPECT_EQ(error.expected.substr(0, bad.expected.size()), bad.expected) << error.expected;
  }
}

}  // namespace
}  // namespace vespera
