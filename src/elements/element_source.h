// The element source: element sets read from up to ten element files, selected,
// converted to ElementSet records and handed out one at a time, either from the
// in-memory ElementStore (10000 sets) or by reading the files again on every
// pass (streaming mode).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "elements/element_set.h"
#include "magnitudes/magnitude_catalogue.h"
#include "vocabulary/run_settings.h"

namespace vespera {

// What the element source reads and changes besides its own state.
struct ElementContext {
  const RunSettings& settings;
  const MagnitudeCatalogue& magnitudes;  // flag-only lookups for selection by flag letters
  std::FILE* console;
  // Whether a two-line set's mean elements are read at full precision (the
  // SGP4 model needs them; the compact model reads its own columns only).
  bool readsMeanElements = true;
};

class ElementSource {
 public:
  ElementSource();
  ~ElementSource();
  ElementSource(const ElementSource&) = delete;
  ElementSource& operator=(const ElementSource&) = delete;

  // Memory mode: empties the store and reads all element files into it, in
  // order ("Input file ... not found - exit" for a missing one). With
  // dropOlderDuplicates a later set of a stored satellite takes its slot. The
  // 10001st set writes "Hit limit of10000 element sets at NCAT =..." and ends
  // the loading at once (status 0). Returns status 1 when no set at all was
  // loaded (after the two-line message), else 0. Streaming mode: does nothing,
  // status 0.
  int loadElementSets(const ElementContext& context);
  // The next nextElementSet starts again with the first set (memory mode) or
  // the first file (streaming mode); a file being read is closed.
  void rewindElementSets();
  // Fills `current` with the next selected set: status 0, or 1 when none is
  // left. Streaming mode reads the files again on every pass ("Input file ...
  // not found" for a missing one); with dropOlderDuplicates a set not newer
  // than the set of the same satellite handed out just before it is skipped,
  // and a newer one supersedes it (supersedesPrevious).
  int nextElementSet(const ElementContext& context, ElementSet& current);
  // Whether the set handed out last is a newer set of the satellite handed
  // out just before it (streaming mode with dropOlderDuplicates): the
  // predictions made from that older set are to be withdrawn.
  bool supersedesPrevious() const;

  // Number of sets in the store (memory mode).
  int32_t storedCount() const;

  struct State;  // the ElementStore, the streaming file and the set handed out last

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vespera
