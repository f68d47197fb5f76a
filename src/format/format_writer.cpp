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

[[noreturn]] void no_descriptor_for_items(const std::string& format) {
  throw std::invalid_argument("format \"" + format + "\" has no descriptor for its items");
}

bool takes_item(Kind kind) {
  switch (kind) {
    case Kind::Integer:
    case Kind::Real:
    case Kind::Logical:
    case Kind::Text:
    case Kind::WholeText:
      return true;
    default:
      return false;
  }
}

}  // namespace

Format::Format(std::string_view text) : text_(text) {
  std::size_t reversion = 0;
  FormatParser(text).parse(descriptors_, reversion);
  compile(descriptors_, reversion);
}

void Format::compile(const std::vector<Descriptor>& descriptors, std::size_t reversion) {
  std::size_t reversion_step = 0;
  std::size_t blanks = 0;
  for (std::size_t i = 0; i <= descriptors.size(); ++i) {
    if (i == reversion) {
      // The blanks before the point where the format is taken up again
      // belong to the first pass alone.
      if (blanks != 0) steps_.push_back(Step{Kind::Skip, FormatItem::Kind::Text, 0, 0, blanks});
      blanks = 0;
      reversion_step = steps_.size();
    }
    if (i == descriptors.size()) break;  // blanks from X at the end are not written
    const Descriptor& d = descriptors[i];
    if (d.kind == Kind::Skip) {
      blanks += static_cast<std::size_t>(d.width);
      continue;
    }
    steps_.push_back(Step{d.kind, item_kind_of(d.kind), d.width, d.decimals, blanks, literals_.size(),
                          d.literal.size()});
    literals_.append(d.literal);
    blanks = 0;
  }
  whole_ = plan_pass(0);
  reverted_ = plan_pass(reversion_step);
}

Format::Pass Format::plan_pass(std::size_t first_step) const {
  Pass pass;
  pass.first_step = first_step;
  pass.bound = 1;  // the line end of the last record
  for (std::size_t i = first_step; i < steps_.size(); ++i) {
    const Step& step = steps_[i];
    pass.bound += step.blanks_before;
    if (step.kind == Kind::WholeText) {
      pass.whole_text_items.push_back(pass.items);
    } else if (step.kind == Kind::RecordEnd) {
      pass.bound += 1;
    } else {
      pass.bound += static_cast<std::size_t>(step.width) + step.literal_size;
    }
    if (takes_item(step.kind)) ++pass.items;
  }
  return pass;
}

std::size_t Format::pass_bound(const Pass& pass, const FormatItem* item, const FormatItem* items_end) const {
  const std::size_t left = static_cast<std::size_t>(items_end - item);
  std::size_t bound = pass.bound;
  for (const std::size_t k : pass.whole_text_items) {
    if (k >= left) break;
    if (item[k].kind() == FormatItem::Kind::Text) bound += item[k].text().size();
  }
  return bound;
}

Format::PassResult Format::write_pass(const Pass& pass, char* start, const FormatItem* item,
                                      const FormatItem* items_end, bool first_record_only) const {
  // The blanks of X descriptors and of justification are there beforehand;
  // `written` follows the last character that belongs to the record.
  char* p = start;
  char* written = start;
  // Whether the next item is there and of the kind that step `s` writes.
  auto item_for = [&item, items_end](const Step* s) {
    return item != items_end && item->kind() == s->item_kind;
  };
  auto stop_at_item = [&](const Step* s) -> PassResult {
    return {written, item, item == items_end ? PassEnd::Stopped : PassEnd::WrongItem, s};
  };
  const Step* const steps_end = steps_.data() + steps_.size();
  for (const Step* s = steps_.data() + pass.first_step; s != steps_end; ++s) {
    p += s->blanks_before;
    switch (s->kind) {
      case Kind::Integer:
        if (!item_for(s)) return stop_at_item(s);
        p = put_integer_onto_blanks(p, item->integer(), s->width);
        break;
      case Kind::Real:
        if (!item_for(s)) return stop_at_item(s);
        p = put_real_onto_blanks(p, item->real(), s->width, s->decimals);
        break;
      case Kind::Text:
        if (!item_for(s)) return stop_at_item(s);
        p = put_text_onto_blanks(p, item->text(), s->width);
        break;
      case Kind::WholeText: {
        if (!item_for(s)) return stop_at_item(s);
        const std::string_view text = item->text();
        copy_text(p, text.data(), text.size());
        p += text.size();
        break;
      }
      case Kind::Logical:
        if (!item_for(s)) return stop_at_item(s);
        p = put_logical_onto_blanks(p, item->logical_value(), s->width);
        break;
      case Kind::Literal:
        copy_text(p, literals_.data() + s->literal_start, s->literal_size);
        p += s->literal_size;
        written = p;
        continue;
      case Kind::RecordEnd:
        if (first_record_only) return {written, item, PassEnd::Stopped, s};
        p = written;
        *p++ = '\n';
        written = p;
        continue;
      case Kind::Colon:
        if (item == items_end) return {written, item, PassEnd::Stopped, s};
        continue;
      case Kind::Skip:
        continue;
    }
    ++item;
    written = p;
  }
  return {written, item, PassEnd::FormatEnd, nullptr};
}

