// The control file: found and opened on the first call, then read section by
// section. A section's settings lines (lines 1 to 17a) and the file-name lines
// that close it (lines 18 on) are read here into RunSettings. The file-name
// lines are read in three steps, which the run driver calls in turn, since a
// run's other work stands between them: the magnitude catalogue is loaded
// after lines 18 and 19, before line 20 is read.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "format/text_record.h"
#include "run/console.h"
#include "run/field_scanner.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// Name of the control file looked for in the working directory when the
// command line names none.
inline constexpr std::string_view kDefaultControlFileName = "vespera.ctl";

// Record lengths of the lines of a section.
inline constexpr std::size_t kSettingsLineLength = FieldScanner::kLineLength;
inline constexpr std::size_t kSelectionLineLength = 10;
inline constexpr std::size_t kNameLineLength = 40;

// The open control file, its name, its record reader and the scanner shared
// by the settings lines and the console answers. Closed on destruction.
class ControlFile {
 public:
  // first_argument: the program's first command-line argument, when given.
  explicit ControlFile(std::optional<std::string> first_argument = std::nullopt);
  ~ControlFile();
  ControlFile(const ControlFile&) = delete;
  ControlFile& operator=(const ControlFile&) = delete;

  const std::optional<std::string>& first_argument() const { return first_argument_; }

  // Opens an existing file for reading. Returns false when there is no file
  // of that name; any other failure to open it is a fatal input error.
  bool open(std::string_view name);
  void close();
  const std::string& name() const { return name_; }

  // The next line as a record of `length` characters; false at the end of
  // the file.
  bool read_line(std::size_t length, std::string& record);
  // The next line where the section requires one: the end of the file is a
  // fatal input error naming the file.
  std::string read_required_line(std::size_t length);

  FieldScanner scanner;

 private:
  std::optional<std::string> first_argument_;
  std::FILE* stream_ = nullptr;
  std::string name_;
  std::optional<TextRecordReader> reader_;
};

// read_control_section: on the first call (first_call true) finds and opens
// the control file (the first command-line argument, else vespera.ctl in the
// working directory, else a name asked on the console); on every call reads
// the next section's lines 1 to 17a into `settings`, asking on the console
// where the section says so. Returns 0, or 1 after writing the message of the
// first error found (settings are then partly filled and must not be used).
// The end of the control file inside a section, or of the console input where
// an answer is required, throws FatalIoError.
int read_control_section(bool first_call, ControlFile& control, RunSettings& settings,
                         Console& console);

// read_magnitude_file_names: lines 18 and 19, the intrinsic magnitude file
// and the user override file. A blank line is reported ("Error in intrinsic
// magnitude file name", "Error in user override intrinsic magnitude file
// name") and its name replaced by "bad name" or "none"; the run goes on.
void read_magnitude_file_names(ControlFile& control, RunSettings& settings, Console& console);

// read_output_file_name: line 20, the report file's name into
// settings.outputFileName, or "prompt" to ask it on the console ("Enter output
// file name"). Returns 0, or 1 after "No output file name given - exit" when
// the line or the answer is blank. Every run reads it; which run's name is
// used is the caller's choice.
int read_output_file_name(ControlFile& control, RunSettings& settings, Console& console);

// read_element_file_names: lines 21 and on, the element files into
// settings.elementFileNames and elementFileCount, and whether the list ended
// with "combine" into settings.combineRuns. Line 21 is the first name whatever
// it says, or "prompt" to ask the one name on the console ("Enter elements
// file name"; no further line belongs to the section then). Further names,
// up to ten in all, follow until "combine", "end", "EOF", a blank line or the
// end of the file; an eleventh name writes "Limit of 10 input elements
// filenames - rest ignored" and ends the list. Returns 0, or 1 after "No input
// file name given - exit" when line 21 or the answer is blank.
int read_element_file_names(ControlFile& control, RunSettings& settings, Console& console);

}  // namespace vespera
