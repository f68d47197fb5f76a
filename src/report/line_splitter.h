// Lines of a text that arrives in pieces (a file read a block at a time):
// lines end with LF, CR LF or a lone CR, and a line end may fall between two
// pieces. A line longer than kMaxLine characters is handed on cut to
// kMaxLine + 1 characters, so that memory never grows with a line's length.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vespera {

class LineSplitter {
 public:
  static constexpr std::size_t kMaxLine = 4096;

  // Hands every line that `piece` completes to take(std::string_view),
  // which returns false to stop; false when it stopped.
  template <class Take>
  bool feed(std::string_view piece, Take&& take);
  // The last line, when the text does not end with a line end.
  template <class Take>
  bool finish(Take&& take);

 private:
  void keep(std::string_view part) {
    if (partial_.size() <= kMaxLine) partial_.append(part.substr(0, kMaxLine + 1 - partial_.size()));
  }

  std::string partial_;       // the start of a line that the pieces so far have not ended
  bool has_partial_ = false;  // a line has started (it may be empty so far)
  bool after_cr_ = false;     // the last piece ended with CR: an LF first in the next one goes with it
};

template <class Take>
bool LineSplitter::feed(std::string_view piece, Take&& take) {
  std::size_t at = 0;
  if (after_cr_ && !piece.empty()) {
    after_cr_ = false;
    if (piece.front() == '\n') at = 1;
  }
  // Most texts end their lines with LF alone: then a line's end is found
  // by the library's search for one character.
  const bool lf_only = std::memchr(piece.data(), '\r', piece.size()) == nullptr;
  while (at < piece.size()) {
    std::size_t end = at;
    if (lf_only) {
      const void* lf = std::memchr(piece.data() + at, '\n', piece.size() - at);
      end = lf == nullptr ? piece.size() : static_cast<std::size_t>(static_cast<const char*>(lf) - piece.data());
    } else {
      while (end < piece.size() && piece[end] != '\n' && piece[end] != '\r') ++end;
    }
    if (end == piece.size()) {
      keep(piece.substr(at));
      has_partial_ = true;
      return true;
    }
    bool go_on;
    if (has_partial_) {
      keep(piece.substr(at, end - at));
      go_on = take(std::string_view(partial_));
      partial_.clear();
      has_partial_ = false;
    } else {
      go_on = take(piece.substr(at, std::min(end - at, kMaxLine + 1)));
    }
    if (!go_on) return false;
    at = end + 1;
    if (piece[end] == '\r') {
      if (at < piece.size()) {
        if (piece[at] == '\n') ++at;
      } else {
        after_cr_ = true;
      }
    }
  }
  return true;
}

template <class Take>
bool LineSplitter::finish(Take&& take) {
  after_cr_ = false;
  if (!has_partial_) return true;
  has_partial_ = false;
  const bool go_on = take(std::string_view(partial_));
  partial_.clear();
  return go_on;
}

}  // namespace vespera
