// An element file being read: the open stream, the file's 40-character name
// field as the control file gives it (messages print the whole field), its
// form (told by its first bytes when it is opened) and the number of the line
// read last (1 for the first line, every line counting). A two-line file is
// read line by line; an OMM file is read whole when it is opened and then
// record by record, its line number being that of the record's first line.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

#include "elements/element_file_form.h"
#include "elements/omm_record.h"
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
  ElementFile();
  ~ElementFile();
  ElementFile(const ElementFile&) = delete;
  ElementFile& operator=(const ElementFile&) = delete;

  // open: opens the file named by `name` (trailing blanks dropped) for reading,
  // tells its form and sets the line number to 0. Returns false when no such
  // file exists. Any other failure to open or read it throws FatalIoError
  // naming the file.
  bool open(const FileName& name);
  void close();
  bool is_open() const { return stream_ != nullptr; }
  // The open stream (null when closed), for the identity of the file read.
  std::FILE* stream() const { return stream_; }
  ElementFileForm form() const { return form_; }

  // read_line: the next line of a two-line file as a 70-column record; false
  // at the end of the file. Counts the line. A read error throws FatalIoError.
  bool read_line(std::string& record);
  // next_record: the next record of an OMM file into record(); its first
  // line becomes the line number (for Malformed: the line where the file
  // stops making sense).
  OmmStep next_record();
  const OmmRecord& record() const { return record_; }

  const FileName& name() const { return name_; }
  int32_t line_number() const { return line_number_; }

 private:
  void take_form(const std::string& path);

  // The first bytes of a stream that cannot go back, and the stream.
  struct TakenHead {
    std::string bytes;
    std::size_t given = 0;
    std::FILE* rest = nullptr;
  };
  static ssize_t read_taken_head(void* cookie, char* buffer, std::size_t size);

  std::FILE* stream_ = nullptr;
  std::unique_ptr<TakenHead> head_;
  std::FILE* rejoined_stream_ = nullptr;  // the taken head, then the stream
  std::optional<TextRecordReader> reader_;
  std::unique_ptr<OmmRecordReader> records_;
  OmmRecord record_;  // the record read last, its texts reused for the next
  ElementFileForm form_ = ElementFileForm::TwoLine;
  FileName name_;
  int32_t line_number_ = 0;
};

}  // namespace vespera
