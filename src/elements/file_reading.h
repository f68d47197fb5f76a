// The reading of one element file in streaming mode, kept from one pass to
// the next: each set it gave, the console messages written before each set
// and after the last. The next pass gives the same sets and writes the same
// messages without reading the file again, unless the file has changed: its
// device, inode, size, modification time or status-change time differ from
// those it had when it was read. The status-change time is set by the system
// at every write and cannot be set back (touch -r, rsync -t restore only the
// modification time).
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "elements/element_set.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// What tells one state of a file's contents from another.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};  // the status-change time

  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           same_time(a.modified, b.modified) && same_time(a.changed, b.changed);
  }

 private:
  static bool same_time(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
  }
};

// The identity of the open stream's file, or of the file named `path`;
// none when it cannot be told.
std::optional<FileIdentity> identity_of(std::FILE* stream);
std::optional<FileIdentity> identity_of(const FileName& path);

struct FileReading {
  FileName name;
  FileIdentity identity;
  bool complete = false;  // read to its end
  std::vector<ElementSet> sets;
  std::vector<std::string> messages_before;  // one for each set
  std::string trailing;                      // after the last set

  // Whether the reading stands for the file `name` as it is now.
  bool current_for(const FileName& name) const;
  // Forgets the sets and messages; the reading starts again.
  void restart(const FileName& name, const FileIdentity& identity);
};

}  // namespace vespera
