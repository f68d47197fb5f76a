// The JSON form of the OMM: an array of objects, one a record.
#include <simdjson.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "elements/line_counter.h"
#include "elements/omm_readers.h"
#include "elements/text_faults.h"

namespace vespera {
namespace {

namespace od = simdjson::ondemand;

// Where the parsed copy of the text starts: places in it as offsets of the
// text.
struct Origin {
  const char* data;
  std::size_t offset;
  std::size_t offset_of(const char* at) const { return offset + static_cast<std::size_t>(at - data); }
};

// The records of a document, read one at a time as they are asked for (the
// parser keeps its place in the document between them), and where the
// document stops making sense.
class OmmJsonReader : public OmmRecordReader {
 public:
  explicit OmmJsonReader(std::string text) : text_(with_room(std::move(text))), lines_(text_) {
    begin_ = byte_order_mark_size(text_);
    const simdjson::error_code error = start_pass(begin_, text_.size());
    if (error == simdjson::UTF8_ERROR || error == simdjson::UNCLOSED_STRING) {
      // A document whose bytes or strings are broken is read up to the line
      // where the fault lies.
      const std::size_t fault =
          error == simdjson::UTF8_ERROR ? first_invalid_utf8(text_) : unclosed_string_start(text_);
      byte_fault_ = fault;
      fault_line_.reset();
      start_pass(begin_, std::max(begin_, line_start(text_, fault)), root_closing());
    }
  }

  OmmStep next(OmmRecord& record) override {
    while (!ended_) {
      if (step(record)) {
        ++given_;
        return OmmStep::Record;
      }
      if (!retry_cut_short()) end_reading();
    }
    if (!fault_line_) return OmmStep::End;
    record.clear();
    record.line = *fault_line_;
    fault_line_.reset();
    return OmmStep::Malformed;
  }

 private:
  // Where a pass over the document stands: at its root object, inside its
  // root array, before what follows its value, or at its end.
  enum class Place { Object, Array, AfterValue, Ended };

  // The text with room after it for the parser's reading ahead.
  static std::string with_room(std::string text) {
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    return text;
  }

  // Nothing was read from a document that stops making sense: it may be cut
  // short, or something may follow its value. It is read again with its
  // closing added, and stops where it stops making sense, or at its end.
  bool retry_cut_short() {
    if (retried_ || byte_fault_ || given_ != 0 || !fault_line_) return false;
    retried_ = true;
    fault_line_.reset();
    start_pass(begin_, text_.size(), root_closing());
    return true;
  }

  void end_reading() {
    ended_ = true;
    if (byte_fault_) {
      fault_line_ = lines_.line_at(*byte_fault_);
    } else if (retried_ && !fault_line_) {
      fault_line_ = lines_.line_at(text_.size());
    }
  }

  // What closes the document's value, as it began.
  std::string_view root_closing() const {
    const std::size_t first = text_.find_first_not_of(" \t\r\n", begin_);
    return first < text_.size() && text_[first] == '{' ? "}" : "]";
  }

  // Starts a pass over text_[begin, end) followed by `closing`; returns the
  // error of the scan of its bytes.
  simdjson::error_code start_pass(std::size_t begin, std::size_t end, std::string_view closing = {}) {
    // The text is read where it lies when the room after it allows the
    // parser's reading ahead; otherwise from a copy.
    const std::string_view part = std::string_view(text_).substr(begin, end - begin);
    simdjson::padded_string_view json;
    if (closing.empty() && text_.capacity() - end >= simdjson::SIMDJSON_PADDING) {
      json = simdjson::padded_string_view(part.data(), part.size(), text_.capacity() - begin);
    } else {
      copy_ = simdjson::padded_string(std::string(part).append(closing));
      json = copy_;
    }
    place_ = Place::Ended;
    base_ = Origin{json.data(), begin};
    const simdjson::error_code error = parser_.iterate(json).get(document_);
    if (error != simdjson::SUCCESS) {
      fail_at(begin);
      return error;
    }
    od::json_type type;
    if (document_.type().get(type) != simdjson::SUCCESS) {
      fail();
    } else if (type == od::json_type::object) {
      place_ = Place::Object;
    } else if (type != od::json_type::array || document_.get_array().get(array_) != simdjson::SUCCESS ||
               array_.begin().get(at_) != simdjson::SUCCESS || array_.end().get(end_) != simdjson::SUCCESS) {
      fail();
    } else {
      place_ = Place::Array;
    }
    return simdjson::SUCCESS;
  }

