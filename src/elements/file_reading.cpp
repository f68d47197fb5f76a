#include "elements/file_reading.h"

#include <string>

namespace vespera {

namespace {

FileIdentity identity_from(const struct stat& status) {
  return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

}  // namespace

std::optional<FileIdentity> identity_of(std::FILE* stream) {
  struct stat status {};
  if (stream == nullptr || fstat(fileno(stream), &status) != 0) return std::nullopt;
  return identity_from(status);
}

std::optional<FileIdentity> identity_of(const FileName& path) {
  struct stat status {};
  const std::string name(path.trimmed());
  if (name.empty() || stat(name.c_str(), &status) != 0) return std::nullopt;
  return identity_from(status);
}

bool FileReading::current_for(const FileName& file) const {
  if (!complete || !(name == file)) return false;
  const std::optional<FileIdentity> now = identity_of(file);
  return now && *now == identity;
}

void FileReading::restart(const FileName& file, const FileIdentity& file_identity) {
  name = file;
  identity = file_identity;
  complete = false;
  sets.clear();
  messages_before.clear();
  trailing.clear();
}

}  // namespace vespera
