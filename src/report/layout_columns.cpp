#include "report/layout_columns.h"

#include <algorithm>
#include <stdexcept>

#include "report/catalogue_number.h"

namespace vespera {

namespace {

using Edit = Format::Descriptor::Kind;

// Largest count of digits read into a number: more than any field holds.
constexpr std::size_t kMostDigits = 15;

const LineLayout* inserted_layout(ReportField field, const InsertedTexts& texts) {
  switch (field) {
    case ReportField::TimText: return texts.tim;
    case ReportField::AngleText: return texts.angles;
    case ReportField::DistanceText: return texts.distance;
    default: return nullptr;
  }
}

std::string columns(std::size_t first, std::size_t width) {
  const std::string from = std::to_string(first + 1);
  return width <= 1 ? "column " + from : "columns " + from + "-" + std::to_string(first + width);
}

// The segments of one record: the blanks, literals and items it writes,
// `texts` giving the layouts of inserted texts (none inside those).
class SegmentBuilder {
 public:
  SegmentBuilder(const LineLayout& layout, const InsertedTexts* texts)
      : layout_(layout), texts_(texts) {}

  std::vector<LayoutSegment> build() {
    const Format format(layout_.format);
    for (const Format::Descriptor& d : format.descriptors()) {
      if (d.kind == Edit::RecordEnd) {
        if (item_ > 0) fail("items on more than one line");
        segments_.clear();
        column_ = 0;
      } else if (d.kind == Edit::Skip) {
        add_plain(LayoutSegment::Kind::Blank, static_cast<std::size_t>(d.width), {});
      } else if (d.kind == Edit::Literal) {
        add_plain(LayoutSegment::Kind::Literal, d.literal.size(), d.literal);
      } else if (d.kind != Edit::Colon) {
        if (item_ == layout_.items.size()) break;  // the writing stops here
        add_item(d);
      }
    }
    if (item_ < layout_.items.size()) fail("more items than the format takes in one pass");
    return std::move(segments_);
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw std::invalid_argument("layout \"" + std::string(layout_.format) + "\": " + why);
  }

  void add_plain(LayoutSegment::Kind kind, std::size_t width, const std::string& literal) {
    LayoutSegment s;
    s.kind = kind;
    s.item = item_;
    s.first = column_;
    s.width = width;
    s.literal = literal;
    segments_.push_back(std::move(s));
    column_ += width;
  }

  void add_item(const Format::Descriptor& d) {
    const ReportField field = layout_.items[item_];
    const LineLayout* inner = texts_ != nullptr ? inserted_layout(field, *texts_) : nullptr;
    if (inner != nullptr) {
      add_inserted(d, *inner);
    } else {
      if (d.kind == Edit::WholeText) fail("a text without a width and without a layout");
      LayoutSegment s;
      s.field = field;
      s.item = item_;
      s.word = word_of(layout_, item_);
      s.edit = d.kind;
      s.decimals = d.decimals;
      s.first = column_;
      s.width = static_cast<std::size_t>(d.width);
      segments_.push_back(s);
      column_ += s.width;
    }
    ++item_;
  }

  // An inserted text: its own layout's segments, right-justified in the
  // item's width (cut to it when longer), all belonging to this item.
  void add_inserted(const Format::Descriptor& d, const LineLayout& inner) {
    std::vector<LayoutSegment> parts = SegmentBuilder(inner, nullptr).build();
    const std::size_t length = parts.empty() ? 0 : parts.back().first + parts.back().width;
    const std::size_t width = d.kind == Edit::WholeText ? length : static_cast<std::size_t>(d.width);
    const std::size_t shift = width > length ? width - length : 0;
    if (shift > 0) add_plain(LayoutSegment::Kind::Blank, shift, {});
    const std::size_t start = column_;
    for (LayoutSegment& part : parts) {
      if (part.first >= width) break;
      part.width = std::min(part.width, width - part.first);
      part.first += start;
      part.item = item_;
      segments_.push_back(std::move(part));
    }
    column_ = start + (width - shift);
  }

