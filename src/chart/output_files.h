// Files written whole or not at all: each is written to a temporary file
// beside its final name, and all are renamed into place only once every
// one of them has been written.
#pragma once

#include <string>
#include <vector>

namespace vespera::chart {

struct OutputFile {
  std::string path;
  std::string contents;
};

// write_files_whole: true when every file stands complete under its name;
// false with `error` naming the file and the cause, leaving none of the
// temporary files behind (files already renamed into place stay).
bool write_files_whole(const std::vector<OutputFile>& files, std::string& error);

}  // namespace vespera::chart
