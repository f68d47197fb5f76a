#include "report/report_headers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/day_number_to_date.h"
#include "report/line_values.h"
#include "report/prediction_lines.h"
#include "report_test_support.h"

namespace vespera {
namespace {

using report_test::example_record;
using report_test::settings_for;
using report_test::ut;

TEST(DayNumberToDate, DatesAndWeekdays) {
  const struct {
    int32_t n;
    int32_t year;
    const char* month;
    int32_t day;
    const char* weekday;
  } cases[] = {
      {51544, 2000, "Jan ", 1, "Sat "},  {51603, 2000, "Feb ", 29, "Tue "},
      {51604, 2000, "Mar ", 1, "Wed "},  {53005, 2004, "Jan ", 1, "Thu "},
      {58992, 2020, "May ", 23, "Sat "}, {51543, 1999, "Dec ", 31, "Fri "},
      {33282, 1950, "Jan ", 1, "Sun "},  {51330, 1999, "June", 1, "Tue "},
      {51360, 1999, "July", 1, "Thu "},  {51422, 1999, "Sept", 1, "Wed "},
      {88068, 2099, "Dec ", 31, "Thu "}, {58177, 2018, "Feb ", 28, "Wed "},
      {58178, 2018, "Mar ", 1, "Thu "},  {0, 1858, "Nov ", 17, "Wed "},
  };
  for (const auto& c : cases) {
    if (c.n == 0) {
      EXPECT_EQ(weekday_name(c.n), c.weekday);  // the origin of the weekday cycle
      continue;
    }
    const ReportDate date = day_number_to_date(c.n);
    EXPECT_EQ(date.year, c.year) << c.n;
    EXPECT_EQ(date.monthName, c.month) << c.n;
    EXPECT_EQ(date.dayOfMonth, c.day) << c.n;
    EXPECT_EQ(weekday_name(c.n), c.weekday) << c.n;
  }
}

TEST(DayHeader, EveningInEasternDaylightTime) {
  std::string out;
  // 20:15 EDT is 0:15 UT; 4:32 EDT is 8:32 UT.
  append_day_header(out, 58992, 2, -4.0f, FixedText<4>("EDT"), 0.25f, 8.534f);
  EXPECT_EQ(out, "\n***  2020 May  23  Sat evening  *** Times are PM EDT  ***  2015  432\n");
}

TEST(DayHeader, MorningAndWindowWrapping) {
  std::string out;
  // An evening twilight of -1.5 h UT five hours west: -1.5 + 24 - 5 = 17.5.
  append_day_header(out, 51544, 1, -5.0f, FixedText<4>("EST "), -1.5f, 10.76f);
  EXPECT_EQ(out, "\n***  2000 Jan   1  Sat morning  *** Times are AM EST  ***  1730  545\n");
  out.clear();
  // East of Greenwich the window times pass midnight the other way.
  append_day_header(out, 51544, 2, 10.0f, FixedText<4>("AEST"), 8.25f, 19.5f);
  EXPECT_EQ(out, "\n***  2000 Jan   1  Sat evening  *** Times are PM AEST ***  1815  530\n");
}

TEST(DayHeader, WindowAlwaysOnTheTwentyFourHourClock) {
  std::string out;
  append_day_header(out, 51544, 2, 0.0f, FixedText<4>("UT"), 19.0f, 5.0f);
  EXPECT_EQ(out, "\n***  2000 Jan   1  Sat evening  *** Times are PM UT   ***  19 0  5 0\n");
}

// The end columns (1-based) of the blank-separated words of a line.
std::vector<int> word_ends(const std::string& line) {
  std::vector<int> ends;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != ' ' && (i + 1 == line.size() || line[i + 1] == ' ')) {
      ends.push_back(static_cast<int>(i + 1));
    }
  }
  return ends;
}

