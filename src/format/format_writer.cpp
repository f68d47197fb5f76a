#include "format/format_writer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "format/edit_fields.h"

namespace vespera {

namespace {

using Descriptor = Format::Descriptor;
using Kind = Format::Descriptor::Kind;

// Largest width or repeat count accepted; formats are the program's own
// constants and never come near it.
constexpr int kMaxCount = 100000;
// Largest number of descriptors after repeat counts are expanded.
constexpr std::size_t kMaxDescriptors = 100000;

Descriptor descriptor(Kind kind, int width = 0, int decimals = 0, std::string literal = {}) {
  return Descriptor{kind, width, decimals, std::move(literal)};
}

// Parses a format text into its flat list of descriptors.
class FormatParser {
 public:
  explicit FormatParser(std::string_view text) : text_(text) {}

  void parse(std::vector<Descriptor>& out, std::size_t& reversion) {
    skip_blanks();
    if (!take('(')) fail("it must begin with '('");
    std::size_t last_group = 0;
    bool has_group = false;
    parse_list(out, 0, last_group, has_group);
    skip_blanks();
    if (pos_ != text_.size()) fail("text after the closing ')'");
    reversion = has_group ? last_group : 0;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw std::invalid_argument("malformed format \"" + std::string(text_) + "\" at column " +
                                std::to_string(pos_ + 1) + ": " + why);
  }

