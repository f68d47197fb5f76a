#include "elements/element_source.h"

#include "elements/element_file.h"
#include "elements/element_reader.h"
#include "elements/element_store.h"
#include "elements/streaming_pass.h"
#include "format/format_writer.h"

namespace vespera {

struct ElementSource::State {
  ElementStore store;  // memory mode
  ElementSet scratch;  // the set being read while loading

  // Streaming mode: the pass over the files and the set handed out last.
  StreamingPass pass;
  bool pass_started = false;  // false until the first nextElementSet after a rewind
  int32_t saved_ncat = 0;
  int32_t saved_epoch_day = 0;
  float saved_epoch_fraction = 0.0f;
  bool supersedes_previous = false;  // the set handed out last supersedes the one before
};

namespace {

const Format& not_found_exit_format() {
  static const Format format("('Input file ',a,' not found - exit')");
  return format;
}

const Format& hit_limit_format() {
  static const Format format("('Hit limit of',i5,' element sets at NCAT =',i6)");
  return format;
}

const Format& nothing_loaded_format() {
  static const Format format(
      "('Error: no elements were loaded (none matched flags?)'/"
      "' (or the input file did not contain CR characters)')");
  return format;
}

int next_from_store(ElementStore& store, ElementSet& current) {
  if (store.cursor >= store.count) {
    store.cursor = store.count + 1;
    return 1;
  }
  current = store.slots[static_cast<std::size_t>(store.cursor)];
  ++store.cursor;
  return 0;
}

int next_from_files(ElementSource::State& state, const ElementContext& context,
                    ElementSet& current) {
  if (!state.pass_started) {
    state.pass_started = true;
    state.saved_ncat = 0;
    state.supersedes_previous = false;
    state.pass.start();
  }
  while (state.pass.next(context, current)) {
    state.supersedes_previous = false;
    if (!context.settings.dropOlderDuplicates) return 0;

    if (current.ncat == state.saved_ncat) {
      if (!epochIsLater(current.epochDay, current.epochFraction, state.saved_epoch_day,
                        state.saved_epoch_fraction)) {
        continue;  // not newer than the set handed out just before: dropped
      }
      state.supersedes_previous = true;  // the older set handed out just before
    }
    state.saved_ncat = current.ncat;
    state.saved_epoch_day = current.epochDay;
    state.saved_epoch_fraction = current.epochFraction;
    return 0;
  }
  return 1;
}

}  // namespace

ElementSource::ElementSource() : state_(std::make_unique<State>()) {}

ElementSource::~ElementSource() = default;

int ElementSource::loadElementSets(const ElementContext& context) {
  const RunSettings& settings = context.settings;
  if (!settings.keepElementsInMemory) {
    // The readings kept from another run's passes may hold other selections.
    state_->pass.forget();
    return 0;
  }

  State& state = *state_;
  ElementStore& store = state.store;
  store.count = 0;
  store.cursor = 0;

  const int count = element_file_count(settings);
  for (int i = 0; i < count; ++i) {
    const FileName& name = settings.elementFileNames[static_cast<std::size_t>(i)];
    ElementFile file;
    if (!file.open(name)) {
      not_found_exit_format().write(context.console, {name});
      continue;
    }
    while (readElementSet(file, context, state.scratch) == 0) {
      if (storeElementSet(store, state.scratch, settings.dropOlderDuplicates) ==
          StoreOutcome::Full) {
        hit_limit_format().write(context.console,
                                 {kElementStoreCapacity, state.scratch.ncat});
        return 0;
      }
    }
  }

  if (store.count == 0) {
    nothing_loaded_format().write(context.console, FormatItems{});
    return 1;
  }
  return 0;
}

void ElementSource::rewindElementSets() {
  state_->store.cursor = 0;
  state_->pass_started = false;
  state_->pass.start();
}

int ElementSource::nextElementSet(const ElementContext& context, ElementSet& current) {
  if (context.settings.keepElementsInMemory) return next_from_store(state_->store, current);
  return next_from_files(*state_, context, current);
}

bool ElementSource::supersedesPrevious() const { return state_->supersedes_previous; }

int32_t ElementSource::storedCount() const { return state_->store.count; }

}  // namespace vespera
