#include "elements/streaming_pass.h"

#include <string_view>

#include "elements/element_reader.h"
#include "format/format_writer.h"

namespace vespera {

namespace {

const Format& not_found_format() {
  static const Format format("('Input file ',a,' not found')");
  return format;
}

void write_text(std::FILE* console, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), console);
}

}  // namespace

void StreamingPass::start() {
  file_.close();
  source_ = Source::None;
  next_file_ = 0;
  file_index_ = -1;
}

void StreamingPass::forget() {
  start();
  for (FileReading& reading : readings_) reading.complete = false;
}

bool StreamingPass::next(const ElementContext& context, ElementSet& current) {
  for (;;) {
    if (source_ == Source::None && !open_next_file(context)) return false;
    const bool got = source_ == Source::Reading ? next_read(context, current)
                                                : next_replayed(context, current);
    if (got) return true;
    source_ = Source::None;
  }
}

// Opens the next file that exists, from its kept reading when it has not
// changed, writing the message for each missing one. False past the last name.
bool StreamingPass::open_next_file(const ElementContext& context) {
  const int count = element_file_count(context.settings);
  while (next_file_ < count) {
    file_index_ = next_file_++;
    const FileName& name = context.settings.elementFileNames[static_cast<std::size_t>(file_index_)];
    FileReading& reading = readings_[static_cast<std::size_t>(file_index_)];
    if (reading.current_for(name)) {
      source_ = Source::Replaying;
      replayed_ = 0;
      return true;
    }
    if (file_.open(name)) {
      // A file whose identity cannot be told is read again on every pass.
      const std::optional<FileIdentity> identity = identity_of(file_.stream());
      reading.restart(identity ? name : FileName(), identity.value_or(FileIdentity{}));
      messages_kept_ = messages_.size();
      source_ = Source::Reading;
      return true;
    }
    reading.complete = false;
    not_found_format().write(context.console, {name});
  }
  return false;
}

// The next set read from the file, its messages written and kept.
bool StreamingPass::next_read(const ElementContext& context, ElementSet& current) {
  FileReading& reading = readings_[static_cast<std::size_t>(file_index_)];
  const ElementContext capturing{context.settings, context.magnitudes, messages_.file(),
                                 context.readsMeanElements};
  const bool got = readElementSet(file_, capturing, current) == 0;
  const std::size_t end = messages_.size();
  const std::string_view text = messages_.text(messages_kept_, end);
  messages_kept_ = end;
  write_text(context.console, text);
  if (got) {
    reading.sets.push_back(current);
    reading.messages_before.emplace_back(text);
    return true;
  }
  reading.trailing.assign(text);
  reading.complete = true;
  file_.close();
  return false;
}

// The next set of the kept reading, with the messages its reading wrote.
bool StreamingPass::next_replayed(const ElementContext& context, ElementSet& current) {
  const FileReading& reading = readings_[static_cast<std::size_t>(file_index_)];
  if (replayed_ < reading.sets.size()) {
    write_text(context.console, reading.messages_before[replayed_]);
    current = reading.sets[replayed_++];
    return true;
  }
  write_text(context.console, reading.trailing);
  return false;
}

}  // namespace vespera
