#include "format/text_record.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "vocabulary/program_exit.h"

namespace vespera {

std::string fixed_record(std::string_view text, std::size_t length) {
  std::string record(length, ' ');
  text.copy(record.data(), length);
  return record;
}

std::string_view columns(std::string_view record, int first, int last) {
  if (first < 1) first = 1;
  if (last < first || static_cast<std::size_t>(first) > record.size()) return {};
  const std::size_t begin = static_cast<std::size_t>(first) - 1;
  return record.substr(begin, static_cast<std::size_t>(last) - begin);
}

TextRecordReader::TextRecordReader(std::FILE* stream, std::string name)
    : stream_(stream), name_(std::move(name)) {}

bool TextRecordReader::read(std::size_t length, std::string& record) {
  record.assign(length, ' ');
  char* const kept = record.data();
  std::size_t count = 0;  // bytes of the line seen so far
  bool line_end = false;
  int c;
  while ((c = getc_unlocked(stream_)) != EOF) {
    if (c == '\n') {
      line_end = true;
      break;
    }
    if (c == '\r') {
      // CRLF or a lone CR: take the LF of a CRLF, give back anything else.
      const int following = getc_unlocked(stream_);
      if (following != '\n' && following != EOF) ungetc(following, stream_);
      line_end = true;
      break;
    }
    if (count < length) kept[count] = static_cast<char>(c);
    ++count;
  }
  if (std::ferror(stream_)) {
    const int error = errno;
    throw FatalIoError(name_, std::string("read error: ") + std::strerror(error));
  }
  if (!line_end && count == 0) return false;
  ++records_read_;
  return true;
}

}  // namespace vespera
