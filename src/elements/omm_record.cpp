#include "elements/omm_record.h"

namespace vespera {
namespace {

constexpr std::array<std::string_view, kOmmKeyCount> kKeyNames = {
    "OBJECT_NAME",   "OBJECT_ID",         "NORAD_CAT_ID", "EPOCH",         "MEAN_MOTION",
    "ECCENTRICITY",  "INCLINATION",       "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY",  "BSTAR",             "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT",
    "EPHEMERIS_TYPE"};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::size_t index_of(OmmKey key) { return static_cast<std::size_t>(key); }

}  // namespace

std::optional<OmmKey> omm_key(std::string_view name) {
  for (std::size_t i = 0; i < kKeyNames.size(); ++i) {
    if (kKeyNames[i] == name) return static_cast<OmmKey>(i);
  }
  return std::nullopt;
}

void OmmRecord::clear() {
  line = 0;
  present.fill(false);
}

void OmmRecord::set(std::string_view name, std::string_view value) {
  if (const std::optional<OmmKey> key = omm_key(name)) set(*key, value);
}

void OmmRecord::set(OmmKey key, std::string_view value) {
  while (!value.empty() && is_blank(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_blank(value.back())) value.remove_suffix(1);
  values[index_of(key)] = value;
  present[index_of(key)] = !value.empty();
}

std::optional<std::string_view> OmmRecord::value(OmmKey key) const {
  if (!present[index_of(key)]) return std::nullopt;
  return values[index_of(key)];
}

}  // namespace vespera
