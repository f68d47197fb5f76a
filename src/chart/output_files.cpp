#include "chart/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace vespera::chart {

namespace {

// Writes `contents` to a new temporary file in the folder of `path`;
// returns its name, or an empty name with `error` set.
std::string write_temporary(const OutputFile& file, std::string& error) {
  const std::filesystem::path target(file.path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = file.path + ": cannot write: " + std::strerror(errno);
    return {};
  }
  std::size_t done = 0;
  while (done < file.contents.size()) {
    const ssize_t n = ::write(fd, file.contents.data() + done, file.contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = file.path + ": cannot write: " + std::strerror(n < 0 ? errno : ENOSPC);
      ::close(fd);
      std::remove(name.c_str());
      return {};
    }
    done += static_cast<std::size_t>(n);
  }
  // The file is read by other people and programs like any file made anew.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0 || ::close(fd) != 0) {
    error = file.path + ": cannot write: " + std::strerror(errno);
    std::remove(name.c_str());
    return {};
  }
  return name;
}

}  // namespace

bool write_files_whole(const std::vector<OutputFile>& files, std::string& error) {
  std::vector<std::string> temporaries;
  bool ok = true;
  for (const OutputFile& file : files) {
    temporaries.push_back(write_temporary(file, error));
    if (temporaries.back().empty()) {
      ok = false;
      break;
    }
  }
  for (std::size_t i = 0; ok && i < files.size(); ++i) {
    if (std::rename(temporaries[i].c_str(), files[i].path.c_str()) != 0) {
      error = files[i].path + ": cannot write: " + std::strerror(errno);
      ok = false;
    } else {
      temporaries[i].clear();
    }
  }
  for (const std::string& name : temporaries) {
    if (!name.empty()) std::remove(name.c_str());
  }
  return ok;
}

}  // namespace vespera::chart
