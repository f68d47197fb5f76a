// Where a text held in memory stops being well formed at the level of its
// bytes: the first byte that is not UTF-8, a string in quotes that never
// ends. The JSON reader reads a document up to the line of such a fault.
#pragma once

#include <cstddef>
#include <string_view>

namespace vespera {

// first_invalid_utf8: the offset of the first byte that does not belong to
// a well-formed UTF-8 sequence (overlong forms, surrogates and code points
// above U+10FFFF included); the text's size when there is none.
std::size_t first_invalid_utf8(std::string_view text);

// unclosed_string_start: the offset of the quote that opens the first JSON
// string left open at the end of its line (a string holds no line end; a
// backslash escapes the character after it); the text's size when every
// string is closed.
std::size_t unclosed_string_start(std::string_view text);

// line_start: the offset of the first byte of the line that holds `offset`.
std::size_t line_start(std::string_view text, std::size_t offset);

}  // namespace vespera
