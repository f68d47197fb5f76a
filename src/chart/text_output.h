// Where the chart program's texts go: a file being written, or a string.
#pragma once

#include <string>
#include <string_view>

namespace vespera::chart {

class TextOutput {
 public:
  virtual ~TextOutput() = default;
  virtual void write(std::string_view text) = 0;
};

// The texts kept in memory (tests, the fuzz target).
class TextBuffer : public TextOutput {
 public:
  void write(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace vespera::chart
