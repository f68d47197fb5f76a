#include "elements/element_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "elements/omm_readers.h"
#include "vocabulary/program_exit.h"

namespace vespera {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;
constexpr std::size_t kReadAheadRoom = 64;

// Appends up to `limit` more bytes of `stream` to `text` (all that is left
// when `limit` is 0); a read error throws FatalIoError naming the file.
void append_bytes(std::FILE* stream, const std::string& path, std::size_t limit, std::string& text) {
  char chunk[kReadChunk];
  for (;;) {
    std::size_t want = sizeof chunk;
    if (limit != 0) want = std::min(want, limit - std::min(limit, text.size()));
    if (want == 0) return;
    const std::size_t got = std::fread(chunk, 1, want, stream);
    text.append(chunk, got);
    if (got < want) break;
  }
  if (std::ferror(stream)) {
    const int error = errno;
    throw FatalIoError(path, std::string("read error: ") + std::strerror(error));
  }
}

}  // namespace

// The bytes taken from a stream that cannot go back, given again before the
// rest of the stream: the read function of a cookie stream (glibc's
// fopencookie). A read error of the stream is the cookie stream's, with its
// errno.
ssize_t ElementFile::read_taken_head(void* cookie, char* buffer, std::size_t size) {
  TakenHead& taken = *static_cast<TakenHead*>(cookie);
  if (taken.given < taken.bytes.size()) {
    const std::size_t count = std::min(size, taken.bytes.size() - taken.given);
    std::copy_n(taken.bytes.data() + taken.given, count, buffer);
    taken.given += count;
    return static_cast<ssize_t>(count);
  }
  const std::size_t count = std::fread(buffer, 1, size, taken.rest);
  if (count == 0 && std::ferror(taken.rest)) return -1;
  return static_cast<ssize_t>(count);
}

ElementFile::ElementFile() = default;

ElementFile::~ElementFile() { close(); }

bool ElementFile::open(const FileName& name) {
  close();
  name_ = name;
  line_number_ = 0;
  const std::string path(name.trimmed());
  errno = 0;
  std::FILE* stream = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    const int error = path.empty() ? ENOENT : errno;
    if (error == ENOENT || error == ENOTDIR || error == 0) return false;
    throw FatalIoError(path, std::string("cannot open: ") + std::strerror(error));
  }
  stream_ = stream;
  take_form(path);
  return true;
}

// Reads the file's first bytes to tell its form. An OMM file is then read
// whole; a two-line file goes back to its start.
void ElementFile::take_form(const std::string& path) {
  std::string head;
  append_bytes(stream_, path, kElementFileFormHead, head);
  form_ = element_file_form(head);
  if (form_ != ElementFileForm::TwoLine) {
    struct stat status;
    // Room for the whole file and for the JSON parser's reading ahead.
    if (fstat(fileno(stream_), &status) == 0 && status.st_size > 0) {
      head.reserve(static_cast<std::size_t>(status.st_size) + kReadAheadRoom);
    }
    append_bytes(stream_, path, 0, head);
    records_ = make_omm_reader(form_, std::move(head));
    return;
  }
  if (std::fseek(stream_, 0, SEEK_SET) == 0) {
    reader_.emplace(stream_, path);
    return;
  }
  // A stream that cannot go back (a pipe): its lines are read from the bytes
  // already taken, then from the stream, as they come.
  head_ = std::make_unique<TakenHead>(TakenHead{std::move(head), 0, stream_});
  rejoined_stream_ = fopencookie(head_.get(), "rb", cookie_io_functions_t{&read_taken_head, nullptr, nullptr, nullptr});
  if (rejoined_stream_ == nullptr) throw FatalIoError(path, std::string("read error: ") + std::strerror(errno));
  reader_.emplace(rejoined_stream_, path);
}

void ElementFile::close() {
  reader_.reset();
  records_.reset();
  if (rejoined_stream_ != nullptr) {
    std::fclose(rejoined_stream_);
    rejoined_stream_ = nullptr;
  }
  head_.reset();
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  form_ = ElementFileForm::TwoLine;
}

bool ElementFile::read_line(std::string& record) {
  if (!reader_ || !reader_->read(kElementRecordLength, record)) return false;
  // A uint32_t count cannot overflow into undefined behaviour; the line
  // numbers printed are those of ordinary files.
  line_number_ = static_cast<int32_t>(static_cast<uint32_t>(line_number_) + 1u);
  return true;
}

OmmStep ElementFile::next_record() {
  if (!records_) return OmmStep::End;
  const OmmStep step = records_->next(record_);
  if (step != OmmStep::End) line_number_ = record_.line;
  return step;
}

}  // namespace vespera
