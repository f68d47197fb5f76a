// Installing the build: `cmake --install <build> --prefix <dir>` puts the
// program in <dir>/bin, its manual page in <dir>/share/man/man1 and the README
// and the examples' input files in <dir>/share/doc/vespera, and the installed
// program runs the installed example as the built one runs the example of the
// source tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "end_to_end_support.h"

namespace vespera::e2e {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kExampleFiles = {"vespera.ctl", "radar.ctl", "visual.mag",
                                             "visual-2017-10-16.tle"};

// Runs `program` on a copy of the example files of `examples`; returns the
// exit status and the report.
std::pair<int, std::string> run_example(const fs::path& program, const fs::path& examples) {
  Workspace work;
  for (const std::string& name : kExampleFiles) work.copy_file(examples / name);
  const std::string command = "cd \"" + work.path().string() + "\" && \"" + program.string() +
                              "\" vespera.ctl >console.txt 2>&1";
  const int status = std::system(command.c_str());
  return {status, work.read("report.txt")};
}

TEST(Install, PutsTheProgramAndItsDocumentationUnderThePrefix) {
  const fs::path build = fs::path(VESPERA_BINARY).parent_path();
  if (!fs::exists(build / "cmake_install.cmake")) GTEST_SKIP() << "no install script in " << build;
  Workspace prefix;
  const std::string command = "cmake --install \"" + build.string() + "\" --prefix \"" +
                              prefix.path().string() + "\" >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const fs::path program = prefix.path() / "bin" / "vespera";
  const fs::path doc = prefix.path() / "share" / "doc" / "vespera";
  const fs::path source = VESPERA_SOURCE_DIR;
  ASSERT_TRUE(fs::exists(program));
  EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(read_file(doc / "README.md"), read_file(source / "README.md"));
  EXPECT_EQ(read_file(prefix.path() / "share" / "man" / "man1" / "vespera.1"),
            read_file(source / "man" / "vespera.1"));
  std::set<std::string> installed;
  for (const fs::directory_entry& entry : fs::directory_iterator(doc / "examples")) {
    installed.insert(entry.path().filename().string());
    EXPECT_EQ(read_file(entry.path()), read_file(source / "examples" / entry.path().filename()));
  }
  EXPECT_EQ(installed, kExampleFiles);  // and no report of an earlier run

  const auto [installed_status, installed_report] = run_example(program, doc / "examples");
  const auto [built_status, built_report] = run_example(VESPERA_BINARY, source / "examples");
  EXPECT_EQ(installed_status, 0);
  EXPECT_EQ(built_status, 0);
  EXPECT_NE(installed_report, "");
  EXPECT_EQ(installed_report, built_report);
}

}  // namespace
}  // namespace vespera::e2e