void Format::check_item(const PassResult& result) const {
  if (result.how == PassEnd::WrongItem) wrong_item(text_, *result.next, result.step->kind);
}

void Format::check_first_record(const PassResult& result, const FormatItem* items_end) const {
  check_item(result);
  // Items the first record leaves belong to records that are not written,
  // unless the format has nothing to take them at all.
  if (result.how == PassEnd::FormatEnd && result.next != items_end && whole_.items == 0) {
    no_descriptor_for_items(text_);
  }
}

void Format::append(std::string& out, FormatItems items) const {
  // Each pass is written in place at the end of the text. Items left over
  // when the format ends start a new record and a further pass.
  const FormatItem* item = items.data();
  const FormatItem* const items_end = item + items.size();
  const Pass* pass = &whole_;
  for (;;) {
    const std::size_t start = out.size();
    out.resize(start + pass_bound(*pass, item, items_end), ' ');
    const PassResult result = write_pass(*pass, out.data() + start, item, items_end, false);
    out.resize(static_cast<std::size_t>(result.end - out.data()));
    check_item(result);
    const bool items_left = result.how == PassEnd::FormatEnd && result.next != items_end;
    if (items_left && reverted_.items == 0) no_descriptor_for_items(text_);
    out.push_back('\n');
    if (!items_left) return;
    item = result.next;
    pass = &reverted_;
  }
}

void Format::write(std::FILE* stream, FormatItems items) const {
  std::string text;
  text.reserve(128);
  append(text, items);
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::string Format::record(FormatItems items) const {
  // Only the first pass can write the first record.
  const FormatItem* const items_end = items.data() + items.size();
  std::string out(pass_bound(whole_, items.data(), items_end), ' ');
  const PassResult result = write_pass(whole_, out.data(), items.data(), items_end, true);
  out.resize(static_cast<std::size_t>(result.end - out.data()));
  check_first_record(result, items_end);
  return out;
}

std::size_t Format::record(char* buffer, std::size_t size, FormatItems items) const {
  // A short record (an internal write such as "(I4)") in a buffer on the
  // stack.
  constexpr std::size_t kShortRecord = 64;
  const FormatItem* const items_end = items.data() + items.size();
  const std::size_t bound = pass_bound(whole_, items.data(), items_end);
  if (bound > kShortRecord) {
    const std::string text = record(items);
    const std::size_t n = std::min(size, text.size());
    std::memcpy(buffer, text.data(), n);
    return n;
  }
  char text[kShortRecord];
  std::memset(text, ' ', bound);
  const PassResult result = write_pass(whole_, text, items.data(), items_end, true);
  check_first_record(result, items_end);
  const std::size_t n = std::min(size, static_cast<std::size_t>(result.end - text));
  std::memcpy(buffer, text, n);
  return n;
}

void write_formatted(std::FILE* stream, std::string_view format, std::initializer_list<FormatItem> items) {
  Format(format).write(stream, items);
}

}  // namespace vespera
