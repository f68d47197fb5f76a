#include "elements/omm_record.h"

namespace vespera {
namespace {

constexpr std::array<std::string_view, kOmmKeyCount> kKeyNames = {
    "OBJECT_NAME",   "OBJECT_ID",         "NORAD_CAT_ID", "EPOCH",         "MEAN_MOTION",
    "ECCENTRICITY",  "INCLINATION",       "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY",  "BSTAR",             "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT",
    "EPHEMERIS_TYPE"};

constexpr std::string_view kBlanks = " \t\r\n";

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
  values[index_of(key)].assign(value);
  present[index_of(key)] = true;
}

std::optional<std::string_view> OmmRecord::value(OmmKey key) const {
  if (!present[index_of(key)]) return std::nullopt;
  std::string_view text = values[index_of(key)];
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::nullopt;
  text.remove_prefix(first);
  text.remove_suffix(text.size() - 1 - text.find_last_not_of(kBlanks));
  return text;
}

}  // namespace vespera
