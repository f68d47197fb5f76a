// Fixed-length text records: every input line of the system (control file,
// console answers, element files, magnitude files) is read as a record of a
// fixed length, padded with blanks when shorter and cut when longer. A record
// ends at LF, CRLF or a lone CR; the line end is not part of the record. Lines
// of any length and any bytes are read safely: bytes beyond the longest record
// kept are consumed and dropped.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace vespera {

// Pads `text` with blanks or cuts it to `length` characters.
std::string fixed_record(std::string_view text, std::size_t length);

class TextRecordReader {
 public:
  // Reads from an open stream; `name` names the file in diagnostics. The reader
  // does not own or close the stream.
  TextRecordReader(std::FILE* stream, std::string name);

  // Reads the next line into `record` as a record of `length` characters.
  // Returns false at the end of the file (no record). A last line without a
  // line end is still a record. A read error throws FatalIoError naming the file.
  bool read(std::size_t length, std::string& record);

  const std::string& name() const { return name_; }

 private:
  std::FILE* stream_;
  std::string name_;
};

}  // namespace vespera
