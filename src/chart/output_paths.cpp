#include "chart/output_paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <tuple>

namespace vespera::chart {

namespace {

struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // a file still to be made: its name in the folder

  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return std::tie(a.exists, a.device, a.inode, a.name) == std::tie(b.exists, b.device, b.inode, b.name);
  }
};

FileIdentity identity_of(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return FileIdentity{true, info.st_dev, info.st_ino, {}};
  const std::filesystem::path p(path);
  const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : ".";
  if (::stat(folder.c_str(), &info) == 0) {
    return FileIdentity{false, info.st_dev, info.st_ino, p.filename().string()};
  }
  std::error_code ignored;
  return FileIdentity{false, 0, 0, std::filesystem::weakly_canonical(p, ignored).string()};
}

}  // namespace

std::string shared_path_problem(const NamedPath& report, const std::vector<NamedPath>& outputs) {
  std::vector<FileIdentity> seen = {identity_of(report.path)};
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const FileIdentity identity = identity_of(outputs[i].path);
    for (std::size_t j = 0; j < seen.size(); ++j) {
      if (!(seen[j] == identity)) continue;
      if (j == 0) return outputs[i].path + ": " + outputs[i].role + " would replace the report; name another file";
      return outputs[i].path + ": " + outputs[j - 1].role + " and " + outputs[i].role +
             " name the same file; name another";
    }
    seen.push_back(identity);
  }
  return {};
}

}  // namespace vespera::chart
