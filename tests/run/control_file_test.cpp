#include "run/control_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "vocabulary/program_exit.h"
#include "run_test_support.h"

namespace vespera {
namespace {

using testing::CapturedConsole;
using testing::lines;
using testing::TempWorkingDirectory;

// Lines 1 to 17 of a valid section (the example of the user documentation).
std::vector<std::string> good_section() {
  return {"2020 5", "10 12", "0 0", "40.0 75.0 300 Backyard observatory", "-4 EDT 12",
          "2000", "4.5", "10", "1.0", "T", "T", "F", "F", "T", "F", "", "A"};
}

std::vector<std::string> with_line(int line_number, const std::string& text) {
  std::vector<std::string> section = good_section();
  section[static_cast<std::size_t>(line_number - 1)] = text;
  return section;
}

// Reads one section of `control_text` (from a file named on the command
// line) with the console answers given; returns the status.
struct SectionResult {
  int status;
  std::string out;
  RunSettings settings;
};

SectionResult read_section(const std::string& control_text, const std::string& answers = "") {
  TempWorkingDirectory directory;
  directory.write("test.ctl", control_text);
  CapturedConsole captured(answers);
  ControlFile control(std::string("test.ctl"));
  SectionResult result{};
  result.status = read_control_section(true, control, result.settings, captured.console);
  result.out = captured.out();
  return result;
}

// The value error message: two lines, the columns and the 80-column line.
std::string value_error(const char* kind, int first, int last, const std::string& line) {
  char head[80];
  std::snprintf(head, sizeof head, "Invalid %s input value columns%3d to%3d\n", kind, first, last);
  return head + std::string(" ") + fixed_record(line, 80) + "\n";
}

TEST(ControlSection, ReadsTheExampleSection) {
  const SectionResult r = read_section(lines(good_section()));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  const RunSettings& s = r.settings;
  EXPECT_EQ(s.year, 2020);
  EXPECT_EQ(s.month, 5);
  EXPECT_EQ(s.firstDay, 11);  // twilight mode raises the days by one
  EXPECT_EQ(s.lastDay, 13);
  EXPECT_EQ(s.startOffsetHours, 0.0f);
  EXPECT_EQ(s.windowLetter, ' ');
  EXPECT_EQ(s.latitudeDeg, 40.0f);
  EXPECT_EQ(s.westLongitudeDeg, 75.0f);
  EXPECT_EQ(s.heightFeet, 300.0f);
  EXPECT_EQ(s.siteName.view(), "Backyard observatory    ");
  EXPECT_EQ(s.zoneOffsetHours, -4.0f);
  EXPECT_EQ(s.zoneLabel.view(), "EDT ");
  EXPECT_EQ(s.clockHours, 12);
  EXPECT_EQ(s.equinoxYear, 2000);
  EXPECT_EQ(s.magnitudeLimit, 4.5f);
  EXPECT_EQ(s.minAltitudeDeg, 10);
  EXPECT_EQ(s.minAltitude, static_cast<float>(10.0 * static_cast<double>(0.017453292f)));
  EXPECT_EQ(s.stepScale, 1.0f);
  EXPECT_TRUE(s.keepElementsInMemory);
  EXPECT_TRUE(s.dropOlderDuplicates);
  EXPECT_FALSE(s.ignoreShadow);
  EXPECT_FALSE(s.walkPasses);
  EXPECT_TRUE(s.distancesInMiles);
  EXPECT_FALSE(s.blankLineBeforePass);
  EXPECT_EQ(s.selectionCount, 0);
  EXPECT_FALSE(s.ncatListMode);
  EXPECT_FALSE(s.altAzLimits);
  EXPECT_FALSE(s.raDecLimits);
  EXPECT_EQ(s.formatLetter, 'A');
  EXPECT_EQ(s.rangePhaseLetter, ' ');
  EXPECT_FALSE(s.rangeLimitOn);
  EXPECT_FALSE(s.radarFormat);
  EXPECT_FALSE(s.detailListing);
}

// Every message of a settings line, with its columns and the echoed line.
TEST(ControlSection, MessagesTable) {
  struct Row {
    int line;
    std::string text;
    std::string expected;
  };
  const Row rows[] = {
      {1, "2020 x", value_error("integer", 6, 6, "2020 x")},
      {1, "2020", value_error("integer", 1, 80, "2020")},
      {1, "2020.5 5", value_error("integer", 1, 6, "2020.5 5")},
      {1, "may 2020", value_error("integer", 1, 3, "may 2020")},
      {1, "2020 13", "Invalid month number: 13\n"},
      {1, "2020 0", "Invalid month number:  0\n"},
      {1, "2020 -1", "Invalid month number: -1\n"},
      {1, "2020 1234", "Invalid month number:***\n"},
      {2, "x 12", value_error("integer", 1, 1, "x 12")},
      // Nothing on the line: the first column is that of the last token
      // found, here the month on line 1.
      {2, "", value_error("integer", 6, 80, "")},
      {3, "0", value_error("numeric", 1, 80, "0")},
      {3, "0 x", value_error("numeric", 3, 3, "0 x")},
      {3, "1.5,*", value_error("numeric", 5, 5, "1.5,*")},
      {4, "40.0 75.0 abc", value_error("numeric", 11, 13, "40.0 75.0 abc")},
      {4, "40.0,75.0", value_error("numeric", 6, 80, "40.0,75.0")},
      {5, "-4 12 12", value_error("text", 4, 5, "-4 12 12")},
      {5, "-4 +EDT 12", value_error("text", 4, 4, "-4 +EDT 12")},
      {5, "EDT -4 12", value_error("numeric", 1, 3, "EDT -4 12")},
      {5, "-4 EDT", value_error("integer", 4, 80, "-4 EDT")},
      {5, "-4 EDT 12.5", value_error("integer", 8, 11, "-4 EDT 12.5")},
      {10, "X", value_error("logical", 1, 1, "X")},
      {10, "TRUE", value_error("logical", 1, 4, "TRUE")},
      {10, "", value_error("logical", 1, 80, "")},
      {11, "1", value_error("logical", 1, 1, "1")},
      {12, ".T", value_error("logical", 1, 1, ".T")},
      {13, "T", value_error("integer", 1, 80, "T")},
      {13, "T 0", value_error("integer", 3, 3, "T 0")},
      {13, "T, 2.5", value_error("integer", 4, 6, "T, 2.5")},
      {13, "T x", value_error("integer", 3, 3, "T x")},
      {14, "yes", value_error("logical", 1, 3, "yes")},
      {15, "  F2", value_error("logical", 3, 4, "  F2")},
      {17, "X", "Invalid A, B, C, D, R format flag in column 1\n " + fixed_record("X", 40) + "\n"},
      {17, "a", "Invalid A, B, C, D, R format flag in column 1\n " + fixed_record("a", 40) + "\n"},
      {17, "", "Invalid A, B, C, D, R format flag in column 1\n " + fixed_record("", 40) + "\n"},
      {17, "A Q", "Invalid Range/Phase flag in column 3\n " + fixed_record("A Q", 40) + "\n"},
      {17, "B  r", "Invalid Range/Phase flag in column 3\n " + fixed_record("B  r", 40) + "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("line " + std::to_string(row.line) + ": " + row.text);
    const SectionResult r = read_section(lines(with_line(row.line, row.text)));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, row.expected);
  }
}

TEST(ControlSection, SkyRegionAndRangeLimitMessages) {
  struct Row {
    std::vector<std::string> tail;  // lines from 16 on
    std::string expected;
  };
  const Row rows[] = {
      {{"AA", "10 80 0"}, value_error("numeric", 7, 80, "10 80 0")},
      {{"AA", "10 80 0 x"}, value_error("numeric", 9, 9, "10 80 0 x")},
      {{"RD", "1 2 3 4 5"}, value_error("numeric", 9, 80, "1 2 3 4 5")},
      {{"", "A       RL", ""}, "Invalid Range Limit value\n " + fixed_record("", 80) + "\n"},
      {{"", "A        RL", "far"}, "Invalid Range Limit value\n " + fixed_record("far", 80) + "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tail[0] + " / " + row.tail[1]);
    std::vector<std::string> section = good_section();
    section.resize(15);
    section.insert(section.end(), row.tail.begin(), row.tail.end());
    const SectionResult r = read_section(lines(section));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, row.expected);
  }
}

TEST(ControlSection, LinesSixToNineDefaultSilently) {
  std::vector<std::string> section = good_section();
  section[5] = "x";
  section[6] = "";
  section[7] = "10.5";
  section[8] = "fast";
  SectionResult r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.settings.equinoxYear, 1950);
  EXPECT_EQ(r.settings.magnitudeLimit, 12.0f);
  EXPECT_EQ(r.settings.minAltitudeDeg, 15);
  EXPECT_EQ(r.settings.minAltitude, static_cast<float>(15.0 * static_cast<double>(0.017453292f)));
  EXPECT_EQ(r.settings.stepScale, 1.0f);
}

TEST(ControlSection, StepScaleOfZeroOrLessTakesTheDefault) {
  // A step scale of 0 would let a walked pass step in place for ever.
  for (const char* text : {"0", "-0.5", "-2", "0.0"}) {
    SCOPED_TRACE(text);
    const SectionResult r = read_section(lines(with_line(9, text)));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.settings.stepScale, 1.0f);
  }
  const SectionResult r = read_section(lines(with_line(9, "0.5")));
  EXPECT_EQ(r.settings.stepScale, 0.5f);
}

