// A whole report read into memory: every header, pass and point kept, the
// passes grouped into nights.
#include <cstdint>
#include <map>

#include "report/line_splitter.h"
#include "report/report_reader.h"

namespace vespera {

namespace {

class ContentsCollector : public ReportReceiver {
 public:
  explicit ContentsCollector(ReportContents& contents) : c_(contents) {}

  void settings(const SettingsLine& s) override { c_.settings = s; }
  void format(const ReportFormat& f) override {
    c_.formatLetter = f.letter;
    c_.phaseShown = f.phaseShown;
    c_.pointColumns = f.pointColumns;
  }
  // A night whose headers come back after another night's takes them in
  // again: the nights are found by their evenings.
  void header(const DayHeader& h, std::size_t index, bool starts_night) override {
    c_.headers.push_back(h);
    const LocalDate evening = h.night_evening();
    if (starts_night) {
      const auto [night, added] = night_of_evening_.try_emplace(evening.days(), c_.nights.size());
      if (added) c_.nights.push_back(ReportNight{evening, {}, {}});
      current_ = night->second;
    }
    c_.nights[current_].headers.push_back(index);
  }
  void pass(ReportPass&& pass) override {
    c_.nights[current_].passes.push_back(c_.passes.size());
    c_.passes.push_back(std::move(pass));
  }

 private:
  ReportContents& c_;
  std::map<int64_t, std::size_t> night_of_evening_;  // days of the evening: index in c_.nights
  std::size_t current_ = 0;
};

}  // namespace

std::vector<std::string_view> report_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
  }
  return lines;
}

bool read_report(std::string_view text, ReportContents& contents, ReportReadError& error) {
  contents = ReportContents();
  ContentsCollector collector(contents);
  ReportReader reader(collector);
  LineSplitter splitter;
  const auto take = [&reader](std::string_view line) { return reader.read_line(line); };
  const bool ok = splitter.feed(text, take) && splitter.finish(take) && reader.finish();
  error = ok ? ReportReadError() : reader.error();
  contents.detailListing = reader.detail_listing();
  contents.predictionLines = reader.prediction_lines();
  return ok;
}

}  // namespace vespera
