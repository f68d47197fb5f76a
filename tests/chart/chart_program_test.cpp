// The chart program on the example's report, on outputs that would replace
// the report or one another, and on reports and command lines it cannot
// take: its files, messages and exit status, and that it then leaves the
// report as it was and writes nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

#include "chart/threaded_reading.h"
#include "chart_test_support.h"

namespace vespera::chart {
namespace {

using namespace test_support;

// The files in a folder, but for the program's captured output.
std::set<std::string> files_in(const test::TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.dir())) {
    const std::string name = std::filesystem::relative(entry.path(), dir.dir()).string();
    if (name != "out.txt" && name != "err.txt") names.insert(name);
  }
  return names;
}

TEST(ChartProgram, ExamplePageCsvAndCalendar) {
  const std::string text = example_report();
  // Counted from the text: identification lines start with a catalogue
  // number in columns 1-5, prediction lines with the time's three fields.
  std::size_t passes = 0, lines = 0;
  std::istringstream rows(text);
  for (std::string row; std::getline(rows, row);) {
    passes += std::regex_search(row, std::regex("^ *[0-9]+( |$)")) && row.size() < 69;
    lines += std::regex_search(row, std::regex("^[ 0-9][0-9][ 0-9]{2}[0-9][ 0-9]{2}[0-9] "));
  }
  ASSERT_EQ(passes, 34u);
  ASSERT_EQ(lines, 79u);

  test::TempDir dir;
  dir.write("report.txt", text);
  std::string err;
  ASSERT_EQ(run_chart(dir, "report.txt --csv rows.csv --ics passes.ics", err), 0) << err;
  const std::string page = read_file(dir.path("report.html"));
  EXPECT_EQ(count(page, "<polyline class=\"track\""), 2 * passes);  // on the night's chart and the pass's
  EXPECT_EQ(count(page, "<svg class=\"sky\""), 3u);                  // one chart a night
  EXPECT_EQ(count(page, "<figure class=\"pass-chart\""), passes);    // one chart a pass
  EXPECT_EQ(count(page, "<tr id=\""), passes);                       // a table row a pass
  EXPECT_EQ(count(page, "class=\"stars\""), 5 * passes);             // stars of every size on every pass's chart
  EXPECT_EQ(count(page, "<script"), 0u);
  EXPECT_EQ(count(page, "://"), 0u);  // nothing to load from elsewhere
  // Each row leads to its pass's chart, and the chart back to the row.
  EXPECT_EQ(count(page, "<a href=\"#n1p2\">sky chart</a>"), 1u);
  EXPECT_EQ(count(page, "id=\"n1p2\""), 1u);
  EXPECT_EQ(count(page, "<a href=\"#n1r2\">Table</a>"), 1u);
  EXPECT_EQ(count(page, "The night has 13 passes; the chart draws them all."), 1u);
  const std::string csv = read_file(dir.path("rows.csv"));
  EXPECT_EQ(count(csv, "\n"), lines + 1);
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "date,time,zone,ncat,satellite,hour,minute,second,time_error,altitude,azimuth,c_mark,"
            "direction,magnitude,age_in_days,tenth_of_the_orbit,height,shadow_height,range,ew,"
            "phase_angle,right_ascension_hours,right_ascension_minutes,declination");
  EXPECT_NE(csv.find("\n2017-10-16,19:23:35,EDT,25544,ISS (ZARYA),7,23,35,,29,223,1,269,0.8,0,3,257,"
                     "205,481,1.5,118,17,36,-10.0\n"),
            std::string::npos);
  EXPECT_EQ(count(read_file(dir.path("passes.ics")), "BEGIN:VEVENT"), passes);
}