TEST(ControlSection, WalkStepsOnLineThirteen) {
  SectionResult r = read_section(lines(with_line(13, "T 99")));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.walkPasses);
  EXPECT_EQ(r.settings.maxWalkSteps, 99);
  r = read_section(lines(with_line(13, "F 0")));  // no number is read after F
  ASSERT_EQ(r.status, 0);
  EXPECT_FALSE(r.settings.walkPasses);
}

TEST(ControlSection, DatePromptWithTheMonthName) {
  std::vector<std::string> section = with_line(1, "2020 9");
  section[1] = "0";
  SectionResult r = read_section(lines(section), "3 5\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Enter start date and stop date for Sept prediction\n");
  EXPECT_EQ(r.settings.firstDay, 4);
  EXPECT_EQ(r.settings.lastDay, 6);

  section[0] = "2020 5";
  r = read_section(lines(section), "7\n");  // no last day: the first day
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Enter start date and stop date for May  prediction\n");
  EXPECT_EQ(r.settings.firstDay, 8);
  EXPECT_EQ(r.settings.lastDay, 8);

  r = read_section(lines(section), "0 0\n");  // a 0 typed here stays 0
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.firstDay, 1);
  EXPECT_EQ(r.settings.lastDay, 1);

  // An error in the answer echoes the typed line.
  r = read_section(lines(section), "  soon\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Enter start date and stop date for May  prediction\n" +
                       value_error("integer", 3, 6, "  soon"));

  EXPECT_THROW(read_section(lines(section), ""), FatalIoError);
}

