#include "elements/element_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "vocabulary/program_exit.h"

namespace vespera {

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
  reader_.emplace(stream_, path);
  return true;
}

void ElementFile::close() {
  reader_.reset();
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
}

bool ElementFile::read_line(std::string& record) {
  if (!reader_ || !reader_->read(kElementRecordLength, record)) return false;
  // A uint32_t count cannot overflow into undefined behaviour; the line
  // numbers printed are those of ordinary files.
  line_number_ = static_cast<int32_t>(static_cast<uint32_t>(line_number_) + 1u);
  return true;
}

}  // namespace vespera