// The program reads its report with two threads (the prediction lines read
// ahead); what it writes is what one reading in memory writes, line for line.
TEST(ChartProgram, WritesWhatAReadingInMemoryWrites) {
  for (const std::string& text : {example_report(), crowded_night()}) {
    test::TempDir dir;
    dir.write("r.txt", text);
    std::string err;
    ASSERT_EQ(run_chart(dir, "r.txt --csv rows.csv", err), 0) << err;
    Drawn d;
    ChartOptions options;
    options.title = "r.txt";
    options.csvName = "rows.csv";
    draw(text, options, d);
    ASSERT_TRUE(d.read);
    EXPECT_EQ(read_file(dir.path("rows.csv")), d.csv.text());
    EXPECT_EQ(read_file(dir.path("r.html")), d.page.text());
  }
}

// When no helper thread can be started (a machine out of threads), the
// calling thread reads the report alone and writes the same.
TEST(ChartProgram, ReadsAloneWhenNoThreadCanStart) {
  const std::string text = crowded_night();
  test::TempDir dir;
  std::FILE* file = std::fopen(dir.write("r.txt", text).c_str(), "rb");
  ASSERT_NE(file, nullptr);
  ChartOptions options;
  options.title = "r.txt";
  options.csvName = "rows.csv";
  Drawn alone;
  ChartBuilder builder(options, ChartOutputs{&alone.page, &alone.csv, &alone.calendar, 1508196000});
  const ThreadStarter refuse = [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  const ReadingOutcome outcome = read_report_file(file, builder, refuse);
  std::fclose(file);
  ASSERT_EQ(outcome.kind, ReadingOutcome::Kind::Read);
  builder.finish(outcome.predictionLines);
  Drawn d;
  draw(text, options, d);
  ASSERT_TRUE(d.read);
  EXPECT_EQ(alone.csv.text(), d.csv.text());
  EXPECT_EQ(alone.page.text(), d.page.text());
  EXPECT_EQ(alone.calendar.text(), d.calendar.text());
}

// Outputs that name the report, or one another, however they are spelled:
// refused before anything is written; the report stays byte for byte.
TEST(ChartProgram, RefusesOutputsThatNameTheReportOrOneAnother) {
  test::TempDir dir;
  const std::string text = example_report();
  dir.write("r.txt", text);
  std::filesystem::create_directory(dir.path("sub"));
  ASSERT_EQ(::link(dir.path("r.txt").c_str(), dir.path("hard.txt").c_str()), 0);
  std::filesystem::create_symlink("r.txt", dir.path("soft.txt"));
  const std::set<std::string> before = files_in(dir);
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"r.txt --csv r.txt", "r.txt: the CSV table would replace the report"},
      {"r.txt -o r.txt", "r.txt: the page would replace the report"},
      {"r.txt -o ./r.txt --csv c.csv", "./r.txt: the page would replace the report"},
      {"r.txt --csv sub/../r.txt", "sub/../r.txt: the CSV table would replace the report"},
      {"r.txt --ics hard.txt", "hard.txt: the calendar would replace the report"},
      {"r.txt --csv soft.txt", "soft.txt: the CSV table would replace the report"},
      {"./sub/../r.txt --csv=" + dir.path("r.txt"), dir.path("r.txt") + ": the CSV table would replace"},
      {"r.txt -o x.html --csv x.html", "x.html: the page and the CSV table name the same file"},
      {"r.txt -o x.html --csv ./x.html", "./x.html: the page and the CSV table name the same file"},
      {"r.txt --csv c.csv --ics sub/../c.csv", "sub/../c.csv: the CSV table and the calendar name the same"},
      {"r.txt --csv r.html", "r.html: the page and the CSV table name the same file"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(run_chart(dir, c.arguments, err), 2) << c.arguments;
    EXPECT_EQ(err.substr(0, 15 + c.message.size()), "vespera-chart: " + c.message) << c.arguments;
    EXPECT_EQ(read_file(dir.path("r.txt")), text) << c.arguments;
    EXPECT_EQ(files_in(dir), before) << c.arguments;  // nothing written, not even a temporary file
  }
}

