// Formatted records: the Fortran-style edit descriptors in which every console
// message and every report line of the system is written.
//
// A format is a parenthesised, comma-separated list such as
//   "(i5,' predictions written to file ',a)"
// compiled once into a Format and then written with a list of items to a
// stream or to a text buffer. Descriptors (letter case ignored):
//   Iw        integer, right-justified in w columns, minus sign for negatives
//   Fw.d      real rounded to d decimals; the zero before the point is dropped
//             only when that alone makes the value fit; a negative value that
//             rounds to zero has no minus sign; Fw.0 ends with the point
//   Lw        logical, T or F right-justified in w columns
//   Aw, A     text: the first w characters (right-justified when the item is
//             shorter), or the whole item at its declared length
//   nX        n blank columns; blanks from X at the end of a record are not written
//   /         ends the record; a format that begins with "(/," writes an empty line first
//   'text'    literal text ('' inside stands for one apostrophe)
//   r<desc>   repeat count: 2i3 is i3,i3
// A value that does not fit its width is written as w asterisks. Writing stops
// at the first descriptor that needs an item when the items are exhausted.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vespera {

// One item of an output list: an integer, a real, a logical or a text whose
// length is its declared length (trailing blanks included).
class FormatItem {
 public:
  enum class Kind { Integer, Real, Logical, Text };

  FormatItem(int32_t value) : kind_(Kind::Integer), integer_(value) {}  // NOLINT
  FormatItem(int16_t value) : kind_(Kind::Integer), integer_(value) {}  // NOLINT
  FormatItem(float value) : kind_(Kind::Real), real_(value) {}          // NOLINT
  FormatItem(double value) : kind_(Kind::Real), real_(value) {}         // NOLINT
  FormatItem(std::string_view text) : kind_(Kind::Text), text_(text) {}  // NOLINT
  FormatItem(const char* text) : kind_(Kind::Text), text_(text) {}      // NOLINT
  FormatItem(const std::string& text) : kind_(Kind::Text), text_(text) {}  // NOLINT
  static FormatItem logical(bool value) {
    FormatItem item(int32_t{0});
    item.kind_ = Kind::Logical;
    item.logical_ = value;
    return item;
  }

  Kind kind() const { return kind_; }
  int32_t integer() const { return integer_; }
  double real() const { return real_; }
  bool logical_value() const { return logical_; }
  std::string_view text() const { return text_; }

 private:
  Kind kind_;
  int32_t integer_ = 0;
  double real_ = 0.0;
  bool logical_ = false;
  std::string_view text_;
};

using FormatItems = std::span<const FormatItem>;

// A compiled format. Construction parses the text once; writing is then cheap.
// A malformed format text throws std::invalid_argument (formats are the
// program's own constants, so this is a programming error).
class Format {
 public:
  explicit Format(std::string_view text);

  // Appends the records to `out`, each ended by '\n'.
  void append(std::string& out, FormatItems items) const;
  void append(std::string& out, std::initializer_list<FormatItem> items) const {
    append(out, FormatItems(items.begin(), items.size()));
  }
  // Writes the records to a stream.
  void write(std::FILE* stream, FormatItems items) const;
  void write(std::FILE* stream, std::initializer_list<FormatItem> items) const {
    write(stream, FormatItems(items.begin(), items.size()));
  }
  // The first record alone, without a line end: an internal write into a
  // short text buffer, e.g. "(I4)" into four characters.
  std::string record(FormatItems items) const;
  std::string record(std::initializer_list<FormatItem> items) const {
    return record(FormatItems(items.begin(), items.size()));
  }

  struct Descriptor;  // parsed edit descriptor (defined in the implementation)

 private:
  std::vector<Descriptor> descriptors_;
};

// Convenience for messages written rarely: compiles the format and writes it.
void write_formatted(std::FILE* stream, std::string_view format,
                     std::initializer_list<FormatItem> items = {});

}  // namespace vespera
