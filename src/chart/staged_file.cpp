#include "chart/staged_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vespera::chart {

namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

std::string cause(const std::string& path, int error_number) {
  return path + ": cannot write: " + std::strerror(error_number);
}

}  // namespace

std::unique_ptr<StagedFile> StagedFile::create(const std::string& path, std::string& error) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = cause(path, errno);
    return nullptr;
  }
  // The file is read by other people and programs like any file made anew.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  std::FILE* stream = ::fchmod(fd, 0666 & ~mask) == 0 ? ::fdopen(fd, "wb") : nullptr;
  if (stream == nullptr) {
    error = cause(path, errno);
    ::close(fd);
    std::remove(name.c_str());
    return nullptr;
  }
  std::setvbuf(stream, nullptr, _IOFBF, kBufferBytes);
  return std::unique_ptr<StagedFile>(new StagedFile(path, std::move(name), stream));
}

StagedFile::StagedFile(std::string path, std::string temporary, std::FILE* stream)
    : path_(std::move(path)), temporary_(std::move(temporary)), stream_(stream) {}

StagedFile::~StagedFile() {
  if (stream_ != nullptr) std::fclose(stream_);
  if (!temporary_.empty()) std::remove(temporary_.c_str());
}

void StagedFile::write(std::string_view text) {
  if (stream_ == nullptr || write_error_ != 0 || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) write_error_ = errno != 0 ? errno : EIO;
}

bool StagedFile::close(std::string& error) {
  if (stream_ == nullptr) return write_error_ == 0;
  const bool flushed = std::fflush(stream_) == 0;
  if (!flushed && write_error_ == 0) write_error_ = errno;
  if (std::fclose(stream_) != 0 && write_error_ == 0) write_error_ = errno;
  stream_ = nullptr;
  if (write_error_ != 0) error = cause(path_, write_error_);
  return write_error_ == 0;
}

bool StagedFile::commit(std::string& error) {
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    error = cause(path_, errno);
    return false;
  }
  temporary_.clear();
  return true;
}

bool commit_files(const std::vector<StagedFile*>& files, std::string& error) {
  for (StagedFile* file : files) {
    if (!file->close(error)) return false;
  }
  for (StagedFile* file : files) {
    if (!file->commit(error)) return false;
  }
  return true;
}

}  // namespace vespera::chart