  // The pass's next record into `record`; false when the pass has ended.
  bool step(OmmRecord& record) {
    switch (place_) {
      case Place::Object:
        place_ = Place::AfterValue;
        record.clear();
        record.line = lines_.line_at(text_.find_first_not_of(" \t\r\n", base_.offset));
        if (read_fields(document_.get_object(), record)) return true;
        fail();
        return false;
      case Place::Array:
        if (at_ != end_) {
          if (read_element(record)) return true;
          fail();
          return false;
        }
        [[fallthrough]];
      case Place::AfterValue:
        // Anything after the document's value is a fault of its own.
        place_ = Place::Ended;
        if (const char* trailing = nullptr; document_.current_location().get(trailing) == simdjson::SUCCESS) {
          fail_at(base_.offset_of(trailing));
        }
        return false;
      case Place::Ended:
        break;
    }
    return false;
  }

  // The array's next element: an object's keywords, or a record without
  // keywords for any other value.
  bool read_element(OmmRecord& record) {
    od::value value;
    if ((*at_).get(value) != simdjson::SUCCESS) return false;
    const char* at = nullptr;
    if (value.current_location().get(at) != simdjson::SUCCESS) return false;
    record.clear();
    record.line = lines_.line_at(base_.offset_of(at));
    od::json_type type;
    if (value.type().get(type) != simdjson::SUCCESS) return false;
    if (type == od::json_type::object && !read_fields(value.get_object(), record)) return false;
    ++at_;
    return true;
  }

  // The keywords of an object: strings and numbers as written; null, true,
  // false, objects and arrays are passed over.
  static bool read_fields(simdjson::simdjson_result<od::object> result, OmmRecord& record) {
    od::object object;
    if (std::move(result).get(object) != simdjson::SUCCESS) return false;
    for (auto field : object) {
      std::string_view key;
      od::value value;
      od::json_type type;
      if (field.unescaped_key().get(key) != simdjson::SUCCESS || field.value().get(value) != simdjson::SUCCESS ||
          value.type().get(type) != simdjson::SUCCESS) {
        return false;
      }
      const std::optional<OmmKey> omm = omm_key(key);
      if (!omm) continue;
      std::string_view text;
      if (type == od::json_type::string) {
        if (value.get_string().get(text) != simdjson::SUCCESS) return false;
        record.set(*omm, text);
      } else if (type == od::json_type::number) {
        record.set(*omm, value.raw_json_token());
      }
    }
    return true;
  }

  // The pass ends where the parser stopped.
  void fail() {
    place_ = Place::Ended;
    const char* at = nullptr;
    const std::size_t offset =
        document_.current_location().get(at) == simdjson::SUCCESS ? base_.offset_of(at) : text_.size();
    fail_at(offset);
  }

  void fail_at(std::size_t offset) {
    place_ = Place::Ended;
    if (!fault_line_) fault_line_ = lines_.line_at(offset);
  }

  std::string text_;
  LineCounter lines_;
  std::size_t begin_ = 0;  // after a byte-order mark
  // A copy of the document when it is read with a closing added, and the
  // parser, which holds the unescaped strings that the records' texts refer to.
  simdjson::padded_string copy_;
  od::parser parser_;
  od::document document_;
  od::array array_;
  od::array_iterator at_, end_;
  Origin base_{nullptr, 0};
  Place place_ = Place::Ended;
  std::size_t given_ = 0;               // records given by the passes
  bool retried_ = false;                // read again with its closing added
  bool ended_ = false;                  // no pass is left
  std::optional<std::size_t> byte_fault_;  // a fault in the bytes or strings
  std::optional<int32_t> fault_line_;
};

}  // namespace

std::unique_ptr<OmmRecordReader> make_omm_json_reader(std::string text) {
  return std::make_unique<OmmJsonReader>(std::move(text));
}

}  // namespace vespera