  void skip_blanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool at_end() {
    skip_blanks();
    return pos_ >= text_.size();
  }
  char peek() {
    skip_blanks();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  static char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
  static bool is_digit(char c) { return c >= '0' && c <= '9'; }
  bool take(char c) {
    if (peek() == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // An unsigned number (blanks between digits ignored), or -1 when none stands here.
  int number() {
    if (!is_digit(peek())) return -1;
    int value = 0;
    while (is_digit(peek())) {
      value = value * 10 + (text_[pos_++] - '0');
      if (value > kMaxCount) fail("number too large");
    }
    return value;
  }
  int positive_width() {
    const int w = number();
    if (w <= 0) fail("a positive width is required");
    return w;
  }

  void check_room(const std::vector<Descriptor>& out, std::size_t more) const {
    if (more > kMaxDescriptors - out.size()) fail("too many descriptors after repetition");
  }

  // The list inside a pair of parentheses; the '(' is already taken.
  void parse_list(std::vector<Descriptor>& out, int depth, std::size_t& last_group, bool& has_group) {
    bool separated = true;    // an element may stand here
    bool after_comma = false;  // a comma was just taken: an element must follow
    bool empty = true;
    for (;;) {
      if (at_end()) fail("missing ')'");
      const char c = peek();
      if (c == ')') {
        if (after_comma) fail("')' after ','");
        ++pos_;
        return;
      }
      if (c == ',') {
        if (empty || after_comma) fail("misplaced ','");
        ++pos_;
        separated = true;
        after_comma = true;
        continue;
      }
      const std::size_t start = pos_;
      const int count = number();
      // A slash or a colon needs no commas around it; any other element must
      // stand after one (or first in the list).
      const bool slash_or_colon = parse_slash_or_colon(out, count);
      if (!slash_or_colon) {
        if (!separated) {
          pos_ = start;
          fail("',' missing");
        }
        parse_element(out, depth, count, last_group, has_group);
      }
      separated = slash_or_colon;
      after_comma = false;
      empty = false;
    }
  }

  // "r/" (r record ends) or ":", with its count `count` already read (-1
  // when none); false when neither stands here.
  bool parse_slash_or_colon(std::vector<Descriptor>& out, int count) {
    const char d = peek();
    if (d == '/') {
      ++pos_;
      if (count == 0) fail("zero repeat count");
      const int repeat = std::max(count, 1);
      check_room(out, static_cast<std::size_t>(repeat));
      for (int i = 0; i < repeat; ++i) out.push_back(descriptor(Kind::RecordEnd));
      return true;
    }
    if (d == ':' && count < 0) {
      ++pos_;
      out.push_back(descriptor(Kind::Colon));
      return true;
    }
    return false;
  }

  // nX, a literal, a repeated group or a repeated data descriptor, with its
  // count `count` already read (-1 when none).
  void parse_element(std::vector<Descriptor>& out, int depth, int count, std::size_t& last_group,
                     bool& has_group) {
    const char d = lower(peek());
    if (d == 'x') {
      ++pos_;
      if (count == 0) fail("zero skip");
      out.push_back(descriptor(Kind::Skip, std::max(count, 1)));
      return;
    }
    if (d == '\'') {
      if (count >= 0) fail("a literal cannot be repeated");
      ++pos_;
      out.push_back(descriptor(Kind::Literal, 0, 0, literal()));
      return;
    }
    if (count == 0) fail("zero repeat count");
    const std::size_t repeat = static_cast<std::size_t>(std::max(count, 1));
    std::vector<Descriptor> repeated;
    if (d == '(') {
      ++pos_;
      if (depth == 0) {
        last_group = out.size();
        has_group = true;
      }
      std::size_t inner_group = 0;
      bool inner_has_group = false;
      parse_list(repeated, depth + 1, inner_group, inner_has_group);
    } else {
      repeated.push_back(data_descriptor());
    }
    check_room(out, repeated.size() * repeat);
    for (std::size_t i = 0; i < repeat; ++i) out.insert(out.end(), repeated.begin(), repeated.end());
  }

  // The text of an apostrophe literal; the opening apostrophe is taken.
  std::string literal() {
    std::string text;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated literal");
      const char c = text_[pos_++];
      if (c == '\'') {
        if (pos_ < text_.size() && text_[pos_] == '\'') {
          text.push_back('\'');
          ++pos_;
          continue;
        }
        return text;
      }
      text.push_back(c);
    }
  }

  // Iw, Fw.d, Lw, Aw or A; the letter is at the current position.
  Descriptor data_descriptor() {
    const char letter = lower(peek());
    ++pos_;
    switch (letter) {
      case 'i': {
        const int w = positive_width();
        if (peek() == '.') fail("Iw.m is not supported");
        return descriptor(Kind::Integer, w);
      }
      case 'f': {
        const int w = positive_width();
        if (!take('.')) fail("Fw.d needs its decimals");
        const int d = number();
        if (d < 0) fail("Fw.d needs its decimals");
        return descriptor(Kind::Real, w, d);
      }
      case 'l':
        return descriptor(Kind::Logical, positive_width());
      case 'a': {
        if (!is_digit(peek())) return descriptor(Kind::WholeText);
        return descriptor(Kind::Text, positive_width());
      }
      default:
        --pos_;
        fail("unknown or unsupported edit descriptor");
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

const char* kind_name(FormatItem::Kind kind) {
  switch (kind) {
    case FormatItem::Kind::Integer:
      return "an integer";
    case FormatItem::Kind::Real:
      return "a real";
    case FormatItem::Kind::Logical:
      return "a logical";
    case FormatItem::Kind::Text:
      return "a text";
  }
  return "an item";
}

// The kind of item that a descriptor taking one writes.
FormatItem::Kind item_kind_of(Kind kind) {
  switch (kind) {
    case Kind::Integer:
      return FormatItem::Kind::Integer;
    case Kind::Real:
      return FormatItem::Kind::Real;
    case Kind::Logical:
      return FormatItem::Kind::Logical;
    default:
      return FormatItem::Kind::Text;
  }
}

const char* descriptor_letter(Kind kind) {
  switch (kind) {
    case Kind::Integer:
      return "I";
    case Kind::Real:
      return "F";
    case Kind::Logical:
      return "L";
    default:
      return "A";
  }
}

[[noreturn]] void wrong_item(const std::string& format, const FormatItem& item, Kind descriptor) {
  throw std::invalid_argument(std::string(kind_name(item.kind())) + " item cannot be written under " +
                              descriptor_letter(descriptor) + " in format \"" + format + "\"");
}

}  // namespace

Format::Format(std::string_view text) : text_(text) {
  FormatParser(text).parse(descriptors_, reversion_);
  pass_bound_ = 1;  // the line end of the last record
  for (const Descriptor& d : descriptors_) {
    switch (d.kind) {
      case Kind::Integer:
      case Kind::Real:
      case Kind::Logical:
      case Kind::Text:
        pass_bound_ += static_cast<std::size_t>(d.width);
        ++pass_items_;
        break;
      case Kind::WholeText:
        whole_text_items_.push_back(pass_items_);
        ++pass_items_;
        break;
      case Kind::Skip:
        pass_bound_ += static_cast<std::size_t>(d.width);
        break;
      case Kind::Literal:
        pass_bound_ += d.literal.size();
        break;
      case Kind::RecordEnd:
        pass_bound_ += 1;
        break;
      case Kind::Colon:
        break;
    }
  }
  int blanks = 0;
  for (const Descriptor& d : descriptors_) {
    if (d.kind == Kind::Skip) {
      blanks += d.width;
      continue;
    }
    steps_.push_back(Step{d.kind, item_kind_of(d.kind), d.width, d.decimals, blanks,
                          literals_.size(), d.literal.size()});
    literals_.append(d.literal);
    blanks = 0;
  }
}

// Collects the characters of the records written by the general path (items
// left over, the format taken up again) in a buffer on the stack and hands
// them to the output text in blocks, rather than one append per field.
class Format::RecordSink {
 public:
  static constexpr std::size_t kSize = 256;

  explicit RecordSink(std::string& out) : out_(out) {}
  RecordSink(const RecordSink&) = delete;
  RecordSink& operator=(const RecordSink&) = delete;
  // What was written reaches the text also when an item of the wrong kind
  // ends the writing with an exception.
  ~RecordSink() { flush(); }

  // Room for `n` characters at the returned position; null when `n`
  // exceeds the buffer (the caller appends directly).
  char* room(std::size_t n) {
    if (n > static_cast<std::size_t>(buffer_ + kSize - end_)) {
      flush();
      if (n > kSize) return nullptr;
    }
    return end_;
  }

  void put(char c) {
    char* p = room(1);
    *p = c;
    end_ = p + 1;
  }
  void put(std::string_view text) {
    if (char* p = room(text.size())) {
      std::memcpy(p, text.data(), text.size());
      end_ = p + text.size();
    } else {
      out_.append(text);
    }
  }
  void blanks(std::size_t n) {
    if (char* p = room(n)) {
      std::memset(p, ' ', n);
      end_ = p + n;
    } else {
      out_.append(n, ' ');
    }
  }

  // A field of `width` blank columns on which `put_field(field)` writes.
  template <class Put>
  void field(int width, Put&& put_field) {
    const std::size_t n = static_cast<std::size_t>(width);
    if (char* p = room(n)) {
      std::memset(p, ' ', n);
      put_field(p);
      end_ = p + n;
    } else {
      const std::size_t start = out_.size();
      out_.append(n, ' ');
      put_field(out_.data() + start);
    }
  }

  void flush() {
    out_.append(buffer_, static_cast<std::size_t>(end_ - buffer_));
    end_ = buffer_;
  }

 private:
  std::string& out_;
  char buffer_[kSize];
  char* end_ = buffer_;
};

std::size_t Format::one_pass_bound(FormatItems items) const {
  if (items.size() > pass_items_) return 0;
  std::size_t bound = pass_bound_;
  for (const std::size_t k : whole_text_items_) {
    if (k >= items.size()) break;
    if (items[k].kind() == FormatItem::Kind::Text) bound += items[k].text().size();
  }
  return bound;
}

char* Format::run_one_pass(char* start, FormatItems items, bool first_record_only,
                           const FormatItem*& wrong, Descriptor::Kind& wrong_descriptor) const {
  // The blanks of X descriptors and of justification are there beforehand;
  // blanks after the last character written are not part of the record.
  wrong = nullptr;
  char* p = start;
  char* written = start;
  const FormatItem* item = items.data();
  const FormatItem* const items_end = item + items.size();
  // Whether an item of the right kind is left for the data descriptor `d`.
  auto item_for = [&](const Step& d) {
    if (item == items_end) return false;
    if (item->kind() != d.item_kind) {
      wrong = item;
      wrong_descriptor = d.kind;
      return false;
    }
    return true;
  };
  for (const Step& d : steps_) {
    p += d.blanks_before;
    switch (d.kind) {
      case Kind::Integer:
        if (!item_for(d)) goto end_of_writing;
        p = put_integer_onto_blanks(p, item->integer(), d.width);
        break;
      case Kind::Real:
        if (!item_for(d)) goto end_of_writing;
        p = put_real_onto_blanks(p, item->real(), d.width, d.decimals);
        break;
      case Kind::Text:
        if (!item_for(d)) goto end_of_writing;
        p = put_text_onto_blanks(p, item->text(), d.width);
        break;
      case Kind::WholeText: {
        if (!item_for(d)) goto end_of_writing;
        const std::string_view text = item->text();
        copy_text(p, text.data(), text.size());
        p += text.size();
        break;
      }
      case Kind::Logical:
        if (!item_for(d)) goto end_of_writing;
        p = put_logical_onto_blanks(p, item->logical_value(), d.width);
        break;
      case Kind::Literal:
        copy_text(p, literals_.data() + d.literal_start, d.literal_size);
        p += d.literal_size;
        written = p;
        continue;
      case Kind::RecordEnd:
        if (first_record_only) return written;
        p = written;
        *p++ = '\n';
        written = p;
        continue;
      case Kind::Colon:
        if (item == items_end) goto end_of_writing;
        continue;
      case Kind::Skip:
        continue;
    }
    ++item;
    written = p;
  }
end_of_writing:
  p = written;
  if (!first_record_only && wrong == nullptr) *p++ = '\n';
  return p;
}

void Format::run(RecordSink& sink, FormatItems items, bool first_record_only) const {
  // Ends a record; false when the writing stops there.
  auto end_record = [&sink, first_record_only] {
    if (first_record_only) return false;
    sink.put('\n');
    return true;
  };
  std::size_t next = 0;     // next item to write
  std::size_t pending = 0;  // blank columns from X not yet written
  std::size_t i = 0;
  for (;;) {
    if (i == descriptors_.size()) {
      if (next == items.size()) break;
      // Items left over: a new record, and the format taken up again.
      if (pass_items_ == 0) {
        throw std::invalid_argument("format \"" + text_ + "\" has no descriptor for its items");
      }
      if (!end_record()) return;
      pending = 0;
      i = reversion_;
      continue;
    }
    const Descriptor& d = descriptors_[i++];
    switch (d.kind) {
      case Kind::Skip:
        pending += static_cast<std::size_t>(d.width);
        continue;
      case Kind::RecordEnd:
        if (!end_record()) return;
        pending = 0;
        continue;
      case Kind::Colon:
        if (next == items.size()) {
          end_record();
          return;
        }
        continue;
      case Kind::Literal:
        if (pending != 0) {
          sink.blanks(pending);
          pending = 0;
        }
        sink.put(d.literal);
        continue;
      default:
        break;
    }
    // A descriptor that takes an item.
    if (next == items.size()) break;
    if (pending != 0) {
      sink.blanks(pending);
      pending = 0;
    }
    const FormatItem& item = items[next++];
    if (item.kind() != item_kind_of(d.kind)) wrong_item(text_, item, d.kind);
    switch (d.kind) {
      case Kind::Integer:
        sink.field(d.width,
                   [&](char* field) { put_integer_onto_blanks(field, item.integer(), d.width); });
        break;
      case Kind::Real:
        sink.field(d.width, [&](char* field) {
          put_real_onto_blanks(field, item.real(), d.width, d.decimals);
        });
        break;
      case Kind::Logical:
        sink.field(d.width, [&](char* field) {
          put_logical_onto_blanks(field, item.logical_value(), d.width);
        });
        break;
      case Kind::Text:
        sink.field(d.width,
                   [&](char* field) { put_text_onto_blanks(field, item.text(), d.width); });
        break;
      case Kind::WholeText:
        sink.put(item.text());
        break;
      default:
        break;
    }
  }
  end_record();
}

void Format::append(std::string& out, FormatItems items) const {
  // The common case, items that one pass over the format takes: written in
  // place at the end of the text.
  if (const std::size_t bound = one_pass_bound(items); bound != 0) {
    const std::size_t start = out.size();
    out.resize(start + bound, ' ');
    const FormatItem* wrong;
    Kind wrong_descriptor;
    char* const end = run_one_pass(out.data() + start, items, false, wrong, wrong_descriptor);
    out.resize(static_cast<std::size_t>(end - out.data()));
    if (wrong != nullptr) wrong_item(text_, *wrong, wrong_descriptor);
    return;
  }
  RecordSink sink(out);
  run(sink, items, false);
}

void Format::write(std::FILE* stream, FormatItems items) const {
  std::string text;
  text.reserve(128);
  append(text, items);
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::string Format::record(FormatItems items) const {
  std::string out;
  if (const std::size_t bound = one_pass_bound(items); bound != 0) {
    out.resize(bound, ' ');
    const FormatItem* wrong;
    Kind wrong_descriptor;
    char* const end = run_one_pass(out.data(), items, true, wrong, wrong_descriptor);
    out.resize(static_cast<std::size_t>(end - out.data()));
    if (wrong != nullptr) wrong_item(text_, *wrong, wrong_descriptor);
    return out;
  }
  {
    RecordSink sink(out);
    run(sink, items, true);
  }
  return out;
}

std::size_t Format::record(char* buffer, std::size_t size, FormatItems items) const {
  // A short record (an internal write such as "(I4)") in a buffer on the stack.
  constexpr std::size_t kShortRecord = 64;
  if (const std::size_t bound = one_pass_bound(items); bound != 0 && bound <= kShortRecord) {
    char text[kShortRecord];
    std::memset(text, ' ', bound);
    const FormatItem* wrong;
    Kind wrong_descriptor;
    const char* const end = run_one_pass(text, items, true, wrong, wrong_descriptor);
    if (wrong != nullptr) wrong_item(text_, *wrong, wrong_descriptor);
    const std::size_t n = std::min(size, static_cast<std::size_t>(end - text));
    std::memcpy(buffer, text, n);
    return n;
  }
  const std::string text = record(items);
  const std::size_t n = std::min(size, text.size());
  std::memcpy(buffer, text.data(), n);
  return n;
}

void write_formatted(std::FILE* stream, std::string_view format, std::initializer_list<FormatItem> items) {
  Format(format).write(stream, items);
}

}  // namespace vespera
