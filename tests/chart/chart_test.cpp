// The sky-chart companion on the example's report and on reports it cannot
// read: the page's tracks and the table's rows against counts taken from the
// report's text, escaped texts, and the messages and exit status of the
// program, which then leaves no file behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "chart/point_table.h"
#include "chart/sky_chart_page.h"
#include "report/report_reader.h"
#include "support/temp_files.h"

namespace vespera {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Runs vespera-chart in `dir`; returns its exit status, with its standard error.
int run_chart(const test::TempDir& dir, const std::string& arguments, std::string& err) {
  const std::string command = "cd " + dir.dir() + " && " + VESPERA_CHART_BINARY + " " + arguments +
                              " >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  err = read_file(dir.path("err.txt"));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SkyChart, ExamplePageHasATrackPerPassAndTheTableARowPerLine) {
  const std::string text = read_file(std::string(VESPERA_TEST_DATA) + "/end_to_end/example-report.txt");
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
  ASSERT_EQ(run_chart(dir, "report.txt --csv rows.csv", err), 0) << err;
  const std::string page = read_file(dir.path("report.html"));
  EXPECT_EQ(count(page, "class=\"track\""), passes);
  EXPECT_EQ(count(page, "<svg"), 3u);  // one chart a night
  EXPECT_EQ(count(page, "<tr>"), passes + 3);  // a table row a pass, a heading row a night
  EXPECT_EQ(count(page, "<script"), 0u);
  EXPECT_EQ(count(page, "://"), 0u);  // nothing to load from elsewhere
  const std::string csv = read_file(dir.path("rows.csv"));
  EXPECT_EQ(count(csv, "\n"), lines + 1);
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "date,time,zone,ncat,satellite,hour,minute,second,time_error,altitude,azimuth,c_mark,"
            "direction,magnitude,age_in_days,tenth_of_the_orbit,height,shadow_height,range,ew,"
            "phase_angle,right_ascension_hours,right_ascension_minutes,declination");
  EXPECT_NE(csv.find("\n2017-10-16,19:23:35,EDT,25544,ISS (ZARYA),7,23,35,,29,223,1,269,0.8,0,3,257,"
                     "205,481,1.5,118,17,36,-10.0\n"),
            std::string::npos);
}

TEST(SkyChart, TextsFromTheReportAreEscaped) {
  const std::string report =
      "  40.000  75.000  300.   <b>&\"site\"</b>           2000  4.5 10 F F T T F\n"
      "\n***  2017 Oct  16  Mon evening  *** Times are PM <i>  ***  19 7  623\n"
      "\n H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name\n"
      "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.410.0 d<script>,\"x\n";
  ReportContents contents;
  ReportReadError error;
  ASSERT_TRUE(read_report(report, contents, error)) << error.expected;
  const std::string page = chart::sky_chart_page(contents, chart::ChartOptions{"a<b.txt", false});
  EXPECT_EQ(count(page, "<script"), 0u);
  EXPECT_EQ(count(page, "<b>"), 0u);
  EXPECT_GT(count(page, "&lt;script&gt;,&quot;x"), 0u);
  EXPECT_GT(count(page, "a&lt;b.txt"), 0u);
  EXPECT_NE(chart::point_table_csv(contents).find(",<i>,,\"<script>,\"\"x\","), std::string::npos);
}

TEST(SkyChart, ReportsThatDoNotReadAndWrongCommandLines) {
  test::TempDir dir;
  const std::string good = read_file(std::string(VESPERA_TEST_DATA) + "/end_to_end/example-report.txt");
  dir.write("cut.txt", good.substr(0, good.find("ARIANE") - 6) + "X\n");
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"cut.txt --csv rows.csv",
       "vespera-chart: cut.txt:18: expected a prediction line of format A: the minute in columns 3-5"},
      {"missing.txt", "vespera-chart: missing.txt: cannot read the report"},
      {"", "vespera-chart: no report named"},
      {"cut.txt -o", "vespera-chart: unknown option or missing value: -o"},
      {"cut.txt -o cut.txt", "vespera-chart: cut.txt:18: expected"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(run_chart(dir, c.arguments, err), 2) << c.arguments;
    EXPECT_EQ(err.substr(0, c.message.size()), c.message) << err;
  }
  // Nothing written, not even in part.
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.dir())) {
    files += entry.path().filename() != "out.txt" && entry.path().filename() != "err.txt";
  }
  EXPECT_EQ(files, 1u);
}

}  // namespace
}  // namespace vespera
