// The example's element sets as orbit mean-element messages: the same sets
// written as OMM CSV, XML and JSON (tests/data/omm, made from the example's
// two-line file by tools/tle_to_omm.py) give the report and console of the
// two-line file, byte for byte, in memory and streaming mode. A further file
// of each form adds a set numbered 100057 (the ISS's values under another
// number) and records that cannot be used.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

// The example's control file with its element-file line replaced by
// `element_lines`, in memory (line 10 T) or streaming mode, with an override
// file that gives the set numbered 100057 a magnitude (after all others: the
// intrinsic file ends at its 99999 line).
std::string example_control(const std::string& element_lines, bool memory) {
  std::string control = read_file(std::string(VESPERA_SOURCE_DIR) + "/examples/vespera.ctl");
  const std::size_t files = control.find("visual-2017-10-16.tle");
  control.replace(files, control.size() - files, element_lines + "end\n");
  control.replace(control.find("\nnone\n"), 6, "\nsoyuz.mag\n");
  if (!memory) control.replace(control.find("\nT\nT\nF\n"), 7, "\nF\nT\nF\n");
  return control;
}

RunResult run_example(const std::string& element_lines, bool memory) {
  Workspace ws;
  ws.copy_file(std::string(VESPERA_SOURCE_DIR) + "/examples/visual.mag");
  ws.copy_file(std::string(VESPERA_SOURCE_DIR) + "/examples/visual-2017-10-16.tle");
  for (const char* form : {"csv", "xml", "json"}) {
    ws.copy_data(std::string("omm/visual.") + form);
    ws.copy_data(std::string("omm/extra.") + form);
  }
  ws.write("soyuz.mag", "A0057 v 26162A    SOYUZ-MS 29    -0.5              400 rule: station\n");
  ws.write("run.ctl", example_control(element_lines, memory));
  return ws.run("run.ctl");
}

std::string field40(const std::string& name) { return name + std::string(40 - name.size(), ' '); }

TEST(ElementForms, EachOmmFormGivesTheTwoLineReport) {
  for (const bool memory : {true, false}) {
    const RunResult two_line = run_example("visual-2017-10-16.tle\n", memory);
    ASSERT_EQ(two_line.exit_status, 0);
    ASSERT_NE(two_line.report.find("25544"), std::string::npos);
    for (const char* form : {"csv", "xml", "json"}) {
      const RunResult omm = run_example(std::string("visual.") + form + "\n", memory);
      EXPECT_EQ(omm.exit_status, 0) << form;
      EXPECT_EQ(omm.report, two_line.report) << form << (memory ? " memory" : " streaming");
      EXPECT_EQ(omm.out, two_line.out) << form;
      EXPECT_EQ(omm.err, two_line.err) << form;
    }
  }
}

// Duplicates across forms: in memory mode with older duplicates dropped,
// each OMM file after the two-line file adds nothing (an equal epoch keeps
// the set read first).
TEST(ElementForms, DuplicatesAcrossForms) {
  const RunResult two_line = run_example("visual-2017-10-16.tle\n", true);
  const RunResult all = run_example("visual-2017-10-16.tle\nvisual.csv\nvisual.xml\nvisual.json\n", true);
  EXPECT_EQ(all.exit_status, 0);
  EXPECT_EQ(all.report, two_line.report);
  EXPECT_EQ(all.out, two_line.out);
}

// The line of each refused record: the CSV row, the XML <omm> tag, the JSON
// object's brace.
TEST(ElementForms, AlphaFiveNumberAndRefusedRecords) {
  const struct {
    const char* form;
    int lines[5];
  } cases[] = {{"csv", {3, 4, 5, 6, 7}}, {"xml", {39, 75, 111, 147, 183}}, {"json", {2, 3, 4, 5, 6}}};
  for (const auto& c : cases) {
    for (const bool memory : {true, false}) {
      const std::string extra = std::string("extra.") + c.form;
      const RunResult r = run_example(std::string("visual.") + c.form + "\n" + extra + "\n", memory);
      EXPECT_EQ(r.exit_status, 0);
      std::string refused = "Error in elements file " + field40(extra) + "\n";
      for (int line : c.lines) {
        char text[64];
        std::snprintf(text, sizeof text, "Format error in elements file at line%5d\n", line);
        refused += text;
      }
      // Streaming mode reads the files again every night.
      EXPECT_NE(r.out.find(refused), std::string::npos) << c.form << "\n" << r.out;
      // The set numbered 100057 has the ISS's passes, identified as A0057.
      const std::size_t iss = r.report.find("\n25544 ");
      const std::size_t soyuz = r.report.find("\nA0057 SOYUZ-MS 29");
      ASSERT_NE(iss, std::string::npos) << c.form;
      ASSERT_NE(soyuz, std::string::npos) << c.form << "\n" << r.report;
    }
  }
}

}  // namespace
}  // namespace vespera::e2e
