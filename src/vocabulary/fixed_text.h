// Fixed-length, blank-padded character fields, as the records of the system
// hold them (names of 16 characters, file names of 40, zone labels of 4).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vespera {

template <std::size_t N>
struct FixedText {
  std::array<char, N> chars;

  FixedText() { chars.fill(' '); }
  // The text blank-padded or cut to N characters.
  FixedText(std::string_view text) { assign(text); }  // NOLINT(implicit)

  void assign(std::string_view text) {
    const std::size_t n = std::min(text.size(), N);
    std::copy_n(text.data(), n, chars.begin());
    std::fill(chars.begin() + n, chars.end(), ' ');
  }
  void clear() { chars.fill(' '); }

  static constexpr std::size_t size() { return N; }
  char& operator[](std::size_t i) { return chars[i]; }
  char operator[](std::size_t i) const { return chars[i]; }

  // The whole field, trailing blanks included.
  std::string_view view() const { return std::string_view(chars.data(), N); }
  operator std::string_view() const { return view(); }  // NOLINT(implicit)
  std::string str() const { return std::string(view()); }
  // The field without its trailing blanks.
  std::string_view trimmed() const {
    std::size_t n = N;
    while (n > 0 && chars[n - 1] == ' ') --n;
    return std::string_view(chars.data(), n);
  }
  // Characters [first, first + count) of the field (0-based).
  std::string_view sub(std::size_t first, std::size_t count) const {
    return view().substr(first, count);
  }
  bool blank() const {
    return std::all_of(chars.begin(), chars.end(), [](char c) { return c == ' '; });
  }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.chars == b.chars; }
};

}  // namespace vespera
