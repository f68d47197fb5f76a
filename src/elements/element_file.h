// An element file being read: the open stream, the file's 40-character name
// field as the control file gives it (messages print the whole field) and the
// number of the line read last (1 for the first line, every line counting).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "format/text_record.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// Element-file lines are records of 70 columns.
inline constexpr std::size_t kElementRecordLength = 70;

// The number of element-file names of a run, within the table's size.
inline int element_file_count(const RunSettings& settings) {
  return std::clamp<int>(settings.elementFileCount, 0, kMaxElementFiles);
}

class ElementFile {
 public:
  ElementFile() = default;
  ~ElementFile() { close(); }
  ElementFile(const ElementFile&) = delete;
  ElementFile& operator=(const ElementFile&) = delete;

  // open: opens the file named by `name` (trailing blanks dropped) for reading
  // and sets the line number to 0. Returns false when no such file exists.
  // Any other failure to open it throws FatalIoError naming the file.
  bool open(const FileName& name);
  void close();
  bool is_open() const { return stream_ != nullptr; }
  // The open stream (null when closed), for the identity of the file read.
  std::FILE* stream() const { return stream_; }

  // read_line: the next line as a 70-column record; false at the end of the
  // file. Counts the line. A read error throws FatalIoError.
  bool read_line(std::string& record);

  const FileName& name() const { return name_; }
  int32_t line_number() const { return line_number_; }

 private:
  std::FILE* stream_ = nullptr;
  std::optional<TextRecordReader> reader_;
  FileName name_;
  int32_t line_number_ = 0;
};

}  // namespace vespera
