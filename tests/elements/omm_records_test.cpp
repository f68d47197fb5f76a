// Orbit mean-element messages: the form of a file told by its content, the
// epoch's ISO 8601 text, the records of each form, and the sets they give,
// bit for bit those of the same values as a two-line set.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "element_test_support.h"
#include "elements/element_file.h"
#include "elements/element_file_form.h"
#include "elements/element_reader.h"
#include "elements/omm_epoch.h"
#include "elements/omm_two_line.h"

namespace vespera {
namespace {

using test::ElementHarness;
using test::field40;
using test::plain_set;
using test::TempDir;

TEST(ElementFileForm, ToldByTheFirstBytes) {
  const struct {
    const char* head;
    ElementFileForm form;
  } cases[] = {
      {"ISS (ZARYA)\n1 25544U", ElementFileForm::TwoLine},
      {"1 25544U 98067A   18020.89808844", ElementFileForm::TwoLine},
      {"", ElementFileForm::TwoLine},
      {"[+] ISS\n1 25544U", ElementFileForm::TwoLine},
      {"[1, 2]", ElementFileForm::TwoLine},
      {"<html><body>", ElementFileForm::TwoLine},
      {"OBJECT_NAME\nISS", ElementFileForm::TwoLine},
      {"OBJECT_NAME,RCS\nISS,LARGE", ElementFileForm::TwoLine},
      {"OBJECT_NAME,NORAD_CAT_ID\r\nISS,25544", ElementFileForm::OmmCsv},
      {"\xEF\xBB\xBF\"OBJECT_NAME\", \"EPOCH\"\n", ElementFileForm::OmmCsv},
      {"<?xml version=\"1.0\"?>\n<!-- catalogue -->\n<ndm>", ElementFileForm::OmmXml},
      {"  <omm id=\"CCSDS_OMM_VERS\" version=\"2.0\">", ElementFileForm::OmmXml},
      {"[{\"OBJECT_NAME\":\"ISS\"}]", ElementFileForm::OmmJson},
      {"[\n  {\n", ElementFileForm::OmmJson},
      {"[ ]", ElementFileForm::OmmJson},
      {"{\"OBJECT_NAME\": \"ISS\"}", ElementFileForm::OmmJson},
  };
  for (const auto& c : cases) EXPECT_EQ(element_file_form(c.head), c.form) << c.head;
}

TEST(OmmEpoch, CalendarAndOrdinalDates) {
  const struct {
    const char* text;
    int32_t year, day;
    double seconds;
  } read[] = {{"2026-07-19T03:50:02.107968", 2026, 200, 13802.107968},
              {"2026-200T03:50:02.107968", 2026, 200, 13802.107968},
              {"2024-02-29T00:00:00Z", 2024, 60, 0.0},
              {"2024-12-31T23:59:59.999999", 2024, 366, 86399.999999},
              {"2017-10-16", 2017, 289, 0.0},
              {"2016-12-31 23:59:60.5", 2016, 366, 86400.5}};
  for (const auto& c : read) {
    const std::optional<OmmEpoch> epoch = parse_omm_epoch(c.text);
    ASSERT_TRUE(epoch) << c.text;
    EXPECT_EQ(epoch->year, c.year) << c.text;
    EXPECT_EQ(epoch->dayOfYear, c.day) << c.text;
    EXPECT_DOUBLE_EQ(epoch->secondsOfDay, c.seconds) << c.text;
  }
  for (const char* text : {"2026-13-01T00:00:00", "2026-02-29T00:00:00", "2026-07-19T24:00:00",
                           "2026-07-19T03:60:00", "2026-07-19T03:50", "2026-07-19T03:50:02.1x",
                           "26-07-19T03:50:02", "2026-366T00:00:00", "2026-07-19T03:50:02Z!", "",
                           "2026-07-19T3:50:02", "2026-07-19T03:50:.5"}) {
    EXPECT_FALSE(parse_omm_epoch(text)) << text;
  }
}

TEST(OmmRecords, InternationalDesignator) {
  EXPECT_EQ(international_designator("1998-067A"), "98067A");
  EXPECT_EQ(international_designator("2026-067CY"), "26067CY");
  EXPECT_EQ(international_designator("UNKNOWN"), "UNKNOWN");
  EXPECT_EQ(international_designator("1998-67A"), "1998-67A");
}

struct Reading {
  std::vector<ElementSet> sets;
  std::string console;
  std::string field;  // the file's name as messages print it
};

Reading read_file_text(const std::string& name, const std::string& text) {
  TempDir dir;
  ElementHarness harness;
  test::FileReading r = test::read_whole_file(harness, dir.write(name, text));
  return Reading{std::move(r.sets), std::move(r.console), std::move(r.file_field)};
}

std::string format_error(int line) {
  char text[64];
  std::snprintf(text, sizeof text, "Format error in elements file at line%5d\n", line);
  return text;
}

bool same_bits(const ElementSet& a, const ElementSet& b) {
  return a.name == b.name && a.ncat == b.ncat && a.epochDay == b.epochDay &&
         std::memcmp(&a.epochFraction, &b.epochFraction, 4 * 9) == 0 && a.mean == b.mean;
}

// plain_set(25544) of the two-line tests, as OMM values.
const char* const kHeader =
    "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
    "ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,"
    "ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT\n";
std::string csv_row(const std::string& ncat, const std::string& name = "",
                    const std::string& change_key = "", const std::string& change_value = "") {
  const char* keys[] = {"OBJECT_NAME", "OBJECT_ID", "EPOCH", "MEAN_MOTION", "ECCENTRICITY", "INCLINATION",
                        "RA_OF_ASC_NODE", "ARG_OF_PERICENTER", "MEAN_ANOMALY", "EPHEMERIS_TYPE",
                        "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO", "REV_AT_EPOCH", "BSTAR",
                        "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT"};
  std::vector<std::string> values = {name, "1998-067A", "2018-01-20T21:33:14.841216", "15.54190080",
                                     ".0003646", "51.6424", "32.9776", "28.7227", "39.5332", "0", "U", ncat,
                                     "999", "9561", ".3855E-4", ".00002078", "0"};
  std::string row;
  for (std::size_t i = 0; i < values.size(); ++i) {
    row += (i ? "," : "") + (keys[i] == change_key ? change_value : values[i]);
  }
  return row + "\n";
}

TEST(OmmRecords, SameValuesGiveTheTwoLineSetBitForBit) {
  const Reading two_line = read_file_text("sets.tle", plain_set(25544) + "ISS (ZARYA)\n" + plain_set(41617));
  const std::string named = csv_row("41617", "ISS (ZARYA)");
  const Reading csv = read_file_text("sets.csv", std::string(kHeader) + csv_row("25544") + named);
  ASSERT_EQ(two_line.sets.size(), 2u);
  ASSERT_EQ(csv.sets.size(), 2u);
  EXPECT_EQ(csv.console, "");
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(same_bits(csv.sets[i], two_line.sets[i])) << i;
    EXPECT_TRUE(csv.sets[i].mean.valid);
  }
  EXPECT_EQ(csv.sets[0].name.view(), "98067A          ");
  EXPECT_EQ(csv.sets[1].name.view(), "ISS (ZARYA)     ");
}

TEST(OmmRecords, ValuesWrittenOtherwise) {
  // Values with more decimals than the two-line columns, in exponent form,
  // with a plus sign, JSON numbers: the columns round them (the
  // eccentricity's seventh decimal is cut) and the mean elements keep them.
  const Reading plain = read_file_text("a.csv", std::string(kHeader) + csv_row("25544"));
  const struct {
    const char* key;
    const char* value;
  } same_set[] = {{"ECCENTRICITY", ".00036469"}, {"ECCENTRICITY", "3.6460E-4"}, {"INCLINATION", "+51.64240"},
                  {"MEAN_MOTION_DOT", "2.078E-5"}, {"EPOCH", "2018-020T21:33:14.841216Z"},
                  {"MEAN_ANOMALY", "39.53320001"}};
  for (const auto& c : same_set) {
    const Reading r = read_file_text("b.csv", std::string(kHeader) + csv_row("25544", "", c.key, c.value));
    ASSERT_EQ(r.sets.size(), 1u) << c.key << " " << c.value << r.console;
    const ElementSet& a = r.sets[0];
    const ElementSet& b = plain.sets[0];
    EXPECT_EQ(std::memcmp(&a.epochFraction, &b.epochFraction, 4 * 9), 0) << c.key << " " << c.value;
  }
}

TEST(OmmRecords, RecordsThatCannotBeUsedAreReportedAtTheirRow) {
  std::string text = kHeader;
  text += csv_row("", "NO NUMBER");                                   // line 2
  text += csv_row("25544", "", "MEAN_MOTION", "fast");               // 3
  text += csv_row("340000");                                         // 4
  text += csv_row("0");                                              // 5
  text += csv_row("25544", "", "EPHEMERIS_TYPE", "4");               // 6
  text += csv_row("25544", "", "ECCENTRICITY", "1.5");               // 7
  text += csv_row("25544", "", "INCLINATION", "1234567.5");          // 8
  text += csv_row("25544", "", "EPOCH", "2018-01-32T00:00:00");      // 9
  text += csv_row("25544", "", "BSTAR", "");                         // 10
  text += csv_row("25544", "", "MEAN_MOTION", "3.9");                // 11: skipped silently
  text += "\n";                                                      // 12: empty, passed over
  text += csv_row("100057", "SOYUZ-MS 29");                          // 13
  text += csv_row("25544", "", "MEAN_MOTION_DOT", "nan");            // 14
  const Reading r = read_file_text("bad.csv", text);
  ASSERT_EQ(r.sets.size(), 1u);
  EXPECT_EQ(r.sets[0].ncat, 100057);
  std::string expected = "Error in elements file " + r.field + "\n";
  for (int line : {2, 3, 4, 5, 6, 7, 8, 9, 10}) expected += format_error(line);
  expected += "Error in elements file " + r.field + "\n" + format_error(14);
  EXPECT_EQ(r.console, expected);
}

TEST(OmmRecords, QuotedCsvFields) {
  std::string text = kHeader;
  text += csv_row("25544", "\"ISS, \"\"ZARYA\"\"\"");
  text += csv_row("41617", "\"TWO\nLINES\"");                         // lines 3-4
  text += csv_row("", "BAD");                                         // 5
  text += csv_row("43013", "\"NEVER ENDS");                          // 6
  const Reading r = read_file_text("q.csv", text);
  ASSERT_EQ(r.sets.size(), 2u);
  EXPECT_EQ(r.sets[0].name.view(), "ISS, \"ZARYA\"    ");
  EXPECT_EQ(r.sets[1].name.view(), "TWO LINES       ");  // the line end is a blank in a name
  EXPECT_EQ(r.console, "Error in elements file " + r.field + "\n" + format_error(5) + format_error(6));
}

std::string xml_record(const std::string& ncat, const std::string& extra = "") {
  return "<omm id=\"CCSDS_OMM_VERS\" version=\"2.0\">\n<header/>\n<body><segment>\n"
         "<metadata><OBJECT_NAME>ISS &amp; CO</OBJECT_NAME><OBJECT_ID>1998-067A</OBJECT_ID></metadata>\n"
         "<data><meanElements><EPOCH>2018-01-20T21:33:14.841216</EPOCH><MEAN_MOTION>15.54190080</MEAN_MOTION>"
         "<ECCENTRICITY>.0003646</ECCENTRICITY><INCLINATION>51.6424</INCLINATION>"
         "<RA_OF_ASC_NODE>32.9776</RA_OF_ASC_NODE><ARG_OF_PERICENTER>28.7227</ARG_OF_PERICENTER>"
         "<MEAN_ANOMALY>39.5332</MEAN_ANOMALY></meanElements>\n<tleParameters><NORAD_CAT_ID>" +
         ncat + "</NORAD_CAT_ID><BSTAR>.3855E-4</BSTAR><MEAN_MOTION_DOT>.00002078</MEAN_MOTION_DOT>"
         "<MEAN_MOTION_DDOT>0</MEAN_MOTION_DDOT>" + extra + "</tleParameters></data>\n</segment></body>\n</omm>\n";
}

TEST(OmmRecords, XmlRecordsAndAFaultInTheDocument) {
  const Reading csv = read_file_text("a.csv", std::string(kHeader) + csv_row("25544"));
  // Records of 8 lines from line 3; the third has an ephemeris type 4; the
  // document stops making sense on the second line of the fifth (line 36).
  std::string text = "<?xml version=\"1.0\"?>\n<ndm>\n" + xml_record("25544") + xml_record("41617") +
                     xml_record("43013", "<EPHEMERIS_TYPE>4</EPHEMERIS_TYPE>") + xml_record("100057");
  text += "<omm><body>\n<<broken\n</body></omm>\n</ndm>\n";
  const Reading r = read_file_text("a.xml", text);
  ASSERT_EQ(r.sets.size(), 3u);
  EXPECT_EQ(r.sets[0].name.view(), "ISS & CO        ");
  EXPECT_EQ(std::memcmp(&r.sets[0].epochFraction, &csv.sets[0].epochFraction, 4 * 9), 0);
  EXPECT_EQ(r.sets[2].ncat, 100057);
  const std::string named = "Error in elements file " + r.field + "\n";
  EXPECT_EQ(r.console, named + format_error(19) + named + format_error(36));
  // A single <omm> is a document of one record.
  const Reading single = read_file_text("b.xml", xml_record("25544"));
  ASSERT_EQ(single.sets.size(), 1u);
  EXPECT_EQ(single.console, "");
  // A record cut off by the end of the file is not used; the fault is the end.
  const std::string cut = "<ndm>\n" + xml_record("25544") + xml_record("41617").substr(0, 120);
  const Reading truncated = read_file_text("c.xml", cut);
  EXPECT_EQ(truncated.sets.size(), 1u);
  EXPECT_EQ(truncated.console, "Error in elements file " + truncated.field + "\n" + format_error(13));
}

TEST(OmmRecords, XmlRecordsAreUsedOnlyWhenWellFormed) {
  // A record broken inside (an end tag of <omm> within a name) is not used,
  // not even its fields before the fault; the document stops there.
  std::string broken = xml_record("41617");
  broken.replace(broken.find("ISS &amp; CO"), 12, "ISS</omm> CO");
  const Reading r = read_file_text("a.xml", "<ndm>\n" + xml_record("25544") + broken + xml_record("43013") + "</ndm>\n");
  ASSERT_EQ(r.sets.size(), 1u);
  EXPECT_EQ(r.console, "Error in elements file " + r.field + "\n" + format_error(13));  // the name's line
  // A root whose attributes are not well formed: nothing is read.
  const Reading root = read_file_text("b.xml", "<ndm\nid=x>\n" + xml_record("25544") + "</ndm>\n");
  EXPECT_TRUE(root.sets.empty());
  EXPECT_EQ(root.console, "Error in elements file " + root.field + "\n" + format_error(2));
  // A document declared in Latin-1: its names are read as UTF-8.
  std::string latin = xml_record("25544");
  latin.replace(latin.find("ISS &amp; CO"), 12, "CAF\xC9");
  const Reading declared =
      read_file_text("c.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<ndm>\n" + latin + "</ndm>\n");
  ASSERT_EQ(declared.sets.size(), 1u);
  EXPECT_EQ(declared.sets[0].name.view().substr(0, 5), "CAF\xC3\x89");
  EXPECT_EQ(declared.console, "");
}

std::string json_object(const std::string& ncat, bool strings) {
  const std::string q = strings ? "\"" : "";
  return "{\"OBJECT_NAME\":\"ISS \\u0026 CO\",\"OBJECT_ID\":\"1998-067A\",\"EPOCH\":\"2018-01-20T21:33:14.841216\","
         "\"MEAN_MOTION\":" + q + "15.54190080" + q + ",\"ECCENTRICITY\":" + q + "0.0003646" + q +
         ",\"INCLINATION\":" + q + "51.6424" + q + ",\"RA_OF_ASC_NODE\":" + q + "32.9776" + q +
         ",\"ARG_OF_PERICENTER\":" + q + "28.7227" + q + ",\"MEAN_ANOMALY\":" + q + "39.5332" + q +
         ",\"EPHEMERIS_TYPE\":" + q + "0" + q + ",\"NORAD_CAT_ID\":" + q + ncat + q + ",\"BSTAR\":" + q +
         "3.855e-5" + q + ",\"MEAN_MOTION_DOT\":" + q + "2.078e-5" + q + ",\"MEAN_MOTION_DDOT\":" + q + "0" + q +
         ",\"DECAY_DATE\":null}";
}

TEST(OmmRecords, JsonNumbersAsNumbersOrStrings) {
  const Reading csv = read_file_text("a.csv", std::string(kHeader) + csv_row("25544"));
  for (const bool strings : {false, true}) {
    const Reading r = read_file_text("a.json", "[" + json_object("25544", strings) + ",\n" +
                                                   json_object("100057", strings) + ",\n42,\n" +
                                                   json_object("41617", strings) + "]\n");
    ASSERT_EQ(r.sets.size(), 3u) << strings;
    EXPECT_EQ(r.sets[0].name.view(), "ISS & CO        ");
    EXPECT_EQ(std::memcmp(&r.sets[0].epochFraction, &csv.sets[0].epochFraction, 4 * 9), 0);
    EXPECT_EQ(r.sets[0].mean, csv.sets[0].mean);
    EXPECT_EQ(r.sets[1].ncat, 100057);
    EXPECT_EQ(r.console, "Error in elements file " + r.field + "\n" + format_error(3));
  }
}

TEST(OmmRecords, JsonFaultsKeepTheRecordsBeforeThem) {
  const std::string good = json_object("25544", false);
  std::string bad_byte = json_object("41617", false);
  bad_byte.replace(bad_byte.find("ISS"), 3, "IS\xE9");
  std::string open_string = json_object("41617", false);
  open_string.erase(open_string.find("\"1998"), 1);
  const struct {
    std::string text;
    std::size_t sets;
    int line;
  } cases[] = {
      {"[" + good + ",\n" + good + ",\n" + bad_byte + ",\n" + good + "]", 2, 3},  // not UTF-8
      {"[" + good + ",\n" + open_string + ",\n" + good + "]", 1, 2},              // a string left open
      {"[" + good + ",\n" + good + "]\n\nextra", 2, 4},                           // after the array
      {"[" + good + ",\n" + good + ",\n", 2, 3},                                  // the end comes too soon
      {"[" + good + ",\n{\"NORAD_CAT_ID\": 5,,}]", 1, 2},                          // not JSON
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Reading r = read_file_text("f.json", cases[i].text);
    EXPECT_EQ(r.sets.size(), cases[i].sets) << "case " << i;
    EXPECT_EQ(r.console, "Error in elements file " + r.field + "\n" + format_error(cases[i].line)) << "case " << i;
  }
  const Reading empty = read_file_text("e.json", "[ ]\n");
  EXPECT_TRUE(empty.sets.empty());
  EXPECT_EQ(empty.console, "");
}

}  // namespace
}  // namespace vespera
