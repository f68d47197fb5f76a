// Reading a report line by its layout: the columns of every item are found by
// walking the compiled format of the layout that the writer writes the line
// with, so the reader follows any change of a format or of its items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/format_writer.h"
#include "report/report_layouts.h"

namespace vespera {

// A value as the report printed it in an item's columns.
struct PrintedValue {
  enum class State : uint8_t {
    Absent,     // the line has no such item
    Blank,      // the columns are blank (a small time error)
    Asterisks,  // the value did not fit its columns
    Number,
    Text,
  };
  State state = State::Absent;
  double number = 0.0;
  std::string_view text;  // the columns as printed (numbers and texts)

  bool has_number() const { return state == State::Number; }
};

// One piece of a line: the columns of an item, a literal text, or columns
// that a layout leaves blank.
struct LayoutSegment {
  enum class Kind : uint8_t { Item, Literal, Blank };
  Kind kind = Kind::Item;
  ReportField field = ReportField::Hour;
  std::size_t item = 0;  // items of the line before it (an inserted text's values share their item)
  std::size_t word = 0;  // items of the same field right before it
  Format::Descriptor::Kind edit = Format::Descriptor::Kind::Text;
  int decimals = 0;
  std::size_t first = 0;  // 0-based column
  std::size_t width = 0;
  std::string literal;
};

// The layouts of the texts that a prediction line inserts whole.
struct InsertedTexts {
  const LineLayout* tim = &layouts::kTimText;
  const LineLayout* angles = nullptr;
  const LineLayout* distance = nullptr;
};

// A line taken apart: the value of each item, in the layout's order.
struct LineReading {
  struct Value {
    ReportField field;
    std::size_t word;
    PrintedValue value;
  };
  std::vector<Value> values;
  std::size_t items = 0;  // the layout's items the line has
  std::string problem;    // why the line does not read, when it does not

  // The first value of a field (Absent when the line has none).
  PrintedValue operator[](ReportField field) const;
  // The columns of a field's words together, without trailing blanks.
  std::string text(ReportField field) const;
};

class LayoutReader {
 public:
  // The segments of the layout's last record (the lines that begin with "/"
  // write an empty line first). A layout that does not fit the reading (an
  // inserted text without its layout, items that would take the format up
  // again) throws std::invalid_argument: a programming error.
  explicit LayoutReader(const LineLayout& layout, const InsertedTexts& texts = {});

  // Reads a line that has at least `min_items` of the layout's items (all
  // of them by default). Items beyond the line's end are absent; blanks
  // trimmed from the end of a text item are taken as there. False, with
  // out.problem saying which columns hold what, when the line does not read.
  bool read(std::string_view line, LineReading& out, std::size_t min_items = SIZE_MAX) const;
  // The same reading with each value put at its field's place in `by_field`
  // (fields beyond its size, and a field's later words, are left out).
  bool read_fields(std::string_view line, std::span<PrintedValue> by_field, std::string& problem,
                   std::size_t min_items = SIZE_MAX) const;

  const std::vector<LayoutSegment>& segments() const { return segments_; }
  std::size_t items() const { return items_; }
  // The columns of the first segment of a field, "a-b" (1-based).
  std::string columns_of(ReportField field) const;

 private:
  // The reading itself: put(segment, value) for each value in turn.
  template <class Put>
  bool read_with(std::string_view line, std::size_t min_items, std::string& problem, std::size_t& items,
                 Put&& put) const;

  std::vector<LayoutSegment> segments_;
  std::size_t items_ = 0;
  std::vector<std::size_t> item_first_;  // the first column of each item, in the order of the line
};

// The value of a field's columns under an edit descriptor: a number only
// when written the way the format writes one (right-justified, no blanks
// inside, Fw.d with its d decimals); all asterisks, all blanks, or neither.
PrintedValue read_printed(std::string_view columns, Format::Descriptor::Kind edit, int decimals);

}  // namespace vespera