  const LineLayout& layout_;
  const InsertedTexts* texts_;
  std::vector<LayoutSegment> segments_;
  std::size_t column_ = 0;
  std::size_t item_ = 0;
};

bool all_of(std::string_view text, char c) {
  for (const char x : text) {
    if (x != c) return false;
  }
  return true;
}

// Digits as a whole number; false when there are none, too many, or others.
inline bool read_digits(std::string_view digits, double& value) {
  if (digits.size() > kMostDigits) return false;
  int64_t v = 0;
  for (const char c : digits) {
    const auto d = static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
    if (d > 9) return false;
    v = v * 10 + static_cast<int64_t>(d);
  }
  value = static_cast<double>(v);
  return true;
}

// [-]digits, as Iw writes a whole number (no leading zero, no "-0").
inline bool read_whole(std::string_view s, double& value) {
  const bool negative = !s.empty() && s.front() == '-';
  const std::string_view digits(s.data() + (negative ? 1 : 0), s.size() - (negative ? 1 : 0));
  if (digits.empty() || (digits.size() > 1 && digits.front() == '0')) return false;
  if (!read_digits(digits, value) || (negative && value == 0.0)) return false;
  if (negative) value = -value;
  return true;
}

// [-][digits].d-digits, as Fw.d writes a real (a negative zero is never written).
inline bool read_decimal(std::string_view s, int decimals, double& value) {
  const bool negative = !s.empty() && s.front() == '-';
  if (negative) s.remove_prefix(1);
  std::size_t point = 0;
  while (point < s.size() && s[point] != '.') ++point;
  if (point == s.size() || s.size() - point - 1 != static_cast<std::size_t>(decimals)) return false;
  const std::string_view whole(s.data(), point);
  const std::string_view fraction(s.data() + point + 1, s.size() - point - 1);
  if (whole.empty() && fraction.empty()) return false;
  if (whole.size() > 1 && whole.front() == '0') return false;
  double w = 0.0, f = 0.0;
  if (!read_digits(whole, w) || !read_digits(fraction, f)) return false;
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  value = (w * scale + f) / scale;
  if (negative && value == 0.0) return false;
  if (negative) value = -value;
  return true;
}

// The value in the columns of an item (read_printed, inlined into the
// reading of a line).
inline PrintedValue read_columns(std::string_view text, Edit edit, int decimals) {
  PrintedValue v;
  v.text = text;
  if (edit == Edit::Text || edit == Edit::WholeText) {
    v.state = PrintedValue::State::Text;
    return v;
  }
  std::size_t first = 0;
  while (first < text.size() && text[first] == ' ') ++first;
  if (first == text.size()) {
    v.state = PrintedValue::State::Blank;
    return v;
  }
  if (first == 0 && text[0] == '*' && all_of(text, '*')) {
    v.state = PrintedValue::State::Asterisks;
    return v;
  }
  const std::string_view s(text.data() + first, text.size() - first);
  bool ok = false;
  switch (edit) {
    case Edit::Integer:
      ok = read_whole(s, v.number);
      break;
    case Edit::Real:
      ok = read_decimal(s, decimals, v.number);
      break;
    case Edit::Logical:
      ok = s.size() == 1 && (s == "T" || s == "F");
      v.number = s == "T" ? 1.0 : 0.0;
      break;
    default:
      break;
  }
  v.state = ok ? PrintedValue::State::Number : PrintedValue::State::Absent;
  return v;
}

// An item's columns: a catalogue number as read_catalogue_number reads it
// (blanks and asterisks as any number's), every other item by its edit
// descriptor.
inline PrintedValue read_item(std::string_view cols, const LayoutSegment& s) {
  // The layouts write a catalogue number as a text (Alpha-5 from 100000 on),
  // read as a number whatever the descriptor.
  const Edit edit = s.field == ReportField::Ncat ? Edit::Integer : s.edit;
  PrintedValue v = read_columns(cols, edit, s.decimals);
  if (s.field == ReportField::Ncat &&
      (v.state == PrintedValue::State::Number || v.state == PrintedValue::State::Absent)) {
    const std::optional<int32_t> ncat = read_catalogue_number(cols);
    v.state = ncat ? PrintedValue::State::Number : PrintedValue::State::Absent;
    v.number = ncat ? *ncat : 0.0;
  }
  return v;
}


}  // namespace

PrintedValue read_printed(std::string_view text, Edit edit, int decimals) { return read_columns(text, edit, decimals); }

PrintedValue LineReading::operator[](ReportField field) const {
  for (const Value& v : values) {
    if (v.field == field) return v.value;
  }
  return PrintedValue{};
}

std::string LineReading::text(ReportField field) const {
  std::string joined;
  for (const Value& v : values) {
    if (v.field == field) joined.append(v.value.text);
  }
  joined.erase(joined.find_last_not_of(' ') + 1);
  return joined;
}

LayoutReader::LayoutReader(const LineLayout& layout, const InsertedTexts& texts)
    : segments_(SegmentBuilder(layout, &texts).build()), items_(layout.items.size()) {
  for (const LayoutSegment& s : segments_) {
    if (s.kind != LayoutSegment::Kind::Item) continue;
    if (item_first_.size() <= s.item) item_first_.resize(s.item + 1, s.first);
    item_first_[s.item] = std::min(item_first_[s.item], s.first);
  }
}

std::string LayoutReader::columns_of(ReportField field) const {
  for (const LayoutSegment& s : segments_) {
    if (s.kind == LayoutSegment::Kind::Item && s.field == field) return columns(s.first, s.width);
  }
  return "no columns";
}

namespace {

// The columns of a segment that the line has (fewer at its end, none beyond).
std::string_view columns_in(std::string_view line, const LayoutSegment& s) {
  if (s.first >= line.size()) return {};
  return std::string_view(line.data() + s.first, std::min(s.width, line.size() - s.first));
}

}  // namespace

template <class Put>
bool LayoutReader::read_with(std::string_view line, std::size_t min_items, std::string& problem, std::size_t& items,
                             Put&& put) const {
  problem.clear();
  // The items that the line reaches; blanks trimmed from its end may have
  // taken the last ones away.
  const std::size_t present = static_cast<std::size_t>(
      std::lower_bound(item_first_.begin(), item_first_.end(), line.size()) - item_first_.begin());
  items = present;
  if (present < std::min(min_items, items_)) {
    for (const LayoutSegment& s : segments_) {
      if (s.kind == LayoutSegment::Kind::Item && s.item == present) {
        problem = "the " + std::string(field_name(s.field)) + " in " + columns(s.first, s.width) +
                      " (the line ends at column " + std::to_string(line.size()) + ")";
        break;
      }
    }
    return false;
  }
  std::size_t end = 0;  // where what the line has written ends
  for (const LayoutSegment& s : segments_) {
    const std::string_view cols = columns_in(line, s);
    if (s.kind == LayoutSegment::Kind::Blank) {
      if (!all_of(cols, ' ')) {
        problem = "blanks in " + columns(s.first, s.width);
        return false;
      }
      continue;
    }
    if (s.kind == LayoutSegment::Kind::Literal) {
      if (s.item > present) break;
      if (cols != s.literal) {
        problem = "\"" + s.literal + "\" in " + columns(s.first, s.width);
        return false;
      }
      end = s.first + s.width;
      continue;
    }
    if (s.item >= present) break;
    const PrintedValue v = read_item(cols, s);
    const bool numeric = v.state != PrintedValue::State::Text;
    const bool blank_allowed = s.field == ReportField::TimeError;
    if (numeric && (cols.size() < s.width || v.state == PrintedValue::State::Absent ||
                    (v.state == PrintedValue::State::Blank && !blank_allowed))) {
      problem = std::string(s.edit == Edit::Logical ? "T or F" : "a number") + " in " +
                    columns(s.first, s.width) + " (" + std::string(field_name(s.field)) + ")";
      return false;
    }
    put(s, v);
    end = s.first + s.width;
  }
  if (line.size() > end && !all_of(line.substr(end), ' ')) {
    problem = "nothing after column " + std::to_string(end);
    return false;
  }
  return true;
}

bool LayoutReader::read(std::string_view line, LineReading& out, std::size_t min_items) const {
  out.values.clear();
  return read_with(line, min_items, out.problem, out.items, [&out](const LayoutSegment& s, const PrintedValue& v) {
    out.values.push_back(LineReading::Value{s.field, s.word, v});
  });
}

bool LayoutReader::read_fields(std::string_view line, std::span<PrintedValue> by_field, std::string& problem,
                               std::size_t min_items) const {
  std::size_t items = 0;
  return read_with(line, min_items, problem, items, [by_field](const LayoutSegment& s, const PrintedValue& v) {
    const auto field = static_cast<std::size_t>(s.field);
    if (field < by_field.size() && s.word == 0) by_field[field] = v;
  });
}

}  // namespace vespera
