// The XML form of the OMM (CCSDS NDM/XML): <omm> elements, alone or in <ndm>.
//
// The document is read one record at a time: its outline finds each <omm>
// element, and pugixml parses that element alone, into one document used
// again for every record. Besides the file's text, the memory held is the
// tree of one record, whatever the size of the file: a whole catalogue
// parsed at once holds a tree of some 2.5 kB a record, and the first touch
// of all that memory made reading it four times slower.
#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "elements/line_counter.h"
#include "elements/omm_readers.h"
#include "elements/omm_xml_outline.h"

namespace vespera {
namespace {

// The encoding of the document's text: Latin-1 when its declaration says so
// (pugixml tells it from the declaration), otherwise UTF-8.
pugi::xml_encoding declared_encoding(std::string_view text) {
  if (!text.starts_with("<?xml")) return pugi::encoding_utf8;
  const std::size_t end = text.find("?>");
  if (end == std::string_view::npos) return pugi::encoding_utf8;
  pugi::xml_document probe;
  const pugi::xml_encoding encoding = probe.load_buffer(text.data(), end + 2).encoding;
  return encoding == pugi::encoding_latin1 ? encoding : pugi::encoding_utf8;
}

class OmmXmlReader : public OmmRecordReader {
 public:
  explicit OmmXmlReader(std::string text)
      : text_(std::move(text)), lines_(text_), outline_(text_), encoding_(declared_encoding(text_)) {}

  OmmStep next(OmmRecord& record) override {
    if (ended_) return OmmStep::End;
    std::optional<std::size_t> fault;
    if (const std::optional<XmlSpan> span = outline_.next()) {
      const pugi::xml_parse_result parsed =
          document_.load_buffer(text_.data() + span->begin, span->end - span->begin, pugi::parse_default, encoding_);
      if (parsed) {
        record.clear();
        record.line = lines_.line_at(span->begin);
        take_fields(document_.document_element(), record);
        return OmmStep::Record;
      }
      fault = span->begin + static_cast<std::size_t>(parsed.offset);
    } else {
      fault = outline_.fault();
    }
    ended_ = true;
    if (!fault) return OmmStep::End;
    record.clear();
    record.line = lines_.line_at(*fault);
    return OmmStep::Malformed;
  }

 private:
  // The elements inside `record_node` that hold text, in document order,
  // walked without recursion (a document may nest deeply).
  static void take_fields(const pugi::xml_node& record_node, OmmRecord& record) {
    pugi::xml_node node = record_node.first_child();
    while (node) {
      const pugi::xml_node child = node.first_child();
      if (child) {
        const pugi::xml_node_type type = child.type();
        if ((type == pugi::node_pcdata || type == pugi::node_cdata) && node.type() == pugi::node_element) {
          record.set(std::string_view(node.name()), std::string_view(child.value()));
        }
        node = child;
        continue;
      }
      pugi::xml_node next = node.next_sibling();
      while (!next) {
        node = node.parent();
        if (node == record_node) return;
        next = node.next_sibling();
      }
      node = next;
    }
  }

  std::string text_;
  LineCounter lines_;
  OmmXmlOutline outline_;
  pugi::xml_encoding encoding_;
  pugi::xml_document document_;  // the record read last
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<OmmRecordReader> make_omm_xml_reader(std::string text) {
  return std::make_unique<OmmXmlReader>(std::move(text));
}

}  // namespace vespera