TEST(ControlSection, LastDayMissingInvalidOrZeroIsTheFirstDay) {
  for (const char* text : {"10", "10 x", "10 0", "10 2.5"}) {
    SCOPED_TRACE(text);
    const SectionResult r = read_section(lines(with_line(2, text)));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.settings.firstDay, 11);
    EXPECT_EQ(r.settings.lastDay, 11);
  }
}

TEST(ControlSection, Tonight) {
  std::vector<std::string> section = good_section();
  section.erase(section.begin() + 1);  // no line 2
  section[0] = "tonight";
  section[1] = "-1 2 A";
  const CalendarDate before = today_date();
  SectionResult r = read_section(lines(section));
  const CalendarDate after = today_date();
  ASSERT_EQ(r.status, 0);
  const bool same_day = r.settings.firstDay == before.day || r.settings.firstDay == after.day;
  EXPECT_TRUE(same_day);
  EXPECT_EQ(r.settings.year, after.year);
  EXPECT_EQ(r.settings.month, after.month);
  EXPECT_EQ(r.settings.lastDay, r.settings.firstDay);
  EXPECT_EQ(r.settings.windowLetter, 'A');
  EXPECT_EQ(r.settings.startOffsetHours, -1.0f);
  EXPECT_EQ(r.settings.endOffsetHours, 2.0f);

  section[1] = "0 0";  // twilight mode: today's day plus one
  r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.firstDay == before.day + 1 || r.settings.firstDay == after.day + 1);
  EXPECT_EQ(r.settings.lastDay, r.settings.firstDay);

  // Only "tonight" in columns 1-7, in lower case, is the keyword.
  section[0] = "Tonight";
  r = read_section(lines(section));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, value_error("integer", 1, 7, "Tonight"));
}

