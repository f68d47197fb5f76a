// Test helpers shared by the subsystems' tests: a temporary directory with a
// short path (file names in the control file are 40-character fields), a
// stream holding given bytes, and the text written to a stream.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vespera::test {

// A temporary directory under /tmp with a short name, removed with its files.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/vsp.XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = made;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Writes `bytes` to the file `name` in the directory; returns its path.
  std::string write(const std::string& name, std::string_view bytes) const {
    const std::string file = path(name);
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + file);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return file;
  }
  std::string path(const std::string& name) const { return path_ + "/" + name; }
  const std::string& dir() const { return path_; }

 private:
  std::string path_;
};

// A temporary stream holding `bytes`, read from its start; null when no
// temporary file can be made.
inline std::FILE* stream_holding(std::string_view bytes) {
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) return nullptr;
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  return stream;
}

// Everything written to a stream so far (the stream is flushed and rewound).
inline std::string stream_text(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}

}  // namespace vespera::test
