// Fixed-length text records: every input line of the system (control file,
// console answers, element files, magnitude files) is read as a record of a
// fixed length, padded with blanks when shorter and cut when longer. A record
// ends at LF, CRLF or a lone CR; the line end is not part of the record. Lines
// of any length and any bytes (NUL included) are read safely: bytes beyond the
// record length are consumed and dropped.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace vespera {

// Pads `text` with blanks or cuts it to `length` characters.
std::string fixed_record(std::string_view text, std::size_t length);

// Columns `first` to `last` (numbered from 1, both included) of a record. The
// part that lies beyond the record's end is left out, so a range wholly beyond
// it, or one with `last` before `first`, gives an empty text.
std::string_view columns(std::string_view record, int first, int last);

class TextRecordReader {
 public:
  // Reads from an open stream; `name` names the file in diagnostics. The reader
  // does not own or close the stream, and reads no further than the line end
  // of the record it returns (after a CR it looks at one more byte, and gives
  // it back unless it is the LF of a CRLF), so several readers may take turns
  // on one stream, e.g. on standard input.
  TextRecordReader(std::FILE* stream, std::string name);

  // Reads the next line into `record` as a record of `length` characters.
  // Returns false at the end of the file (no record). A last line without a
  // line end is still a record. A read error throws FatalIoError naming the file.
  bool read(std::size_t length, std::string& record);

  const std::string& name() const { return name_; }
  // Number of records this reader has returned: the line number of the last one.
  long records_read() const { return records_read_; }

 private:
  std::FILE* stream_;
  std::string name_;
  long records_read_ = 0;
};

}  // namespace vespera
