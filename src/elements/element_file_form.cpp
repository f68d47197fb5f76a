#include "elements/element_file_form.h"

#include <algorithm>
#include <array>

namespace vespera {
namespace {

constexpr std::array<std::string_view, 38> kOmmKeywords = {
    "CCSDS_OMM_VERS",    "COMMENT",          "CREATION_DATE",   "ORIGINATOR",
    "OBJECT_NAME",       "OBJECT_ID",        "CENTER_NAME",     "REF_FRAME",
    "REF_FRAME_EPOCH",   "TIME_SYSTEM",      "MEAN_ELEMENT_THEORY", "EPOCH",
    "SEMI_MAJOR_AXIS",   "MEAN_MOTION",      "ECCENTRICITY",    "INCLINATION",
    "RA_OF_ASC_NODE",    "ARG_OF_PERICENTER", "MEAN_ANOMALY",   "GM",
    "EPHEMERIS_TYPE",    "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO",
    "REV_AT_EPOCH",      "BSTAR",            "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT",
    "SEMIMAJOR_AXIS",    "PERIOD",           "APOAPSIS",        "PERIAPSIS",
    "OBJECT_TYPE",       "RCS_SIZE",         "COUNTRY_CODE",    "LAUNCH_DATE",
    "DECAY_DATE",        "GP_ID"};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view skip_space(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && is_space(text[at])) ++at;
  return text.substr(at);
}

// The name of the first element of an XML text, after its declaration,
// processing instructions, comments and document type; empty when there is
// none within the text.
std::string_view first_element_name(std::string_view text) {
  for (;;) {
    text = skip_space(text);
    if (text.size() < 2 || text[0] != '<') return {};
    std::string_view close = ">";
    if (text.substr(0, 2) == "<?") close = "?>";
    else if (text.substr(0, 4) == "<!--") close = "-->";
    else if (text.substr(0, 2) != "<!") break;
    const std::size_t end = text.find(close);
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + close.size());
  }
  text.remove_prefix(1);
  const std::size_t end = text.find_first_of(" \t\r\n/>");
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end);
}

bool starts_json(std::string_view text) {
  const char open = text[0];
  const std::string_view next = skip_space(text.substr(1));
  if (next.empty()) return false;
  if (open == '[') return next[0] == '{' || next[0] == ']';
  return open == '{' && (next[0] == '"' || next[0] == '}');
}

// Whether `name` is a keyword of the OMM (the CCSDS message's keywords and
// those distributors add to their CSV and JSON: OBJECT_NAME, EPOCH, ...).
bool is_omm_keyword(std::string_view name) {
  return std::find(kOmmKeywords.begin(), kOmmKeywords.end(), name) != kOmmKeywords.end();
}

// Whether the first line is a CSV header of OMM keywords.
bool names_omm_keys(std::string_view text) {
  const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
  int keywords = 0;
  std::size_t start = 0;
  while (start <= line.size()) {
    std::size_t end = line.find(',', start);
    if (end == std::string_view::npos) end = line.size();
    std::string_view name = line.substr(start, end - start);
    while (!name.empty() && (name.front() == ' ' || name.front() == '"')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '"')) name.remove_suffix(1);
    if (is_omm_keyword(name)) ++keywords;
    start = end + 1;
  }
  return keywords >= 2 && line.find(',') != std::string_view::npos;
}

}  // namespace

ElementFileForm element_file_form(std::string_view head) {
  head.remove_prefix(byte_order_mark_size(head));
  const std::string_view text = skip_space(head);
  if (text.empty()) return ElementFileForm::TwoLine;
  if (text[0] == '<') {
    const std::string_view name = first_element_name(text);
    return name == "ndm" || name == "omm" ? ElementFileForm::OmmXml : ElementFileForm::TwoLine;
  }
  if ((text[0] == '[' || text[0] == '{') && starts_json(text)) return ElementFileForm::OmmJson;
  return names_omm_keys(head) ? ElementFileForm::OmmCsv : ElementFileForm::TwoLine;
}

}  // namespace vespera