TEST(ChartProgram, ReportsAndCommandLinesItCannotTake) {
  test::TempDir dir;
  const std::string good = example_report();
  dir.write("cut.txt", good.substr(0, good.find("ARIANE") - 6) + "X\n");
  dir.write("good.txt", good);
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"cut.txt --csv rows.csv",
       "vespera-chart: cut.txt:18: expected a prediction line of format A: the minute in columns 3-5"},
      {"missing.txt", "vespera-chart: missing.txt: cannot read the report"},
      {"sub", "vespera-chart: sub: cannot read the report"},
      {"", "vespera-chart: no report named"},
      {"cut.txt -o", "vespera-chart: unknown option or missing value: -o"},
      {"cut.txt -o cut.txt", "vespera-chart: cut.txt: the page would replace the report"},
      {"good.txt --passes x", "vespera-chart: --passes takes a whole number of passes, 0 for all, not \"x\""},
      {"good.txt --passes=-1", "vespera-chart: --passes takes a whole number"},
      {"good.txt --night 2017-02-30", "vespera-chart: --night takes the date of a night's evening"},
      {"good.txt --brighter-than 3,5", "vespera-chart: --brighter-than takes a magnitude, not \"3,5\""},
      {"good.txt --higher-than 95", "vespera-chart: --higher-than takes an altitude in degrees"},
      {"good.txt --utc-offset 15", "vespera-chart: --utc-offset takes the hours added to UT"},
      {"good.txt --alarm 10", "vespera-chart: --alarm needs --ics FILE"},
      {"good.txt --ics c.ics --alarm -5", "vespera-chart: --alarm takes the minutes before a pass"},
      {"good.txt --colour red", "vespera-chart: unknown option or missing value: --colour"},
      {"good.txt other.txt", "vespera-chart: more than one report: other.txt"},
  };
  std::filesystem::create_directory(dir.path("sub"));
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(run_chart(dir, c.arguments, err), 2) << c.arguments;
    EXPECT_EQ(err.substr(0, c.message.size()), c.message) << err;
  }
  EXPECT_EQ(files_in(dir), (std::set<std::string>{"cut.txt", "good.txt", "sub"}));
}

// A report of format R has no right ascensions to tell its clock's offset
// from UT: the calendar needs --utc-offset (or a zone label such as UTC).
TEST(ChartProgram, CalendarOfAReportWithoutRightAscensions) {
  test::TempDir dir;
  const std::string radar =
      "  40.000  75.000  300.   Backyard observatory     2000  4.5 10 T F T T F\n"
      "\n***  2017 Oct  16  Mon evening  *** Times are PM EDT  ***  19 7  623\n"
      "\n H  M  S Tim Al Azi C Dys F  Hgt  Rng\n"
      "25544 ISS (ZARYA)\n"
      "19 20 53     12 285     0 2  256  852\n"
      "19 21 34     16 277 C   0 3  256  711\n";
  dir.write("r.txt", radar);
  std::string err;
  EXPECT_EQ(run_chart(dir, "r.txt --ics r.ics", err), 2);
  EXPECT_EQ(err, "vespera-chart: r.txt: the night of 2017-10-16 does not tell its clock's offset from UT "
                 "(a report of format R); give --utc-offset HOURS\n");
  EXPECT_EQ(files_in(dir), std::set<std::string>{"r.txt"});
  ASSERT_EQ(run_chart(dir, "r.txt --ics r.ics --utc-offset -4", err), 0) << err;
  EXPECT_NE(read_file(dir.path("r.ics")).find("DTSTART:20171016T232053Z\r\n"), std::string::npos);
  EXPECT_EQ(count(read_file(dir.path("r.html")), "class=\"stars\""), 5u);
  ASSERT_EQ(run_chart(dir, "r.txt -o plain.html", err), 0) << err;
  const std::string plain = read_file(dir.path("plain.html"));
  EXPECT_EQ(count(plain, "class=\"stars\""), 0u);
  EXPECT_EQ(count(plain, "no stars: the report's offset from UT is not known"), 1u);
}

}  // namespace
}  // namespace vespera::chart
