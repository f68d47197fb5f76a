// One pass over the element files of streaming mode, in the order of their
// names: every selected set of every file, with the console messages of the
// reading ("Input file ... not found", format errors) written where the
// reading meets them. A file that has not changed since a complete reading
// of it in an earlier pass of the same run is not read again: its kept
// reading gives the same sets and writes the same messages.
#pragma once

#include <array>
#include <optional>

#include "elements/element_file.h"
#include "elements/element_set.h"
#include "elements/element_source.h"
#include "elements/file_reading.h"
#include "format/memory_stream.h"

namespace vespera {

class StreamingPass {
 public:
  // start: a new pass begins at the first file.
  void start();
  // next: the next set of the pass in `current`; false after the last file.
  bool next(const ElementContext& context, ElementSet& current);
  // forget: the kept readings are dropped (a new run may select other sets).
  void forget();

 private:
  enum class Source { None, Reading, Replaying };

  bool open_next_file(const ElementContext& context);
  bool next_read(const ElementContext& context, ElementSet& current);
  bool next_replayed(const ElementContext& context, ElementSet& current);

  std::array<FileReading, kMaxElementFiles> readings_;
  ElementFile file_;          // the file being read
  MemoryStream messages_;     // the messages of the file being read
  std::size_t messages_kept_ = 0;  // how much of them the reading has taken
  Source source_ = Source::None;
  int next_file_ = 0;         // index of the file to open next
  int file_index_ = -1;       // index of the file in use
  std::size_t replayed_ = 0;  // sets given from the kept reading in use
};

}  // namespace vespera