TEST(ControlSection, WindowLetterSiteNameAndZoneLabel) {
  std::vector<std::string> section = good_section();
  section[2] = "1.5 -2 abs";
  section[3] = "51.5,-0.1,,35 ,, Royal Observatory, Greenwich, London";
  section[4] = "+1 bst, 24";
  SectionResult r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.windowLetter, 'A');
  EXPECT_EQ(r.settings.firstDay, 10);  // absolute mode: days unchanged
  EXPECT_EQ(r.settings.startOffsetHours, 1.5f);
  EXPECT_EQ(r.settings.endOffsetHours, -2.0f);
  EXPECT_EQ(r.settings.westLongitudeDeg, -0.1f);
  EXPECT_EQ(r.settings.heightFeet, 35.0f);
  EXPECT_EQ(r.settings.siteName.view(), "Royal Observatory, Green");
  EXPECT_EQ(r.settings.zoneLabel.view(), "BST ");
  EXPECT_EQ(r.settings.clockHours, 24);

  section[2] = "0 0 3";  // a number after the offsets is no window letter
  section[3] = std::string(70, ' ') + "1 2 3 Hill";
  section[4] = "0 greenwich 24";
  r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.windowLetter, ' ');
  EXPECT_EQ(r.settings.siteName.view(), fixed_record("Hill", 24));  // cut at column 80
  EXPECT_EQ(r.settings.zoneLabel.view(), "GREE");

  section[3] = "1 2 3 , ,";
  r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.siteName.blank());
}

TEST(ControlSection, SelectionByFlagLetters) {
  SectionResult r = read_section(lines(with_line(16, "vbNa")));
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.selectionCount, 4);
  EXPECT_EQ(r.settings.flagLetters.view(), "vbNa      ");

  // Lower-case "aa" is two flag letters; "AA" off column 1 is not the keyword.
  r = read_section(lines(with_line(16, "aa")));
  EXPECT_EQ(r.settings.selectionCount, 2);
  EXPECT_FALSE(r.settings.altAzLimits);
  r = read_section(lines(with_line(16, " AA")));
  EXPECT_EQ(r.settings.selectionCount, 2);
  EXPECT_EQ(r.settings.flagLetters.view(), "AA        ");
  EXPECT_FALSE(r.settings.altAzLimits);
  r = read_section(lines(with_line(16, "a b c d e f g h")));  // only 10 columns count
  EXPECT_EQ(r.settings.selectionCount, 5);
  EXPECT_EQ(r.settings.flagLetters.view(), "abcde     ");
}

TEST(ControlSection, SkyRegions) {
  std::vector<std::string> section = good_section();
  section[15] = "AA";
  section.insert(section.begin() + 16, "10, 80 90 270");
  SectionResult r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.altAzLimits);
  EXPECT_FLOAT_EQ(r.settings.altitudeMin * 57.29578f, 10.0f);
  EXPECT_FLOAT_EQ(r.settings.azimuthMax * 57.29578f, 270.0f);

  section[15] = "RD";
  section[16] = "23 30 1 0 -10.5 45";
  r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.raDecLimits);
  EXPECT_EQ(r.settings.raMin, static_cast<float>(352.5 * static_cast<double>(0.017453292f)));
  EXPECT_EQ(r.settings.raMax, static_cast<float>(15.0 * static_cast<double>(0.017453292f)));
  EXPECT_EQ(r.settings.decMin, static_cast<float>(-10.5 * static_cast<double>(0.017453292f)));
  EXPECT_EQ(r.settings.decMax, static_cast<float>(45.0 * static_cast<double>(0.017453292f)));
}

TEST(ControlSection, FormatLineLettersAndRangeLimit) {
  struct Row {
    std::string line17;
    std::string line17a;
    char format, range_phase, detail, azimuth;
    bool range_limit_on;
    bool detail_listing;
  };
  const Row rows[] = {
      {"A", "", 'A', ' ', ' ', ' ', false, false},
      {"A R D A", "", 'A', 'R', 'D', 'A', false, true},
      {"A RD", "", 'A', 'R', ' ', ' ', false, false},  // column 4 is not read when 3 is set
      {" A R D A RL", "300", 'A', 'R', 'D', 'A', true, true},  // shifted one column
      {"D P D   RL", "300", 'D', 'P', 'D', ' ', true, true},
      {"E", "", 'E', ' ', ' ', ' ', false, false},
      {"B  PN", "", 'B', 'P', 'N', ' ', false, false},
      {"C   D", "", 'C', ' ', 'D', ' ', false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line17);
    std::vector<std::string> section = with_line(17, row.line17);
    if (row.range_limit_on) section.push_back(row.line17a);
    const SectionResult r = read_section(lines(section));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.settings.formatLetter, row.format);
    EXPECT_EQ(r.settings.rangePhaseLetter, row.range_phase);
    EXPECT_EQ(r.settings.detailLetter, row.detail);
    EXPECT_EQ(r.settings.azimuthLetter, row.azimuth);
    EXPECT_EQ(r.settings.rangeLimitOn, row.range_limit_on);
    EXPECT_EQ(r.settings.detailListing, row.detail_listing);
    if (row.range_limit_on) {
      EXPECT_EQ(r.settings.rangeLimit, 300.0f);  // miles as given
    }
  }
}

