// The form of an element file, told by its content, never by its name: the
// two-line layout, or an orbit mean-element message (OMM) written as CSV,
// XML or JSON.
#pragma once

#include <cstddef>
#include <string_view>

namespace vespera {

enum class ElementFileForm { TwoLine, OmmCsv, OmmXml, OmmJson };

// byte_order_mark_size: the size of the UTF-8 byte-order mark that starts
// `text`, 0 when it does not start with one.
inline std::size_t byte_order_mark_size(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

// How many bytes of a file's start element_file_form needs at most.
inline constexpr std::size_t kElementFileFormHead = 4096;

// element_file_form: the form of a file that starts with `head` (its first
// bytes, a byte-order mark allowed):
// - XML whose first element is <ndm> or <omm>;
// - JSON: an array whose first value is an object (or that is empty), or a
//   single object;
// - CSV whose first line names at least two OMM keywords, separated by commas;
// - anything else holds two-line sets.
ElementFileForm element_file_form(std::string_view head);

}  // namespace vespera
