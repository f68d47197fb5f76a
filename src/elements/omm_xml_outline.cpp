#include "elements/omm_xml_outline.h"

#include <string.h>

namespace vespera {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kRecordEnd = "</omm";

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A byte that may begin an element's name: a letter, '_', ':' or any byte of
// a character beyond ASCII.
bool starts_name(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || c == '_' || c == ':' || u >= 0x80;
}

bool continues_name(char c) { return starts_name(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

}  // namespace

std::optional<XmlSpan> OmmXmlOutline::next() {
  while (!ended_) {
    const std::size_t open = text_.find('<', at_);
    if (open == kNone) {
      if (!open_.empty() || !element_seen_) {
        stop_at(text_.size());
      } else {
        ended_ = true;
      }
      break;
    }
    const std::string_view rest = text_.substr(open);
    std::optional<XmlSpan> record;
    std::optional<std::size_t> after;
    if (rest.starts_with("</")) {
      after = pass_end_tag(open);
    } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
      after = pass_markup(open);
    } else {
      after = pass_start_tag(open, record);
    }
    if (!after) break;
    at_ = *after;
    if (record) return record;
  }
  return std::nullopt;
}

// Passes over a declaration or processing instruction, a comment, a CDATA
// section or the document type (with its internal subset in brackets).
std::optional<std::size_t> OmmXmlOutline::pass_markup(std::size_t open) {
  const std::string_view rest = text_.substr(open);
  std::string_view close;
  std::size_t from = open + 2;
  if (rest.starts_with("<?")) {
    // A processing instruction names its target first.
    if (pass_name(open + 2) == open + 2) return stop_at(open + 2);
    close = "?>";
  } else if (rest.starts_with("<!--")) {
    close = "-->";
  } else if (rest.starts_with("<![CDATA[")) {
    close = "]]>";
  } else if (rest.starts_with("<!DOCTYPE")) {
    close = ">";
    const std::size_t subset = text_.find_first_of("[>", from);
    if (subset != kNone && text_[subset] == '[') from = text_.find(']', subset);
  } else {
    return stop_at(open + 1);
  }
  const std::size_t end = from == kNone ? kNone : text_.find(close, from);
  if (end == kNone) {
    return stop_at(text_.size());
  }
  return end + close.size();
}

// Passes over an end tag, which must close the innermost open element.
std::optional<std::size_t> OmmXmlOutline::pass_end_tag(std::size_t open) {
  const std::size_t name_begin = open + 2;
  std::size_t at = name_begin;
  while (at < text_.size() && continues_name(text_[at])) ++at;
  if (open_.empty() || text_.substr(name_begin, at - name_begin) != open_.back()) {
    return stop_at(name_begin);
  }
  while (at < text_.size() && is_xml_space(text_[at])) ++at;
  if (at >= text_.size() || text_[at] != '>') {
    return stop_at(at);
  }
  open_.pop_back();
  return at + 1;
}

// Passes over a start tag and its attributes. An <omm> tag at the top or
// inside the root is a record: it is passed over whole, up to its end tag.
std::optional<std::size_t> OmmXmlOutline::pass_start_tag(std::size_t open, std::optional<XmlSpan>& record) {
  const std::size_t name_end = pass_name(open + 1);
  if (name_end == open + 1) return stop_at(open + 1);
  const std::string_view name = text_.substr(open + 1, name_end - open - 1);
  const std::optional<std::size_t> tag_close = pass_attributes(name_end);
  if (!tag_close) return std::nullopt;
  const bool closes_itself = text_[*tag_close] == '/';
  const std::size_t tag_end = *tag_close + (closes_itself ? 2 : 1);
  element_seen_ = true;
  if (name == "omm" && open_.size() <= 1) {
    record = XmlSpan{open, closes_itself ? tag_end : record_end(tag_end)};
    return record->end;
  }
  if (!closes_itself) open_.push_back(name);
  return tag_end;
}

// The end of the name that starts at `at` (`at` itself when none starts
// there).
std::size_t OmmXmlOutline::pass_name(std::size_t at) const {
  if (at >= text_.size() || !starts_name(text_[at])) return at;
  while (at < text_.size() && continues_name(text_[at])) ++at;
  return at;
}

// Passes over a tag's attributes (name="value" or name='value', each after a
// blank); gives the place of the tag's '>' or of the '/' of its "/>".
std::optional<std::size_t> OmmXmlOutline::pass_attributes(std::size_t at) {
  for (;;) {
    const std::size_t blanks = at;
    while (at < text_.size() && is_xml_space(text_[at])) ++at;
    if (at >= text_.size()) break;
    if (text_[at] == '>' || (text_[at] == '/' && at + 1 < text_.size() && text_[at + 1] == '>')) return at;
    const std::size_t name_end = pass_name(at);
    if (at == blanks || name_end == at) return stop_at(at);
    at = name_end;
    while (at < text_.size() && is_xml_space(text_[at])) ++at;
    if (at >= text_.size() || text_[at] != '=') return stop_at(at);
    ++at;
    while (at < text_.size() && is_xml_space(text_[at])) ++at;
    if (at >= text_.size() || (text_[at] != '"' && text_[at] != '\'')) return stop_at(at);
    const std::size_t close = text_.find(text_[at], at + 1);
    if (close == kNone) break;
    at = close + 1;
  }
  return stop_at(text_.size());
}

// Just after the '>' of the first </omm> end tag from `from`; the end of the
// text when there is none.
std::size_t OmmXmlOutline::record_end(std::size_t from) const {
  const char* const end = text_.data() + text_.size();
  for (const char* at = text_.data() + from;;) {
    // memmem skips to the tag faster than a search for each '<'.
    at = static_cast<const char*>(
        memmem(at, static_cast<std::size_t>(end - at), kRecordEnd.data(), kRecordEnd.size()));
    if (at == nullptr) return text_.size();
    at += kRecordEnd.size();
    while (at < end && is_xml_space(*at)) ++at;
    if (at < end && *at == '>') return static_cast<std::size_t>(at - text_.data()) + 1;
  }
}

std::nullopt_t OmmXmlOutline::stop_at(std::size_t offset) {
  fault_ = offset;
  ended_ = true;
  return std::nullopt;
}

}  // namespace vespera