TEST(ControlSection, RangeLimitInKilometresIsStoredInMiles) {
  std::vector<std::string> section = with_line(14, "F");
  section[16] = "A       RL";
  section.push_back("1609");
  const SectionResult r = read_section(lines(section));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.rangeLimitOn);
  EXPECT_EQ(r.settings.rangeLimit,
            static_cast<float>(1609.0 / static_cast<double>(1.609345f)));
}

TEST(ControlSection, RadarFormatIgnoresShadowAndKeepsTheDays) {
  const SectionResult r = read_section(lines(with_line(17, "R")));
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.settings.radarFormat);
  EXPECT_TRUE(r.settings.ignoreShadow);
  EXPECT_EQ(r.settings.firstDay, 10);
  EXPECT_EQ(r.settings.lastDay, 12);
}

TEST(ControlSection, NcatPrompt) {
  const std::string prompt = "Enter next NCAT number\n";
  const std::string reenter = "Error in NCAT entry - reenter\n";

  // A line with several numbers gives its first; a word or a real is re-asked;
  // a blank answer ends the list.
  SectionResult r = read_section(lines(with_line(16, "prompt")), "25544 99\nISS\n5.5\n-7\n\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, prompt + prompt + reenter + prompt + reenter + prompt + prompt);
  EXPECT_TRUE(r.settings.ncatListMode);
  EXPECT_EQ(r.settings.selectionCount, 2);
  EXPECT_EQ(r.settings.ncatList[0], 25544);
  EXPECT_EQ(r.settings.ncatList[1], -7);

  // A number of 100000 or more may be typed in its Alpha-5 form; a lower-case
  // letter, I or O, or a letter without four digits is re-asked.
  r = read_section(lines(with_line(16, "prompt")), "A0057\na0057\nI0000\nA005\nT0189 x\n\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, prompt + prompt + reenter + prompt + reenter + prompt + reenter + prompt + prompt);
  EXPECT_EQ(r.settings.selectionCount, 2);
  EXPECT_EQ(r.settings.ncatList[0], 100057);
  EXPECT_EQ(r.settings.ncatList[1], 270189);

  // A typed 0 ends the list.
  r = read_section(lines(with_line(16, "prompt")), "5\n0\n6\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.selectionCount, 1);

  // At most 20 numbers, without a 21st prompt.
  std::string answers;
  for (int i = 1; i <= 25; ++i) answers += std::to_string(i) + "\n";
  r = read_section(lines(with_line(16, "prompt")), answers);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.selectionCount, 20);
  EXPECT_EQ(r.settings.ncatList[19], 20);
  std::string twenty_prompts;
  for (int i = 0; i < 20; ++i) twenty_prompts += prompt;
  EXPECT_EQ(r.out, twenty_prompts);

  // No number at all.
  r = read_section(lines(with_line(16, "prompt")), " , \n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, prompt + "No NCAT numbers entered - exit\n");

  // The end of standard input where an answer is required.
  EXPECT_THROW(read_section(lines(with_line(16, "prompt")), "5\n"), FatalIoError);

  // The keyword is case-sensitive: "Prompt" is six flag letters.
  r = read_section(lines(with_line(16, "Prompt")));
  ASSERT_EQ(r.status, 0);
  EXPECT_FALSE(r.settings.ncatListMode);
  EXPECT_EQ(r.settings.selectionCount, 6);
}

TEST(ControlSection, SelectionOfAnEarlierSectionDoesNotSurvive) {
  std::vector<std::string> first = with_line(16, "prompt");
  std::vector<std::string> second = good_section();
  TempWorkingDirectory directory;
  directory.write("two.ctl", lines(first) + lines(second));
  CapturedConsole captured("44\n\n");
  ControlFile control(std::string("two.ctl"));
  RunSettings settings;
  ASSERT_EQ(read_control_section(true, control, settings, captured.console), 0);
  EXPECT_EQ(settings.selectionCount, 1);
  ASSERT_EQ(read_control_section(false, control, settings, captured.console), 0);
  EXPECT_FALSE(settings.ncatListMode);
  EXPECT_EQ(settings.selectionCount, 0);
  EXPECT_EQ(settings.ncatList[0], 0);
}

TEST(ControlSection, EndOfFileInsideASectionIsFatal) {
  for (std::size_t kept : {0u, 1u, 8u, 15u, 16u}) {
    SCOPED_TRACE(kept);
    std::vector<std::string> section = good_section();
    section.resize(kept);
    testing::expect_fatal_io_error("test.ctl", [&] { read_section(lines(section)); });
  }
  // After "RL" line 17a is required too.
  std::vector<std::string> section = with_line(17, "A       RL");
  EXPECT_THROW(read_section(lines(section)), FatalIoError);
}

TEST(ControlFileSearch, FirstArgumentWithoutFallBack) {
  TempWorkingDirectory directory;
  directory.write("vespera.ctl", lines(good_section()));
  CapturedConsole captured;
  ControlFile control(std::string("missing.ctl  trailing words"));
  RunSettings settings;
  EXPECT_EQ(read_control_section(true, control, settings, captured.console), 1);
  EXPECT_EQ(captured.out(), "Control file not found (" + fixed_record("missing.ctl", 40) + ")\n");
}

TEST(ControlFileSearch, ADirectoryIsAFatalInputError) {
  TempWorkingDirectory directory;
  std::filesystem::create_directory(directory.path() / "sections");
  CapturedConsole captured;
  ControlFile control(std::string("sections"));
  RunSettings settings;
  testing::expect_fatal_io_error(
      "sections", [&] { read_control_section(true, control, settings, captured.console); });
}

TEST(ControlFileSearch, DefaultNameThenPrompt) {
  TempWorkingDirectory directory;
  {
    // No argument (or a blank one): the default name.
    directory.write("vespera.ctl", lines(good_section()));
    for (const std::optional<std::string>& argument :
         {std::optional<std::string>(), std::optional<std::string>("   ")}) {
      CapturedConsole captured;
      ControlFile control(argument);
      RunSettings settings;
      EXPECT_EQ(read_control_section(true, control, settings, captured.console), 0);
      EXPECT_EQ(control.name(), "vespera.ctl");
      EXPECT_EQ(captured.out(), "");
    }
    std::filesystem::remove(directory.path() / "vespera.ctl");
  }
  directory.write("other.ctl", lines(good_section()));
  struct Row {
    std::string answers;
    int status;
    std::string expected;
  };
  const Row rows[] = {
      {"  other.ctl  the usual one\n", 0, "Enter control file name\n"},
      {"\n", 1, "Enter control file name\nNo control file name entered - exit\n"},
      {"nowhere.ctl\n", 1,
       "Enter control file name\nControl file not found (" + fixed_record("nowhere.ctl", 40) + ")\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answers);
    CapturedConsole captured(row.answers);
    ControlFile control;
    RunSettings settings;
    EXPECT_EQ(read_control_section(true, control, settings, captured.console), row.status);
    EXPECT_EQ(captured.out(), row.expected);
  }
  CapturedConsole captured("");
  ControlFile control;
  RunSettings settings;
  EXPECT_THROW(read_control_section(true, control, settings, captured.console), FatalIoError);
}

TEST(ControlFileSearch, LineEndsAndLongLines) {
  // CRLF and lone CR line ends; a line longer than its record is cut.
  std::vector<std::string> section = good_section();
  section[3] = "40.0 75.0 300 " + std::string(100, 'x');
  std::string text;
  for (std::size_t i = 0; i < section.size(); ++i) text += section[i] + (i % 2 ? "\r\n" : "\r");
  const SectionResult r = read_section(text);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.settings.siteName.view(), std::string(24, 'x'));
  EXPECT_EQ(r.settings.formatLetter, 'A');
}

// The file-name lines of a section: a control file of the example's settings
// lines and the given lines from 18 on, read step by step as a run does.
class FileNameLines : public ::testing::Test {
 protected:
  // Reads lines 1 to 17 of `text` into settings_; the console answers given.
  void open(const std::string& text, const std::string& answers = "") {
    control_.reset();
    directory_.write("test.ctl", text);
    captured_.emplace(answers);
    control_.emplace(std::string("test.ctl"));
    ASSERT_EQ(read_control_section(true, *control_, settings_, console()), 0);
  }
  // Reads lines 1 to 20 of a section whose element-file lines are `names`.
  void open_at_element_names(const std::vector<std::string>& names,
                             const std::string& answers = "") {
    std::vector<std::string> section = good_section();
    for (const char* name : {"mags.txt", "none", "report.txt"}) section.push_back(name);
    section.insert(section.end(), names.begin(), names.end());
    open(lines(section), answers);
    read_magnitude_file_names(*control_, settings_, console());
    ASSERT_EQ(read_output_file_name(*control_, settings_, console()), 0);
  }

  Console& console() { return captured_->console; }
  std::string out() const { return captured_->out(); }
  // The element-file names read, without their trailing blanks.
  std::vector<std::string> element_names() const {
    std::vector<std::string> names;
    for (int i = 0; i < settings_.elementFileCount; ++i) {
      names.emplace_back(settings_.elementFileNames[static_cast<std::size_t>(i)].trimmed());
    }
    return names;
  }
  // The control file's next line (its first word), or "(end)" at its end.
  std::string next_line() {
    std::string line;
    if (!control_->read_line(kNameLineLength, line)) return "(end)";
    FileName word;
    return first_word(line, word) == 0 ? std::string(word.trimmed()) : "(blank)";
  }

  TempWorkingDirectory directory_;
  std::optional<CapturedConsole> captured_;
  std::optional<ControlFile> control_;
  RunSettings settings_;
};

std::vector<std::string> missing_names(int first, int last) {
  std::vector<std::string> names;
  for (int i = first; i <= last; ++i) names.push_back("missing" + std::to_string(i) + ".tle");
  return names;
}

TEST_F(FileNameLines, ElevenElementFileNames) {
  std::vector<std::string> names = {"three-sets.tle"};
  for (const std::string& name : missing_names(2, 11)) names.push_back(name);
  names.push_back("more.ctl lines the program never reads");
  open_at_element_names(names);
  EXPECT_EQ(read_element_file_names(*control_, settings_, console()), 0);
  EXPECT_EQ(out(), "Limit of 10 input elements filenames - rest ignored\n");
  std::vector<std::string> expected = {"three-sets.tle"};
  for (const std::string& name : missing_names(2, 10)) expected.push_back(name);
  EXPECT_EQ(element_names(), expected);
  EXPECT_FALSE(settings_.combineRuns);
  // The eleventh name is dropped; the line after it is left unread.
  EXPECT_EQ(next_line(), "more.ctl");
}

TEST_F(FileNameLines, KeywordsEndTheListWithoutTheLimitMessage) {
  std::vector<std::string> ten = {"three-sets.tle"};
  for (const std::string& name : missing_names(2, 10)) ten.push_back(name);
  for (const char* keyword : {"end", "EOF", "", "   ", "combine"}) {
    SCOPED_TRACE(keyword);
    std::vector<std::string> names = ten;
    names.push_back(keyword);
    names.push_back("after.tle");
    open_at_element_names(names);
    EXPECT_EQ(read_element_file_names(*control_, settings_, console()), 0);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(element_names(), ten);
    EXPECT_EQ(settings_.combineRuns, std::string(keyword) == "combine");
    EXPECT_EQ(next_line(), "after.tle");
  }
  // Keywords are case-sensitive and whole words: "End" and "ending" are names.
  open_at_element_names({"three-sets.tle", "End", "ending x", "end"});
  EXPECT_EQ(read_element_file_names(*control_, settings_, console()), 0);
  EXPECT_EQ(element_names(), (std::vector<std::string>{"three-sets.tle", "End", "ending"}));
}

TEST_F(FileNameLines, EndOfTheControlFileBeforeLineTwentyOneIsFatal) {
  const std::vector<std::string> names = {"three-sets.mag", "none", "report.txt",
                                          "three-sets.tle"};
  for (std::size_t kept : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(kept);
    std::vector<std::string> section = good_section();
    section.insert(section.end(), names.begin(), names.begin() + static_cast<std::ptrdiff_t>(kept));
    open(lines(section));
    testing::expect_fatal_io_error("test.ctl", [&] {
      read_magnitude_file_names(*control_, settings_, console());
      read_output_file_name(*control_, settings_, console());
      read_element_file_names(*control_, settings_, console());
    });
  }
}

}  // namespace
}  // namespace vespera
