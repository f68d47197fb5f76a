// Output files that must not be the report or one another. Files are told
// apart by what they are, not by how they are spelled: an existing file by
// its device and inode (so "./r.txt", "sub/../r.txt", a hard link and a
// symbolic link to the report are all the report), a file still to be made
// by its folder's device and inode and its name.
#pragma once

#include <string>
#include <vector>

namespace vespera::chart {

struct NamedPath {
  std::string role;  // "the report", "the page", ...
  std::string path;
};

// shared_path_problem: for the first output that names the report or an
// output before it, a message that says so; empty when every output is a
// file of its own.
std::string shared_path_problem(const NamedPath& report, const std::vector<NamedPath>& outputs);

}  // namespace vespera::chart
