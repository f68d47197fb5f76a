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
#include "prediction/prediction_table.h"
#include "run/run_settings.h"

namespace vespera {

// What the element source reads and changes besides its own state.
struct ElementContext {
  const RunSettings& settings;
  MagnitudeCatalogue& magnitudes;  // flag-only lookups for selection by flag letters
  MagnitudeInfo& info;             // the shared lookup result
  PredictionTable& predictions;    // cut back when a newer duplicate follows (streaming)
  std::FILE* console;
};

class ElementSource {
 public:
  ElementSource();
  ~ElementSource();
  ElementSource(const ElementSource&) = delete;
  ElementSource& operator=(const ElementSource&) = delete;

  // Memory mode: reads all element files into the store. Returns status 1 when
  // no set at all was loaded (after its message), else 0. Streaming mode: 0.
  int loadElementSets(const ElementContext& context);
  // The next nextElementSet starts again with the first set or file.
  void rewindElementSets();
  // Fills `current` with the next selected set: status 0, or 1 when none is left.
  int nextElementSet(const ElementContext& context, ElementSet& current);

  // Number of sets in the store (memory mode).
  int32_t storedCount() const;

  struct State;  // store, cursor, reader and streaming state

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vespera
