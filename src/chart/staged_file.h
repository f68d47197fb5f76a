// Files written whole or not at all: each is written under a temporary name
// beside its final one, and all of them are renamed into place only once
// every one of them has been written completely.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/text_output.h"

namespace vespera::chart {

class StagedFile : public TextOutput {
 public:
  // A new temporary file in the folder of `path`; nullptr with `error`
  // naming the file and the cause.
  static std::unique_ptr<StagedFile> create(const std::string& path, std::string& error);
  // Removes the temporary file unless it was renamed into place.
  ~StagedFile() override;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Buffered; a write error is kept and reported by close().
  void write(std::string_view text) override;
  // Writes what is buffered and closes the temporary file; false with `error`.
  bool close(std::string& error);
  // Renames the closed temporary file to its final name; false with `error`.
  bool commit(std::string& error);

  const std::string& path() const { return path_; }

 private:
  StagedFile(std::string path, std::string temporary, std::FILE* stream);

  std::string path_;
  std::string temporary_;  // empty once renamed
  std::FILE* stream_;
  int write_error_ = 0;  // errno of the first failed write
};

// commit_files: closes every file, then renames each into place; false with
// `error` (files already renamed into place stay, the others are removed).
bool commit_files(const std::vector<StagedFile*>& files, std::string& error);

}  // namespace vespera::chart
