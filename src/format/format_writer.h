// Formatted records: the Fortran-style edit descriptors in which every console
// message and every report line of the system is written.
//
// A format is a parenthesised, comma-separated list such as
//   "(i5,' predictions written to file ',a)"
// compiled once into a Format and then written with a list of items to a
// stream or to a text buffer. Descriptors (letter case and blanks outside
// literals ignored):
//   Iw        integer, right-justified in w columns, minus sign for negatives
//   Fw.d      real rounded to d decimals; the zero before the point is dropped
//             only when that alone makes the value fit; a negative value that
//             rounds to zero has no minus sign; Fw.0 ends with the point
//   Lw        logical, T or F right-justified in w columns
//   Aw, A     text: the first w characters (right-justified when the item is
//             shorter), or the whole item at its declared length
//   nX        n blank columns; blanks from X at the end of a record are not written
//   /         ends the record; a format that begins with "(/," writes an empty
//             line first; commas around a slash may be left out
//   :         ends the writing here when the items are exhausted
//   'text'    literal text ('' inside stands for one apostrophe)
//   r<desc>   repeat count: 2i3 is i3,i3; r/ writes r record ends
//   r(...)    a repeated group
// A value that does not fit its width, and a real that is not finite, is
// written as w asterisks. Writing stops at the first descriptor that needs an
// item when the items are exhausted (literals before it are written). Items
// left over when the format ends start a new record and reuse the format from
// the last top-level group, or from its start when there is none.
//
// Writing an item of the wrong kind for its descriptor (a text under I, an
// integer under F, ...) throws std::invalid_argument: a programming error. So
// do items left over when the part of the format that would take them up
// again has no descriptor for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vocabulary/fixed_text.h"

namespace vespera {

// One item of an output list: an integer, a real, a logical or a text whose
// length is its declared length (trailing blanks included). A text item only
// refers to its characters: they must outlive the item (a single char is
// held by the item itself).
class FormatItem {
 public:
  enum class Kind : uint8_t { Integer, Real, Logical, Text };

  FormatItem(int32_t value) : kind_(Kind::Integer), integer_(value) {}  // NOLINT
  FormatItem(int16_t value) : kind_(Kind::Integer), integer_(value) {}  // NOLINT
  FormatItem(float value) : kind_(Kind::Real), real_(value) {}          // NOLINT
  // Reals are single-precision items: a double would be edited unrounded.
  FormatItem(double) = delete;
  FormatItem(std::string_view text) : kind_(Kind::Text), text_{text.data(), text.size()} {}  // NOLINT
  FormatItem(const char* text) : FormatItem(std::string_view(text)) {}  // NOLINT
  FormatItem(const std::string& text) : FormatItem(std::string_view(text)) {}  // NOLINT
  // A blank-padded field at its full length.
  template <std::size_t N>
  FormatItem(const FixedText<N>& text) : FormatItem(text.view()) {}  // NOLINT
  // A single character is a text of length 1 (a flag letter, a column mark).
  FormatItem(char c) : kind_(Kind::Text), own_char_(true), char_(c) {}  // NOLINT
  // A bool would silently become an integer: use FormatItem::logical.
  FormatItem(bool) = delete;

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
  std::string_view text() const {
    return own_char_ ? std::string_view(&char_, 1) : std::string_view(text_.data, text_.size);
  }

 private:
  struct TextRef {
    const char* data;
    std::size_t size;
  };
  Kind kind_;
  bool own_char_ = false;
  // The value of the item's kind.
  union {
    int32_t integer_;
    double real_;
    bool logical_;
    char char_;
    TextRef text_;
  };
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
  // The first record written into a fixed field, blank-padded or cut to its
  // length: "(I4)" into a 4-character text.
  template <std::size_t N>
  void record(FixedText<N>& field, std::initializer_list<FormatItem> items) const {
    char buffer[N];
    field.assign(std::string_view(buffer, record(buffer, N, items)));
  }
  // The first characters of the first record, at most `size`, written into
  // `buffer`; returns how many were written.
  std::size_t record(char* buffer, std::size_t size, FormatItems items) const;
  std::size_t record(char* buffer, std::size_t size, std::initializer_list<FormatItem> items) const {
    return record(buffer, size, FormatItems(items.begin(), items.size()));
  }

