// The outline of an XML document of OMM records: the <omm> elements it
// finds, and where the markup around them stops being well formed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "elements/omm_xml_outline.h"

namespace vespera {
namespace {

// The records' texts, then "!" and the text from the fault on, if any.
std::vector<std::string> outline(const std::string& text) {
  OmmXmlOutline scan(text);
  std::vector<std::string> found;
  while (const std::optional<XmlSpan> span = scan.next()) {
    found.push_back(text.substr(span->begin, span->end - span->begin));
  }
  if (scan.fault()) found.push_back(std::string("!").append(text, *scan.fault()));
  return found;
}

using Places = std::vector<std::string>;

TEST(OmmXmlOutline, RecordsAndFaults) {
  const struct {
    std::string text;
    Places expected;
  } cases[] = {
      // The document's own <omm>, and each child <omm> of its root.
      {"<omm><A>1</A></omm>", {"<omm><A>1</A></omm>"}},
      {"<?xml version=\"1.0\"?>\n<!-- c < > -->\n<ndm a='>' b = \"1\">\n<omm x='1'>\n<A/></omm >\n<omm/>"
       "<opm><omm><B/></omm></opm></ndm>\n",
       {"<omm x='1'>\n<A/></omm >", "<omm/>"}},
      {"<!DOCTYPE ndm [ <!ENTITY e 'f'> ]><ndm><![CDATA[<omm>]]><omm></omm></ndm>", {"<omm></omm>"}},
      // A record runs to its first end tag, or to the end of the text.
      {"<ndm><omm><A>1</A></omm><omm><B>", {"<omm><A>1</A></omm>", "<omm><B>", "!"}},
      {"<ndm><omm></ommx></omm ></ndm>", {"<omm></ommx></omm >"}},
      // Markup around the records that is not well formed.
      {"<ndm><omm/></ndm", {"<omm/>", "!"}},
      {"<ndm><omm/>", {"<omm/>", "!"}},
      {"<ndm></nd><omm/></ndm>", {"!nd><omm/></ndm>"}},
      {"<ndm><omm/></ndm></ndm>", {"<omm/>", "!ndm>"}},
      {"<ndm x=\"1\"y=\"2\"><omm/></ndm>", {"!y=\"2\"><omm/></ndm>"}},
      {"<ndm x=1><omm/></ndm>", {"!1><omm/></ndm>"}},
      {"<ndm x=\"1><omm/></ndm>", {"!"}},
      {"<ndm>< omm/></ndm>", {"! omm/></ndm>"}},
      {"<ndm><!-- never closed <omm/></ndm>", {"!"}},
      {"<ndm><? ?><omm/></ndm>", {"! ?><omm/></ndm>"}},
      {"<ndm><!ELEMENT x><omm/></ndm>", {"!!ELEMENT x><omm/></ndm>"}},
      {"<ndm a='1'/ ><omm/>", {"!/ ><omm/>"}},
      {"<?xml version=\"1.0\"?>\n", {"!"}},
      {"", {"!"}},
  };
  for (const auto& c : cases) EXPECT_EQ(outline(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace vespera
