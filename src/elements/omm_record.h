// One record of an orbit mean-element message (OMM), whatever its form (CSV
// row, XML <omm> element, JSON object): the values of the keywords that make
// an element set, as texts, and the line on which the record starts. The
// texts belong to the reader that filled the record and stay valid until its
// next call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vespera {

// The keywords read from a record; all others are passed over.
enum class OmmKey : uint8_t {
  ObjectName,
  ObjectId,
  NoradCatId,
  Epoch,
  MeanMotion,
  Eccentricity,
  Inclination,
  RaOfAscNode,
  ArgOfPericenter,
  MeanAnomaly,
  Bstar,
  MeanMotionDot,
  MeanMotionDdot,
  EphemerisType,
};
inline constexpr std::size_t kOmmKeyCount = 14;

// omm_key: the key of a keyword that is read; none for any other name.
std::optional<OmmKey> omm_key(std::string_view name);

struct OmmRecord {
  int32_t line = 0;  // the line of the file on which the record starts
  std::array<std::string_view, kOmmKeyCount> values;
  std::array<bool, kOmmKeyCount> present{};

  // The record is emptied for the next one (its line too).
  void clear();
  // Takes the value of a keyword without its leading and trailing blanks (the
  // text is not copied); names that are not read are passed over. A later
  // value of the same keyword replaces the earlier one.
  void set(std::string_view name, std::string_view value);
  void set(OmmKey key, std::string_view value);
  // The value of a keyword; none when the record lacks it or it is blank.
  std::optional<std::string_view> value(OmmKey key) const;
};

// What a reader of one OMM form gives at each step.
enum class OmmStep {
  Record,     // a record was read
  Malformed,  // the file stops making sense on the line in the record's `line`
  End,        // no record is left (also after Malformed)
};

// A reader of the records of one OMM file held in memory.
class OmmRecordReader {
 public:
  virtual ~OmmRecordReader() = default;
  virtual OmmStep next(OmmRecord& record) = 0;
};

}  // namespace vespera
