// The outline of an XML document of orbit mean-element messages: the markup
// around its <omm> elements, scanned so that each record's element can be
// parsed on its own.
//
// Given the document's text, next() finds one <omm> element after another:
// the document's own element, or each child of its root (<ndm>). Around them
// it passes over the declaration, processing instructions, comments, CDATA
// sections, the document type, text, and the start and end tags of other
// elements, which must nest. It ends at the end of the text, or where the
// markup around the records stops being well formed: a tag that does not
// begin or end as a tag, an end tag that closes an element not open, an
// element still open at the end, a document without an element.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vespera {

// Where one <omm> element lies: from its '<' to just after the '>' of its end
// tag (or of its own tag, when it closes itself). A record whose end tag is
// missing runs to the end of the text.
struct XmlSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class OmmXmlOutline {
 public:
  explicit OmmXmlOutline(std::string_view text) : text_(text) {}

  // next: the next record's element; none at the end of the document or
  // where it stops being well formed (then fault() tells where).
  std::optional<XmlSpan> next();
  // The offset where the markup stops being well formed, once next() has
  // given none; none when the document ended well.
  std::optional<std::size_t> fault() const { return fault_; }

 private:
  std::optional<std::size_t> pass_markup(std::size_t open);
  std::optional<std::size_t> pass_end_tag(std::size_t open);
  std::optional<std::size_t> pass_start_tag(std::size_t open, std::optional<XmlSpan>& record);
  std::size_t pass_name(std::size_t at) const;
  std::optional<std::size_t> pass_attributes(std::size_t at);
  std::size_t record_end(std::size_t tag_end) const;
  // Ends the scan at a fault at `offset`.
  std::nullopt_t stop_at(std::size_t offset);

  std::string_view text_;
  std::size_t at_ = 0;                     // where the scan goes on
  std::vector<std::string_view> open_;     // the elements open around it
  bool element_seen_ = false;
  bool ended_ = false;
  std::optional<std::size_t> fault_;
};

}  // namespace vespera
