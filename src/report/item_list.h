// A short list of output items built field by field on the stack, for lines
// whose items depend on what the catalogue knows of a satellite.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "format/format_writer.h"

namespace vespera {

template <std::size_t Capacity>
class ItemList {
 public:
  ItemList() : items_(placeholders(std::make_index_sequence<Capacity>())) {}

  // Adds an item; the caller never adds more than Capacity.
  void add(const FormatItem& item) { items_[count_++] = item; }
  std::size_t size() const { return count_; }
  FormatItems items() const { return FormatItems(items_.data(), count_); }

 private:
  template <std::size_t... I>
  static std::array<FormatItem, Capacity> placeholders(std::index_sequence<I...>) {
    return {{(static_cast<void>(I), FormatItem(0))...}};
  }

  std::array<FormatItem, Capacity> items_;
  std::size_t count_ = 0;
};

}  // namespace vespera
