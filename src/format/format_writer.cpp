#include "format/format_writer.h"

#include <algorithm>
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
      const char d = lower(peek());
      if (d == '/') {
        ++pos_;
        if (count == 0) fail("zero repeat count");
        check_room(out, static_cast<std::size_t>(std::max(count, 1)));
        for (int i = 0; i < std::max(count, 1); ++i) out.push_back(descriptor(Kind::RecordEnd));
      } else if (d == ':' && count < 0) {
        ++pos_;
        out.push_back(descriptor(Kind::Colon));
      } else {
        if (!separated) {
          pos_ = start;
          fail("',' missing");
        }
        if (d == 'x') {
          ++pos_;
          if (count == 0) fail("zero skip");
          out.push_back(descriptor(Kind::Skip, std::max(count, 1)));
        } else if (d == '\'') {
          if (count >= 0) fail("a literal cannot be repeated");
          ++pos_;
          out.push_back(descriptor(Kind::Literal, 0, 0, literal()));
        } else {
          if (count == 0) fail("zero repeat count");
          const int repeat = std::max(count, 1);
          if (d == '(') {
            ++pos_;
            if (depth == 0) {
              last_group = out.size();
              has_group = true;
            }
            std::vector<Descriptor> group;
            std::size_t inner_group = 0;
            bool inner_has_group = false;
            parse_list(group, depth + 1, inner_group, inner_has_group);
            check_room(out, group.size() * static_cast<std::size_t>(repeat));
            for (int i = 0; i < repeat; ++i) out.insert(out.end(), group.begin(), group.end());
          } else {
            const Descriptor edit = data_descriptor();
            check_room(out, static_cast<std::size_t>(repeat));
            for (int i = 0; i < repeat; ++i) out.push_back(edit);
          }
        }
        separated = false;
        empty = false;
        after_comma = false;
        continue;
      }
      // A slash or a colon: the commas around it are optional.
      separated = true;
      after_comma = false;
      empty = false;
    }
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

[[noreturn]] void wrong_item(const std::string& format, const FormatItem& item, const char* descriptor) {
  throw std::invalid_argument(std::string(kind_name(item.kind())) + " item cannot be written under " +
                              descriptor + " in format \"" + format + "\"");
}

}  // namespace

Format::Format(std::string_view text) : text_(text) {
  FormatParser(text).parse(descriptors_, reversion_);
  for (const Descriptor& d : descriptors_) {
    switch (d.kind) {
      case Kind::Integer:
      case Kind::Real:
      case Kind::Logical:
      case Kind::Text:
      case Kind::WholeText:
        has_data_ = true;
        break;
      default:
        break;
    }
  }
}

template <class EndRecord>
void Format::run(std::string& out, FormatItems items, EndRecord&& end_record) const {
  std::size_t next = 0;     // next item to write
  std::size_t pending = 0;  // blank columns from X not yet written
  std::size_t i = 0;
  for (;;) {
    if (i == descriptors_.size()) {
      if (next == items.size()) break;
      // Items left over: a new record, and the format taken up again.
      if (!has_data_) {
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
          out.append(pending, ' ');
          pending = 0;
        }
        out.append(d.literal);
        continue;
      default:
        break;
    }
    // A descriptor that takes an item.
    if (next == items.size()) break;
    if (pending != 0) {
      out.append(pending, ' ');
      pending = 0;
    }
    const FormatItem& item = items[next++];
    switch (d.kind) {
      case Kind::Integer:
        if (item.kind() != FormatItem::Kind::Integer) wrong_item(text_, item, "I");
        append_integer_field(out, item.integer(), d.width);
        break;
      case Kind::Real:
        if (item.kind() != FormatItem::Kind::Real) wrong_item(text_, item, "F");
        append_real_field(out, item.real(), d.width, d.decimals);
        break;
      case Kind::Logical:
        if (item.kind() != FormatItem::Kind::Logical) wrong_item(text_, item, "L");
        append_logical_field(out, item.logical_value(), d.width);
        break;
      case Kind::Text:
        if (item.kind() != FormatItem::Kind::Text) wrong_item(text_, item, "A");
        append_text_field(out, item.text(), d.width);
        break;
      case Kind::WholeText:
        if (item.kind() != FormatItem::Kind::Text) wrong_item(text_, item, "A");
        out.append(item.text());
        break;
      default:
        break;
    }
  }
  end_record();
}

void Format::append(std::string& out, FormatItems items) const {
  run(out, items, [&out] {
    out.push_back('\n');
    return true;
  });
}

void Format::write(std::FILE* stream, FormatItems items) const {
  std::string text;
  text.reserve(128);
  append(text, items);
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::string Format::record(FormatItems items) const {
  std::string out;
  run(out, items, [] { return false; });
  return out;
}

void write_formatted(std::FILE* stream, std::string_view format, std::initializer_list<FormatItem> items) {
  Format(format).write(stream, items);
}

}  // namespace vespera