  // The format text as given.
  const std::string& text() const { return text_; }

  // One parsed edit descriptor; repeat counts and groups are expanded.
  struct Descriptor {
    enum class Kind : uint8_t {
      Integer,    // Iw
      Real,       // Fw.d
      Logical,    // Lw
      Text,       // Aw
      WholeText,  // A
      Skip,       // nX (width = n)
      Literal,    // 'text'
      RecordEnd,  // /
      Colon,      // :
    };
    Kind kind;
    int width = 0;
    int decimals = 0;
    std::string literal;
  };
  // The descriptors in the order they are written, repeat counts and groups
  // expanded: what a reader of the records needs to find each item's columns.
  const std::vector<Descriptor>& descriptors() const { return descriptors_; }

 private:
  // One step of writing: a descriptor with the blank columns of the X
  // descriptors before it folded in. Blanks from X at the end of a record
  // are thus never written; a Skip step stands only where the format is
  // taken up again, for the blanks before that point.
  struct Step {
    Descriptor::Kind kind;
    FormatItem::Kind item_kind;  // of the item it takes, if any
    int width = 0;
    int decimals = 0;
    std::size_t blanks_before = 0;  // X widths summed: may exceed an int
    std::size_t literal_start = 0;  // a literal's characters in literals_
    std::size_t literal_size = 0;
  };
  // One pass over the steps, from `first_step` to the end of the format: the
  // number of items a whole pass takes, the most characters it writes
  // besides the texts under A without a width (line end included), and the
  // items those take, counted from the first item of the pass.
  struct Pass {
    std::size_t first_step = 0;
    std::size_t items = 0;
    std::size_t bound = 0;
    std::vector<std::size_t> whole_text_items;
  };
  // How a pass ended and where: `end` is the end of what it wrote (blanks
  // after the last character written are not part of a record, nor is the
  // line end of its last record), `next` the first item it did not take.
  enum class PassEnd : uint8_t {
    Stopped,    // items exhausted (at a descriptor that takes one, or at a
                // colon), or a slash when only the first record is wanted
    FormatEnd,  // the end of the format; items may be left
    WrongItem,  // `next` is not of the kind that `step` writes
  };
  struct PassResult {
    char* end;
    const FormatItem* next;
    PassEnd how;
    const Step* step;
  };

  void compile(const std::vector<Descriptor>& descriptors, std::size_t reversion);
  Pass plan_pass(std::size_t first_step) const;
  // The most characters that `pass` writes for the items from `item` on.
  std::size_t pass_bound(const Pass& pass, const FormatItem* item, const FormatItem* items_end) const;
  // The one interpreter of the steps: writes the records of `pass` for the
  // items from `item` on, in one piece at `start`, which holds
  // pass_bound(...) blanks. With `first_record_only` a slash ends it.
  PassResult write_pass(const Pass& pass, char* start, const FormatItem* item,
                        const FormatItem* items_end, bool first_record_only) const;
  // Throws when the pass stopped at an item of the wrong kind.
  void check_item(const PassResult& result) const;
  // The same for the first record alone, and throws when items are left at
  // the end of a format that has no descriptor to take them.
  void check_first_record(const PassResult& result, const FormatItem* items_end) const;

  std::string text_;
  std::vector<Descriptor> descriptors_;  // as parsed, for readers of the records
  std::vector<Step> steps_;
  std::string literals_;
  Pass whole_;     // the format from its start
  Pass reverted_;  // from where leftover items take the format up again
};

// Convenience for messages written rarely: compiles the format and writes it.
void write_formatted(std::FILE* stream, std::string_view format,
                     std::initializer_list<FormatItem> items = {});

}  // namespace vespera