// The column header's words end where the values of a sample line end.
TEST(ColumnHeader, LabelsLineUpWithTheirValues) {
  PredictionRecord r = example_record();
  r.time_error = 12;
  r.shadow_height = 150;
  r.right_ascension = 14.1f;  // minutes 6: rah and ram stand apart
  r.declination = 5.0f;
  const struct {
    char letter;
    char range_phase;
    const char* header;
  } cases[] = {
      {'A', ' ', " H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
      {'D', ' ', " H  M  S Tim Azi El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
      {'E', ' ', " H  M  S Tim    Azi    El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec"},
      {'R', ' ', " H  M  S Tim Al Azi C Dys F  Hgt  Rng"},
      {'B', ' ', " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name"},
      {'C', ' ', " H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd  Rng  R A  Dec RCS  Name"},
      {'B', 'P', " H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd Phs  R A  Dec RCS  Name"},
      {'C', 'P', " H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd Phs  R A  Dec RCS  Name"},
  };
  MagnitudeInfo info;
  info.infoLevel = 3;
  info.name = FixedText<16>("SAT");
  info.crossSection = FixedText<4>(" 1.0");
  info.flag = 'x';
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.letter << c.range_phase);
    RunSettings s = settings_for(c.letter);
    s.rangePhaseLetter = c.range_phase;
    std::string header;
    append_column_header(header, s);
    ASSERT_EQ(header, std::string("\n") + c.header + "\n");

    LineValues v;
    compute_line_values(r, ut(0, 20, 15, 5), s, 700.0f, v);
    std::string line;
    append_prediction_line(line, r, v, s, true, info);
    line.pop_back();
    std::vector<int> header_ends = word_ends(c.header);
    std::vector<int> line_ends = word_ends(line);
    if (c.letter == 'B' || c.letter == 'C') {
      // The cross-section ends under "RCS"; the flag letter (no label of its own) joins the name, which starts under
      // "Name".
      const int shift = c.range_phase == 'P' ? 1 : 0;
      const std::size_t name_start = line.find("SAT");
      EXPECT_EQ(static_cast<int>(name_start) + 1, std::string(c.header).find("Name") + 1);
      EXPECT_EQ(line.substr(static_cast<std::size_t>(59 - shift), 4), " 1.0");
      EXPECT_EQ(line[static_cast<std::size_t>(64 - shift)], 'x');
      header_ends.resize(header_ends.size() - 2);
      line_ends.resize(line_ends.size() - 2);
    }
    EXPECT_EQ(header_ends, line_ends) << line;
  }
}

MagnitudeInfo full_info(int32_t level) {
  MagnitudeInfo info;
  info.infoLevel = level;
  info.name = FixedText<16>("DEMO SAT");
  info.detail = FixedText<8>("DETAILTX");
  info.sizes = {FixedText<4>(" 5.0"), FixedText<4>(" 2.0"), FixedText<4>(" 1.0")};
  info.crossSection = FixedText<4>(" 3.5");
  info.flag = 'd';
  info.magnitude = 4.5f;
  info.comment = FixedText<32>("COMMENT TEXT");
  info.commentLength = 3;
  return info;
}

std::string identification(int32_t level, char letter, bool detail) {
  RunSettings s = settings_for(letter);
  s.detailListing = detail;
  std::string out;
  append_pass_identification(out, 12345, full_info(level), s);
  return out;
}

TEST(PassIdentification, LongLayoutsByInfoLevel) {
  const std::string head = "12345 DEMO SAT      ";
  const std::string no_sizes(12, ' ');
  const std::string sizes = " 5.0 2.0 1.0";
  const struct {
    int32_t level;
    std::string plain;
    std::string detailed;
  } cases[] = {
      {1, "12345", "12345"},
      {2, head, head},
      {3, head + no_sizes + " 3.5 d", head + " DETAILTX" + no_sizes + " 3.5 d"},
      {4, head + sizes + " 3.5 d", head + " DETAILTX" + sizes + " 3.5 d"},
      {5, head + no_sizes + " 3.5 d 4.5", head + " DETAILTX" + no_sizes + " 3.5 d 4.5"},
      {6, head + sizes + " 3.5 d 4.5", head + " DETAILTX" + sizes + " 3.5 d 4.5"},
      {7, head + no_sizes + " 3.5 d 4.5 COMMENT TEXT",
       head + " DETAILTX" + no_sizes + " 3.5 d 4.5 COMMENT TEXT"},
      {8, head + sizes + " 3.5 d 4.5 COMMENT TEXT",
       head + " DETAILTX" + sizes + " 3.5 d 4.5 COMMENT TEXT"},
  };
  for (const auto& c : cases) {
    for (char letter : {'A', 'D', 'E'}) {
      EXPECT_EQ(identification(c.level, letter, false), c.plain + "\n") << c.level << letter;
    }
    EXPECT_EQ(identification(c.level, 'A', true), c.detailed + "\n") << c.level;
  }
  // Columns: cross-section 33-36, flag 38, magnitude 39-42, comment from 44;
  // with the detail text: 42-45, 47, 48-51, from 53.
  const std::string plain = identification(8, 'A', false);
  EXPECT_EQ(plain.substr(32, 4), " 3.5");
  EXPECT_EQ(plain.substr(43, 7), "COMMENT");
  const std::string detailed = identification(8, 'D', true);
  EXPECT_EQ(detailed.substr(21, 8), "DETAILTX");
  EXPECT_EQ(detailed.substr(41, 4), " 3.5");
  EXPECT_EQ(detailed.substr(52, 7), "COMMENT");
}

