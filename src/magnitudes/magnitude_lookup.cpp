// lookupMagnitude: finds a catalogue number in the magnitude catalogue and
// gives what the catalogue knows of it in flag-only, brief or full form.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "magnitudes/magnitude_catalogue.h"
#include "magnitudes/magnitude_table.h"

namespace vespera {
namespace {

// A second or third size of " 0.0" means "no such dimension".
constexpr std::string_view kZeroSize = " 0.0";

// Binary search for `ncat` in the table's strictly ascending slots. Returns
// the slot, or 0 when the number is not in the table.
int32_t find_slot(const MagnitudeTable& table, int32_t ncat) {
  if (table.count <= 0) return 0;
  int32_t lo = 1;
  int32_t hi = table.count;
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

MagnitudeInfo lookupMagnitude(const MagnitudeCatalogue& catalogue, int32_t ncat, LookupForm form,
                              const FixedText<16>& callerName) {
  MagnitudeInfo info;
  info.name = callerName;
  const int32_t slot = find_slot(catalogue.table, ncat);
  if (slot == 0) {
    if (!blank_prefix(info.name)) info.infoLevel = 2;
    return info;
  }
  const MagnitudeEntry& entry = catalogue.table[slot];
  info.flag = entry.flag;
  if (form == LookupForm::FlagOnly) return info;

  if (form == LookupForm::Full) {
    if (!blank_prefix(entry.name)) info.name = entry.name;
    if (blank_prefix(info.name)) std::copy_n("NONE", 4, info.name.chars.begin());
    info.detail = entry.detail;
    info.infoLevel = 3;
  }
  info.magnitude = entry.magnitude == 0.0f ? kUnknownMagnitude : entry.magnitude;
  info.crossSection = entry.crossSection;
  if (form == LookupForm::Brief) return info;

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
  return info;
}

}  // namespace vespera
