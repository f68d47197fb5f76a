#include "report/format_readers.h"

#include <array>
#include <string>

#include "format/format_writer.h"
#include "report/report_headers.h"

namespace vespera {

namespace {

constexpr FormatChoice kFormatChoices[] = {{'A', false}, {'B', false}, {'B', true}, {'C', false},
                                           {'C', true},  {'D', false}, {'E', false}, {'R', false}};
constexpr std::size_t kChoiceCount = std::size(kFormatChoices);

// The text of a column header's last line, written by its layout.
std::string column_header_text(const LineLayout& layout, char rangePhaseLetter) {
  std::string text;
  const Format format(layout.format);
  if (layout.items.empty()) {
    format.append(text, {});
  } else {
    format.append(text, {distance_label(rangePhaseLetter)});
  }
  text.pop_back();  // the line end
  return text.substr(text.rfind('\n') + 1);
}

std::array<std::string, kChoiceCount> column_header_texts() {
  std::array<std::string, kChoiceCount> texts;
  for (std::size_t i = 0; i < kChoiceCount; ++i) {
    const FormatChoice& choice = kFormatChoices[i];
    texts[i] = column_header_text(column_header_layout(choice.letter), choice.phase ? 'P' : 'R');
  }
  return texts;
}

}  // namespace

FormatReaders::FormatReaders(char letter_in, bool phase_in)
    : letter(letter_in),
      phase(phase_in),
      texts{&layouts::kTimText, angle_text_layout(letter_in), &distance_text_layout(phase_in ? 'P' : 'R')} {
  if (letter == 'R') {
    prediction = std::make_unique<LayoutReader>(layouts::kRadarLine, texts);
    entry = std::make_unique<LayoutReader>(layouts::kRadarEntryComment);
  } else if (sky()) {
    prediction = std::make_unique<LayoutReader>(layouts::kSkyLineWithDetails, texts);
    sky_number = std::make_unique<LayoutReader>(layouts::kSkyLineWithNumber, texts);
    sky_name = std::make_unique<LayoutReader>(layouts::kSkyLineWithName, texts);
  } else {
    prediction = std::make_unique<LayoutReader>(layouts::kLongLine, texts);
    entry = std::make_unique<LayoutReader>(layouts::kCatalogueEntrySizes);
    detailed_entry = std::make_unique<LayoutReader>(layouts::kDetailedEntrySizes);
  }
  for (const LayoutSegment& s : prediction->segments()) {
    if (s.kind == LayoutSegment::Kind::Item && s.item < layouts::kSkyLineValues.size()) {
      sky_values_end_ = s.first + s.width;
    }
  }
}

ReportFormat report_format(const FormatReaders& readers) {
  ReportFormat format;
  format.letter = readers.letter;
  format.phaseShown = readers.phase;
  for (const LayoutSegment& s : readers.prediction->segments()) {
    if (s.kind == LayoutSegment::Kind::Item && static_cast<std::size_t>(s.field) < kPointFieldCount) {
      format.pointColumns.push_back({s.field, s.first, s.width, s.decimals});
    }
  }
  return format;
}

const FormatChoice* column_header_format(std::string_view line) {
  static const std::array<std::string, kChoiceCount> texts = column_header_texts();
  for (std::size_t i = 0; i < kChoiceCount; ++i) {
    if (line == texts[i]) return &kFormatChoices[i];
  }
  return nullptr;
}

}  // namespace vespera