// Five columns hold the catalogue number: from 100000 on in the Alpha-5 form.
TEST(PassIdentification, CatalogueNumberInFiveColumns) {
  const struct {
    int32_t ncat;
    const char* columns;
  } cases[] = {{7, "    7"}, {99999, "99999"}, {100000, "A0000"}, {100057, "A0057"},
               {179999, "H9999"}, {180000, "J0000"}, {270189, "T0189"}, {339999, "Z9999"}};
  for (const auto& c : cases) {
    for (int32_t level : {1, 2, 8}) {
      std::string out;
      append_pass_identification(out, c.ncat, full_info(level), settings_for('A'));
      EXPECT_EQ(out.substr(0, 5), c.columns) << c.ncat << " level " << level;
      EXPECT_EQ(out.size() == 6 || out[5] == ' ', true) << c.ncat;
    }
    std::string radar;
    append_pass_identification(radar, c.ncat, full_info(7), settings_for('R'));
    EXPECT_EQ(radar.substr(0, 5), c.columns) << c.ncat;
  }
}

TEST(PassIdentification, UnknownMagnitudeIsPrinted) {
  MagnitudeInfo info = full_info(7);
  info.magnitude = kUnknownMagnitude;
  std::string out;
  append_pass_identification(out, 7, info, settings_for('A'));
  EXPECT_EQ(out, "    7 DEMO SAT      " + std::string(12, ' ') + " 3.5 d20.0 COMMENT TEXT\n");
}

TEST(PassIdentification, CommentEndsAtColumn75) {
  MagnitudeInfo info = full_info(7);
  info.comment = FixedText<32>("ABCDEFGHIJKLMNOPQRSTUVWXYZ123456");
  info.commentLength = 8;
  std::string out;
  append_pass_identification(out, 7, info, settings_for('A'));
  EXPECT_EQ(out.size(), 76u);
  EXPECT_EQ(out.substr(43), "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456\n");

  // With the detail text the comment has 23 columns; a longer comment
  // (loaded before a detail listing was asked for) is cut there rather
  // than spilling onto a second line.
  RunSettings d = settings_for('D');
  d.detailListing = true;
  out.clear();
  append_pass_identification(out, 7, info, d);
  EXPECT_EQ(out.size(), 76u);
  EXPECT_EQ(out.substr(52), "ABCDEFGHIJKLMNOPQRSTUVW\n");
}

TEST(PassIdentification, RadarLayoutByInfoLevel) {
  const std::string head = "12345 DEMO SAT      ";
  const struct {
    int32_t level;
    std::string text;
  } cases[] = {{1, "12345"},
               {2, head},
               {3, head + " d"},
               {4, head + " d"},
               {5, head + " d"},
               {6, head + " d"},
               {7, head + " d  COMMENT TEXT"},
               {8, head + " d  COMMENT TEXT"}};
  for (const auto& c : cases) {
    EXPECT_EQ(identification(c.level, 'R', false), c.text + "\n") << c.level;
  }
}

TEST(PassIdentification, NoneForSkyLayouts) {
  for (int32_t level = 1; level <= 8; ++level) {
    EXPECT_EQ(identification(level, 'B', false), "");
    EXPECT_EQ(identification(level, 'C', false), "");
  }
}

TEST(CommentLine, OnlyForCommentsAndNotWithLetterN) {
  RunSettings b = settings_for('B');
  for (int32_t level = 1; level <= 8; ++level) {
    std::string out;
    append_comment_line(out, full_info(level), b);
    EXPECT_EQ(out, level >= 7 ? "        COMMENT TEXT\n" : "") << level;
  }
  b.detailLetter = 'N';
  std::string out;
  append_comment_line(out, full_info(7), b);
  EXPECT_EQ(out, "");
}

TEST(PassSeparator, IsAnEmptyLine) {
  std::string out;
  append_pass_separator(out);
  EXPECT_EQ(out, "\n");
}

}  // namespace
}  // namespace vespera
