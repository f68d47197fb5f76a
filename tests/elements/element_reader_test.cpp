#include "elements/element_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "elements/calendar.h"
#include "format/column_decoder.h"
#include "element_test_support.h"

namespace vespera {
namespace {

using test::ElementHarness;
using test::field40;
using test::line1;
using test::line2;
using test::plain_set;
using test::TempDir;

using test::FileReading;

FileReading read_all(ElementHarness& harness, const std::string& path) {
  return test::read_whole_file(harness, path);
}

FileReading read_text(const std::string& text, ElementHarness& harness) {
  TempDir dir;
  return read_all(harness, dir.write("sets.tle", text));
}

FileReading read_text(const std::string& text) {
  ElementHarness harness;
  return read_text(text, harness);
}

std::vector<int32_t> ncats(const FileReading& r) {
  std::vector<int32_t> out;
  for (const ElementSet& s : r.sets) out.push_back(s.ncat);
  return out;
}

std::string format_error_line(int line) {
  char text[64];
  std::snprintf(text, sizeof text, "Format error in elements file at line%5d\n", line);
  return text;
}

// A real field as the reader decodes it.
float decoded(const char* field) {
  float value = 0.0f;
  bool error = false;
  decodeColumnField(field, 1, static_cast<int>(std::strlen(field)), value, error);
  EXPECT_FALSE(error) << field;
  return value;
}

// A set whose mean anomaly is 0: its epoch and angles are kept as read.
std::string set_at_perigee(int ncat, int year, int day, const char* fraction,
                           const char* eccentricity = "0003646",
                           const char* mean_motion = "15.54190080") {
  return line1(ncat, "98067A", year, day, fraction) + "\n" +
         line2(ncat, " 51.6424", " 32.9776", eccentricity, " 28.7227", "  0.0000", mean_motion) +
         "\n";
}

TEST(ElementLineTest, KindsByTheirFirstColumns) {
  struct Case {
    const char* record;
    ElementLineKind kind;
  } const cases[] = {
      {"1 25544U", ElementLineKind::LineOne},
      {"2 25544 ", ElementLineKind::LineTwo},
      {"1", ElementLineKind::LineOne},  // padded to 70 columns: "1 "
      {"12345", ElementLineKind::Name},
      {"1\t25544", ElementLineKind::Name},
      {"0 VANGUARD 1", ElementLineKind::Name},
      {"3 25544", ElementLineKind::Name},
      {"              X", ElementLineKind::Ignored},  // columns 1-14 blank
      {"             X", ElementLineKind::Name},       // column 14 is not
      {"", ElementLineKind::Ignored},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(classifyElementLine(fixed_record(c.record, 70)), c.kind) << '"' << c.record << '"';
  }
}

TEST(ElementReaderTest, NameFromANameLineOrFromLineOne) {
  const FileReading r =
      read_text("ABCDEFGHIJKLMNOPQRSTUVWXYZ\n" + plain_set(25544) + plain_set(41617));
  ASSERT_EQ(ncats(r), (std::vector<int32_t>{25544, 41617}));
  EXPECT_EQ(r.sets[0].name.str(), "ABCDEFGHIJKLMN  ");  // columns 1-14 and two blanks
  EXPECT_EQ(r.sets[1].name.str(), "98067A          ");  // line 1 columns 10-18, seven blanks
  EXPECT_EQ(r.console, "");
}

TEST(ElementReaderTest, EpochYearsAndTheWorkedEpoch) {
  struct Case {
    int year;
    int calendar_year;
  } const cases[] = {{54, 2054}, {55, 1955}, {0, 2000}, {99, 1999}, {18, 2018}};
  for (const Case& c : cases) {
    const FileReading r = read_text(set_at_perigee(25544, c.year, 17, "50000000"));
    ASSERT_EQ(r.sets.size(), 1u) << c.year;
    EXPECT_EQ(r.sets[0].epochDay, monthBaseDayNumber(c.calendar_year, 1) + 17) << c.year;
    EXPECT_EQ(r.sets[0].epochFraction, 0.5f) << c.year;
  }
  // Year 20, day 123, fraction digits 45678901: six digits of the fraction are read.
  const FileReading r = read_text(set_at_perigee(25544, 20, 123, "45678901"));
  ASSERT_EQ(r.sets.size(), 1u);
  EXPECT_EQ(r.sets[0].epochDay, 58971);
  EXPECT_EQ(r.sets[0].epochFraction, 456789.0f * 0.000001f);
  EXPECT_FLOAT_EQ(r.sets[0].epochFraction, 0.456789f);
}

TEST(ElementReaderTest, EccentricityWithAndWithoutItsPoint) {
  struct Case {
    const char* columns_27_33;
    float eccentricity;
  } const cases[] = {
      {"0006703", 0.00067f},  // digits with an implied point; column 33 is not read
      {".000670", 0.00067f},
      {"0000000", 0.0f},
      {"9999999", 0.999999f},
      {"1847265", 0.184726f},
  };
  for (const Case& c : cases) {
    const FileReading r = read_text(set_at_perigee(5, 22, 196, "28486465", c.columns_27_33));
    ASSERT_EQ(r.sets.size(), 1u) << c.columns_27_33;
    EXPECT_FLOAT_EQ(r.sets[0].eccentricity, c.eccentricity) << c.columns_27_33;
  }
}

TEST(ElementReaderTest, MismatchedLineTwoReportsOncePerCall) {
  TempDir dir;
  ElementHarness harness;
  const std::string path = dir.write(
      "mismatch.tle", line1(25544, "98067A", 18, 20, "89808844") + "\n" +           // 1
                          line2(25545, " 51.6424", " 32.9776", "0003646", " 28.7227",  // 2
                                " 39.5332", "15.54190080") + "\n" +
                          line1(41617, "16040U", 18, 20, "92263222") + "\n" +          // 3
                          line2(41618, " 97.4368", " 87.1954", "0011425", " 46.9108",  // 4
                                "313.3084", "15.23813118") + "\n" +
                          plain_set(43013) +                                           // 5, 6
                          line1(5, "58002B", 22, 196, "28486465") + "\n" +             // 7
                          line2(6, " 34.2492", " 53.6414", "1847265", "162.8155",      // 8
                                "204.4542", "10.84977341") + "\n");
  ElementFile file;
  ASSERT_TRUE(file.open(FileName(path)));
  ElementSet set;
  ASSERT_EQ(readElementSet(file, harness.context(), set), 0);
  EXPECT_EQ(set.ncat, 43013);
  EXPECT_EQ(harness.console_text(), "Error in elements file " + field40(path) + "\n" +
                                        format_error_line(2) + format_error_line(4));
  // A new call reports the file again.
  EXPECT_EQ(readElementSet(file, harness.context(), set), 1);
  EXPECT_EQ(harness.console_text(),
            "Error in elements file " + field40(path) + "\n" + format_error_line(8));
}

// A set whose catalogue number columns (3-7 of both lines) hold `number`.
std::string numbered_set(const char* line_one_number, const char* line_two_number) {
  std::string set = plain_set(25544);
  set.replace(2, 5, line_one_number);
  set.replace(set.find("\n2 ") + 3, 5, line_two_number);
  return set;
}

TEST(ElementReaderTest, AlphaFiveCatalogueNumbers) {
  // Read: a capital letter (not I or O) and four digits.
  const struct {
    const char* columns;
    int32_t ncat;
  } read[] = {{"A0000", 100000}, {"A0057", 100057}, {"H9999", 179999}, {"J0000", 180000},
              {"N0000", 220000}, {"P0000", 230000}, {"T0189", 270189}, {"Z9999", 339999}};
  for (const auto& c : read) {
    const FileReading r = read_text(numbered_set(c.columns, c.columns));
    EXPECT_EQ(ncats(r), std::vector<int32_t>{c.ncat}) << c.columns;
    EXPECT_EQ(r.console, "") << c.columns;
  }
  // Anything else does not decode, as before: reported at line 1, its line 2
  // skipped silently; a line 2 of another number is reported at line 2.
  const char* const refused[] = {"t0000", "I0000", "O0000", "A000X", "A 000", "AA000", " A000", "A-000"};
  for (const char* columns : refused) {
    const FileReading r = read_text(numbered_set(columns, columns) + plain_set(41617));
    EXPECT_EQ(ncats(r), std::vector<int32_t>{41617}) << columns;
    EXPECT_EQ(r.console, "Error in elements file " + r.file_field + "\n" + format_error_line(1)) << columns;
  }
  const FileReading r = read_text(numbered_set("A0000", "A0001") + plain_set(41617));
  EXPECT_EQ(ncats(r), std::vector<int32_t>{41617});
  EXPECT_EQ(r.console, "Error in elements file " + r.file_field + "\n" + format_error_line(2));
}

TEST(ElementReaderTest, FieldsThatDoNotDecode) {
  // A letter in the epoch day (line 1) and in the mean motion (line 2).
  std::string bad_day = plain_set(25544);
  bad_day[21] = 'X';
  std::string bad_motion = plain_set(41617);
  bad_motion[bad_motion.find("\n2 ") + 1 + 55] = 'X';
  const FileReading r = read_text(bad_day + bad_motion + plain_set(43013));
  EXPECT_EQ(ncats(r), std::vector<int32_t>{43013});
  EXPECT_EQ(r.console, "Error in elements file " + r.file_field + "\n" + format_error_line(1) +
                           format_error_line(4));
}

TEST(ElementReaderTest, NegativeEccentricityIsNoOrbit) {
  const FileReading r = read_text(set_at_perigee(25544, 18, 20, "5", "-.00010") + plain_set(41617));
  EXPECT_EQ(ncats(r), std::vector<int32_t>{41617});
  EXPECT_EQ(r.console, "Error in elements file " + r.file_field + "\n" + format_error_line(2));
}

TEST(ElementReaderTest, LinesBetweenLineOneAndLineTwo) {
  const std::string l1 = line1(25544, "98067A", 18, 20, "89808844") + "\n";
  const std::string l2 =
      line2(25544, " 51.6424", " 32.9776", "0003646", " 28.7227", " 39.5332", "15.54190080") +
      "\n";
  // A blank line, or one blank in columns 1-14, changes nothing.
  FileReading r = read_text(l1 + "\n" + "              not a name\n" + l2);
  EXPECT_EQ(ncats(r), std::vector<int32_t>{25544});
  EXPECT_EQ(r.sets[0].name.str(), "98067A          ");
  // A name line loses the set silently, and the skip forgets the name.
  r = read_text(l1 + "ISS (ZARYA)\n" + l2 + plain_set(41617));
  EXPECT_EQ(ncats(r), std::vector<int32_t>{41617});
  EXPECT_EQ(r.sets[0].name.str(), "98067A          ");
  EXPECT_EQ(r.console, "");
  // A line 2 without its line 1 is skipped silently; so is a half set at the end.
  r = read_text(l2 + plain_set(41617) + l1);
  EXPECT_EQ(ncats(r), std::vector<int32_t>{41617});
  EXPECT_EQ(r.console, "");
}

TEST(ElementReaderTest, SecondLineOneReplacesTheFirstAndKeepsTheName) {
  FileReading r = read_text("HUBBLE\n" + line1(111, "90037B", 18, 20, "5") + "\n" + plain_set(25544));
  ASSERT_EQ(ncats(r), std::vector<int32_t>{25544});
  EXPECT_EQ(r.sets[0].name.str(), "HUBBLE          ");
  // Without a name line the first line 1 gave the name.
  r = read_text(line1(111, "90037B", 18, 20, "5") + "\n" + plain_set(25544));
  ASSERT_EQ(ncats(r), std::vector<int32_t>{25544});
  EXPECT_EQ(r.sets[0].name.str(), "90037B          ");
}

TEST(ElementReaderTest, SkippedSilently) {
  // Catalogue number 0, mean motion exactly 4.0; 4.0001 is read.
  const FileReading r = read_text(plain_set(0) + plain_set(111, 18, 20, "5", " 39.5332", " 4.00000000") +
                                  plain_set(222, 18, 20, "5", " 39.5332", " 4.00010000"));
  EXPECT_EQ(ncats(r), std::vector<int32_t>{222});
  EXPECT_EQ(r.console, "");
}

TEST(ElementReaderTest, SelectionByCatalogueNumbers) {
  ElementHarness harness;
  harness.settings.ncatListMode = true;
  harness.settings.selectionCount = 2;
  harness.settings.ncatList = {43013, 25544, 41617};  // the third is beyond the count
  const FileReading r =
      read_text(plain_set(25544) + plain_set(41617) + plain_set(43013) + plain_set(5), harness);
  EXPECT_EQ(ncats(r), (std::vector<int32_t>{25544, 43013}));
  EXPECT_EQ(r.console, "");
}

TEST(ElementReaderTest, SelectionByFlagLetters) {
  ElementHarness harness;
  harness.add_flag(25544, 'v');
  harness.add_flag(41617, 'x');
  harness.add_flag(43013, 'r');
  harness.add_flag(43100, ' ');
  harness.settings.ncatListMode = false;
  harness.settings.flagLetters = FixedText<kMaxFlagLetters>("r vx");
  harness.settings.selectionCount = 3;  // 'r', ' ' and 'v'
  const FileReading r = read_text(plain_set(25544) + plain_set(41617) + plain_set(43013) +
                                      plain_set(43100) + plain_set(99),
                                  harness);
  // A blank flag, and a number absent from the catalogue, never pass.
  EXPECT_EQ(ncats(r), (std::vector<int32_t>{25544, 43013}));
}

TEST(ElementReaderTest, MeanAnomalyMovesTheEpochToPerigee) {
  const double k = double{0.017453292f};
  const double n = decoded("15.541900");
  const double node = decoded(" 32.977");
  const double perigee = decoded(" 28.722");
  FileReading r = read_text(set_at_perigee(25544, 18, 20, "50000000"));
  ASSERT_EQ(r.sets.size(), 1u);
  const ElementSet at = r.sets[0];
  EXPECT_EQ(at.epochFraction, 0.5f);
  EXPECT_EQ(at.meanMotion, static_cast<float>(n));
  EXPECT_EQ(at.nodeRa, static_cast<float>(node * k));
  EXPECT_EQ(at.argPerigee, static_cast<float>(perigee * k));

  r = read_text(plain_set(25544, 18, 20, "50000000", "180.0000"));
  ASSERT_EQ(r.sets.size(), 1u);
  const ElementSet& half = r.sets[0];
  // Half a revolution since perigee: the epoch moves back by half a period.
  const float x = static_cast<float>(decoded("180.000") / 360.0);
  const float t = static_cast<float>(x / n);
  EXPECT_NEAR(t, 0.5 / 15.5419, 1e-7);
  EXPECT_EQ(half.epochFraction, static_cast<float>(0.5 - t));
  EXPECT_EQ(half.meanMotion, static_cast<float>(n - 2.0 * decoded(".0000207") * t));
  EXPECT_EQ(half.nodeRa, static_cast<float>(node * k - double{x} * at.nodePerRev));
  EXPECT_EQ(half.argPerigee, static_cast<float>(perigee * k - double{x} * at.perigeePerRev));
}

TEST(ElementReaderTest, LineEndsLfCrlfAndLoneCr) {
  const std::string lf = "ISS (ZARYA)\n" + plain_set(25544) + "FLOCK 2P-1\n" + plain_set(41617);
  std::string crlf, cr;
  for (char c : lf) {
    if (c == '\n') {
      crlf += "\r\n";
      cr += '\r';
    } else {
      crlf += c;
      cr += c;
    }
  }
  const FileReading expected = read_text(lf);
  ASSERT_EQ(expected.sets.size(), 2u);
  EXPECT_EQ(expected.sets[1].name.str(), "FLOCK 2P-1      ");
  for (const std::string& text : {crlf, cr, crlf.substr(0, crlf.size() - 2)}) {
    const FileReading r = read_text(text);
    ASSERT_EQ(r.sets.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(r.sets[i].name, expected.sets[i].name);
      EXPECT_EQ(r.sets[i].ncat, expected.sets[i].ncat);
      EXPECT_EQ(r.sets[i].epochFraction, expected.sets[i].epochFraction);
      EXPECT_EQ(r.sets[i].meanMotion, expected.sets[i].meanMotion);
    }
    EXPECT_EQ(r.console, "");
  }
}

TEST(ElementReaderTest, LineNumbersCountEveryLine) {
  std::string bad = plain_set(41617);
  bad[bad.find("\n2 ") + 1 + 10] = '?';
  const FileReading r = read_text("\n\nNAME\n" + plain_set(25544) + "\n" + bad);
  EXPECT_EQ(ncats(r), std::vector<int32_t>{25544});
  EXPECT_EQ(r.console, "Error in elements file " + r.file_field + "\n" + format_error_line(8));
}

}  // namespace
}  // namespace vespera
