// lookupMagnitude: finds a catalogue number in the magnitude catalogue and
// fills the shared MagnitudeInfo in flag-only, brief or full form.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"

namespace vespera {
namespace {

// A second or third size of " 0.0" means "no such dimension".
constexpr std::string_view kZeroSize = " 0.0";

// Binary search for `ncat`, starting from the slot where the last successful
// search ended, so that repeated lookups of one number take one comparison.
// Returns the slot, or 0 when the number is not in the table.
int32_t find_slot(MagnitudeCatalogue& catalogue, int32_t ncat) {
  const MagnitudeTable& table = catalogue.table;
  if (table.count <= 0) return 0;
  const int32_t start = std::clamp(catalogue.searchSlot, int32_t{1}, table.count);
  if (ncat == table[start].ncat) return start;
  int32_t lo = start;
  int32_t hi = table.count;
  if (ncat < table[start].ncat) {
    lo = 1;
    hi = start;
  }
  while (true) {
    const int32_t m = (lo + hi) / 2;
    const int32_t here = table[m].ncat;
    if (ncat < here) {
      if (m == lo) return 0;
      hi = m - 1;
    } else if (ncat > here) {
      if (m == hi) return 0;
      lo = m + 1;
    } else {
      catalogue.searchSlot = m;
      return m;
    }
  }
}

bool blank_prefix(const FixedText<16>& name) { return name.sub(0, 4) == "    "; }

void copy_comment(const CommentPool& pool, int32_t index, MagnitudeInfo& info) {
  const std::string_view text = pool.text(index);
  const int32_t length = static_cast<int32_t>(text.size());
  info.commentLength = (length + 3) / 4;
  // The last word the comment uses is blanked, then the text copied over it.
  if (info.commentLength > 0) {
    const auto last_word = info.comment.chars.begin() + (info.commentLength - 1) * 4;
    std::fill(last_word, last_word + 4, ' ');
  }
  std::copy(text.begin(), text.end(), info.comment.chars.begin());
}

}  // namespace

void lookupMagnitude(MagnitudeCatalogue& catalogue, int32_t ncat, LookupForm form,
                     MagnitudeInfo& info) {
  info.infoLevel = 1;
  const int32_t slot = find_slot(catalogue, ncat);
  if (slot == 0) {
    info.magnitude = kUnknownMagnitude;
    info.flag = ' ';
    info.crossSection.clear();
    if (!blank_prefix(info.name)) info.infoLevel = 2;
    return;
  }
  const MagnitudeEntry& entry = catalogue.table[slot];
  info.flag = entry.flag;
  if (form == LookupForm::FlagOnly) return;

  if (form == LookupForm::Full) {
    if (!blank_prefix(entry.name)) info.name = entry.name;
    if (blank_prefix(info.name)) std::copy_n("NONE", 4, info.name.chars.begin());
    info.detail = entry.detail;
    info.infoLevel = 3;
  }
  info.magnitude = entry.magnitude == 0.0f ? kUnknownMagnitude : entry.magnitude;
  info.crossSection = entry.crossSection;
  if (form == LookupForm::Brief) return;

  if (info.magnitude != kUnknownMagnitude) info.infoLevel = 5;
  if (entry.commentIndex != 0) {
    copy_comment(catalogue.commentPool, entry.commentIndex, info);
    info.infoLevel = 7;
  }
  if (entry.sizeIndex != 0) {
    const SizeTriple& sizes = catalogue.sizeTriples[entry.sizeIndex];
    info.sizes = sizes;
    for (std::size_t i = 1; i < 3; ++i) {
      if (info.sizes[i].view() == kZeroSize) info.sizes[i].clear();
    }
    ++info.infoLevel;
  }
}

}  // namespace vespera
