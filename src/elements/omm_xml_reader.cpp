// The XML form of the OMM (CCSDS NDM/XML): <omm> elements, alone or in <ndm>.
#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <string_view>

#include "elements/line_counter.h"
#include "elements/omm_readers.h"

namespace vespera {
namespace {

class OmmXmlReader : public OmmRecordReader {
 public:
  explicit OmmXmlReader(std::string text) : text_(std::move(text)), lines_(text_) {
    result_ = document_.load_buffer(text_.data(), text_.size(), pugi::parse_default);
    const pugi::xml_node root = document_.document_element();
    next_ = std::strcmp(root.name(), "omm") == 0 ? root : root.child("omm");
  }

  OmmStep next(OmmRecord& record) override {
    if (next_) {
      const pugi::xml_node node = next_;
      const auto start = static_cast<std::size_t>(node.offset_debug());
      if (result_ || closed_before_fault(start)) {
        next_ = next_.next_sibling("omm");
        record.clear();
        record.line = lines_.line_at(start);
        take_fields(node, record);
        return OmmStep::Record;
      }
      next_ = pugi::xml_node();
    }
    if (result_ || fault_reported_) return OmmStep::End;
    fault_reported_ = true;
    record.clear();
    record.line = lines_.line_at(static_cast<std::size_t>(result_.offset));
    return OmmStep::Malformed;
  }

 private:
  // Whether the record that starts at `start` was closed before the place
  // where the document stops being well formed.
  bool closed_before_fault(std::size_t start) const {
    const std::size_t close = text_.find("</omm", start);
    return close != std::string::npos && close < static_cast<std::size_t>(result_.offset);
  }

  // The elements inside `record_node` that hold text, in document order,
  // walked without recursion (a document may nest deeply).
  static void take_fields(const pugi::xml_node& record_node, OmmRecord& record) {
    pugi::xml_node node = record_node.first_child();
    while (node && node != record_node) {
      if (node.type() == pugi::node_element) {
        const pugi::xml_node text = node.first_child();
        if (text && (text.type() == pugi::node_pcdata || text.type() == pugi::node_cdata)) {
          record.set(std::string_view(node.name()), std::string_view(text.value()));
        }
      }
      if (node.first_child()) {
        node = node.first_child();
        continue;
      }
      while (node != record_node && !node.next_sibling()) node = node.parent();
      if (node != record_node) node = node.next_sibling();
    }
  }

  std::string text_;
  LineCounter lines_;
  pugi::xml_document document_;
  pugi::xml_parse_result result_;
  pugi::xml_node next_;  // the next record's element
  bool fault_reported_ = false;
};

}  // namespace

std::unique_ptr<OmmRecordReader> make_omm_xml_reader(std::string text) {
  return std::make_unique<OmmXmlReader>(std::move(text));
}

}  // namespace vespera
