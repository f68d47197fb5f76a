// The CSV form of the OMM: a header line of keywords, then one record a line.
#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/omm_readers.h"

namespace vespera {
namespace {

class OmmCsvReader : public OmmRecordReader {
 public:
  explicit OmmCsvReader(std::string text) : text_(std::move(text)), at_(byte_order_mark_size(text_)) {
    read_header();
  }

  OmmStep next(OmmRecord& record) override {
    if (header_broken_) {
      header_broken_ = false;
      at_ = text_.size();
      record.clear();
      record.line = 1;
      return OmmStep::Malformed;
    }
    skip_empty_lines();
    if (at_ >= text_.size()) return OmmStep::End;
    record.clear();
    record.line = line_;
    spilled_.clear();
    std::size_t column = 0;
    for (bool more = true; more; ++column) {
      if (!read_field()) {
        at_ = text_.size();
        return OmmStep::Malformed;
      }
      if (column < keys_.size() && keys_[column]) record.set(*keys_[column], field_);
      more = end_field();
    }
    return OmmStep::Record;
  }

 private:
  void read_header() {
    for (bool more = at_ < text_.size(); more;) {
      if (!read_field()) {
        header_broken_ = true;
        return;
      }
      keys_.push_back(omm_key(trimmed(field_)));
      more = end_field();
    }
  }

  static std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
  }

  bool line_end_at(std::size_t at) const {
    return at < text_.size() && (text_[at] == '\n' || text_[at] == '\r');
  }

  // Steps over the line end at at_: LF, CRLF or a lone CR.
  void take_line_end() {
    if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
    ++at_;
    ++line_;
  }

  void skip_empty_lines() {
    while (line_end_at(at_)) take_line_end();
  }

  // Reads the field at at_ into field_, up to the comma or line end after it.
  // False for a quoted field that never ends.
  bool read_field() {
    std::size_t start = at_;
    while (start < text_.size() && text_[start] == ' ') ++start;
    std::string* joined = nullptr;  // the field's text when it is not one piece of the file
    if (start < text_.size() && text_[start] == '"') {
      at_ = start + 1;
      joined = &spilled_.emplace_back();
      if (!read_quoted(*joined)) return false;
    }
    std::size_t end = at_;
    while (end < text_.size() && text_[end] != ',' && text_[end] != '\n' && text_[end] != '\r') ++end;
    if (joined != nullptr) {
      joined->append(text_, at_, end - at_);
      field_ = *joined;
    } else {
      field_ = std::string_view(text_).substr(at_, end - at_);
    }
    at_ = end;
    return true;
  }

  // The inside of a quoted field: "" stands for a quote; line ends belong to
  // the field.
  bool read_quoted(std::string& field) {
    for (;;) {
      const std::size_t quote = text_.find('"', at_);
      if (quote == std::string::npos) return false;
      for (std::size_t i = at_; i < quote; ++i) {
        if (text_[i] == '\n' || (text_[i] == '\r' && text_[i + 1] != '\n')) ++line_;
      }
      field.append(text_, at_, quote - at_);
      at_ = quote + 1;
      if (at_ >= text_.size() || text_[at_] != '"') return true;
      field.push_back('"');
      ++at_;
    }
  }

  // Steps over the comma or line end after a field: true when another field
  // of the same line follows.
  bool end_field() {
    if (at_ < text_.size() && text_[at_] == ',') {
      ++at_;
      return true;
    }
    if (line_end_at(at_)) take_line_end();
    return false;
  }

  std::string text_;
  std::size_t at_ = 0;
  int32_t line_ = 1;  // the line of at_
  std::vector<std::optional<OmmKey>> keys_;  // the keyword of each column
  std::string_view field_;         // the field read last
  std::deque<std::string> spilled_;  // the quoted fields of the record (stable places)
  bool header_broken_ = false;     // a quoted keyword never ends
};

}  // namespace

std::unique_ptr<OmmRecordReader> make_omm_csv_reader(std::string text) {
  return std::make_unique<OmmCsvReader>(std::move(text));
}

}  // namespace vespera
