// The JSON form of the OMM: an array of objects, one a record.
#include <simdjson.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/line_counter.h"
#include "elements/omm_readers.h"
#include "elements/text_faults.h"

namespace vespera {
namespace {

namespace od = simdjson::ondemand;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Where the parsed copy of the text starts: places in it as offsets of the
// text.
struct Origin {
  const char* data;
  std::size_t offset;
  std::size_t offset_of(const char* at) const { return offset + static_cast<std::size_t>(at - data); }
};

// The records of a document read at once, and where it stops making sense.
class OmmJsonReader : public OmmRecordReader {
 public:
  explicit OmmJsonReader(std::string text) : text_(with_room(std::move(text))), lines_(text_) { read_all(); }

  OmmStep next(OmmRecord& record) override {
    if (next_ < records_.size()) {
      record = records_[next_++];
      return OmmStep::Record;
    }
    if (!fault_line_) return OmmStep::End;
    record.clear();
    record.line = *fault_line_;
    fault_line_.reset();
    return OmmStep::Malformed;
  }

 private:
  // The text with room after it for the parser's reading ahead.
  static std::string with_room(std::string text) {
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    return text;
  }

  // Reads the document; one whose bytes or strings are broken is read again
  // up to the line where the fault lies.
  void read_all() {
    const std::size_t begin =
        std::string_view(text_).substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
    const simdjson::error_code error = read_document(begin, text_.size());
    if (error == simdjson::UTF8_ERROR || error == simdjson::UNCLOSED_STRING) {
      const std::size_t fault =
          error == simdjson::UTF8_ERROR ? first_invalid_utf8(text_) : unclosed_string_start(text_);
      records_.clear();
      fault_line_.reset();
      read_document(begin, std::max(begin, line_start(text_, fault)), root_closing(begin));
      fault_line_ = lines_.line_at(fault);
    } else if (fault_line_ && records_.empty()) {
      // Nothing read: the document may be cut short, or something may follow
      // its value. Read again with its closing added, it stops where it
      // stops making sense, or at its end.
      fault_line_.reset();
      read_document(begin, text_.size(), root_closing(begin));
      if (!fault_line_) fault_line_ = lines_.line_at(text_.size());
    }
  }

  // What closes the document's value, as it began.
  std::string_view root_closing(std::size_t begin) const {
    const std::size_t first = text_.find_first_not_of(" \t\r\n", begin);
    return first < text_.size() && text_[first] == '{' ? "}" : "]";
  }

  // Reads text_[begin, end) followed by `closing`; returns the error of the
  // scan of its bytes.
  simdjson::error_code read_document(std::size_t begin, std::size_t end, std::string_view closing = {}) {
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
    od::document document;
    const Origin base{json.data(), begin};
    const simdjson::error_code error = parser_.iterate(json).get(document);
    if (error != simdjson::SUCCESS) {
      fail_at(begin);
      return error;
    }
    od::json_type type;
    if (document.type().get(type) != simdjson::SUCCESS) {
      fail(document, base);
    } else if (type == od::json_type::object) {
      records_.emplace_back();
      records_.back().line = lines_.line_at(text_.find_first_not_of(" \t\r\n", begin));
      if (!read_fields(document.get_object(), records_.back())) {
        records_.pop_back();
        fail(document, base);
      }
    } else if (type != od::json_type::array || !read_array(document, base)) {
      fail(document, base);
    }
    // Anything after the document's value is a fault of its own.
    const char* trailing = nullptr;
    if (!fault_line_ && document.current_location().get(trailing) == simdjson::SUCCESS) {
      fail_at(base.offset_of(trailing));
    }
    return simdjson::SUCCESS;
  }

  bool read_array(od::document& document, const Origin& base) {
    od::array array;
    if (document.get_array().get(array) != simdjson::SUCCESS) return false;
    for (auto element : array) {
      od::value value;
      if (element.get(value) != simdjson::SUCCESS) return false;
      const char* at = nullptr;
      if (value.current_location().get(at) != simdjson::SUCCESS) return false;
      OmmRecord record;
      record.line = lines_.line_at(base.offset_of(at));
      od::json_type type;
      if (value.type().get(type) != simdjson::SUCCESS) return false;
      if (type == od::json_type::object && !read_fields(value.get_object(), record)) return false;
      records_.push_back(std::move(record));
    }
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

  void fail(od::document& document, const Origin& base) {
    const char* at = nullptr;
    const std::size_t offset =
        document.current_location().get(at) == simdjson::SUCCESS ? base.offset_of(at) : text_.size();
    fail_at(offset);
  }

  void fail_at(std::size_t offset) {
    if (!fault_line_) fault_line_ = lines_.line_at(offset);
  }

  std::string text_;
  LineCounter lines_;
  // A copy of the document when it is read with a closing added, and the
  // parser, which holds the unescaped strings that the records' texts refer to.
  simdjson::padded_string copy_;
  od::parser parser_;
  std::vector<OmmRecord> records_;
  std::size_t next_ = 0;
  std::optional<int32_t> fault_line_;
};

}  // namespace

std::unique_ptr<OmmRecordReader> make_omm_json_reader(std::string text) {
  return std::make_unique<OmmJsonReader>(std::move(text));
}

}  // namespace vespera
