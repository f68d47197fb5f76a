#include "report/report_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "format/format_writer.h"
#include "report/day_number_to_date.h"
#include "report/report_headers.h"

namespace vespera {

namespace {

using State = PrintedValue::State;

constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerDay = 24 * kSecondsPerHour;
// The morning half of the day ends at noon.
constexpr int32_t kNoonHour = 12;

bool blank_line(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

int32_t whole(const PrintedValue& v) { return static_cast<int32_t>(v.number); }

PrintedValue number_only(PrintedValue v) {
  v.text = {};
  return v;
}

// The text of a column header's last line, written by its layout.
std::string column_header_text(const LineLayout& layout, char rangePhaseLetter) {
  std::string text;
  const Format format(layout.format);
  if (layout.items.empty()) {
    format.append(text, {});
  } else {
    format.append(text, {distance_label(rangePhaseLetter)});
  }
  text.pop_back();  // the line end
  return text.substr(text.rfind('\n') + 1);
}

// The report formats a column header can stand for: letter, phase shown.
struct FormatChoice {
  char letter;
  bool phase;
};
constexpr FormatChoice kFormatChoices[] = {{'A', false}, {'B', false}, {'B', true}, {'C', false},
                                           {'C', true},  {'D', false}, {'E', false}, {'R', false}};

}  // namespace

bool LocalDate::valid() const {
  return std::chrono::year_month_day{std::chrono::year(year),
                                     std::chrono::month(static_cast<unsigned>(month)),
                                     std::chrono::day(static_cast<unsigned>(day))}
      .ok();
}

int64_t LocalDate::days() const {
  using namespace std::chrono;
  const year_month_day ymd{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                           std::chrono::day(static_cast<unsigned>(day))};
  return sys_days(ymd).time_since_epoch().count();
}

LocalDate LocalDate::from_days(int64_t n) {
  using namespace std::chrono;
  const year_month_day ymd{sys_days(std::chrono::days(n))};
  return LocalDate{static_cast<int32_t>(ymd.year()), static_cast<int32_t>(unsigned(ymd.month())),
                   static_cast<int32_t>(unsigned(ymd.day()))};
}

std::optional<double> ReportPoint::altitude() const {
  const PrintedValue& exact = (*this)[ReportField::AltitudeDegrees];
  const PrintedValue& v = exact.state != State::Absent ? exact : (*this)[ReportField::Altitude];
  return v.has_number() ? std::optional<double>(v.number) : std::nullopt;
}

std::optional<double> ReportPoint::azimuth() const {
  const PrintedValue& exact = (*this)[ReportField::AzimuthDegrees];
  const PrintedValue& v = exact.state != State::Absent ? exact : (*this)[ReportField::Azimuth];
  return v.has_number() ? std::optional<double>(v.number) : std::nullopt;
}

std::string ReportPass::label() const {
  if (!identification.name.empty()) return identification.name;
  return std::to_string(identification.ncat);
}

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

std::optional<DayHeader> read_day_header(std::string_view line) {
  static const LayoutReader morning(layouts::kMorningHeader);
  static const LayoutReader evening(layouts::kEveningHeader);
  LineReading r;
  DayHeader h;
  if (morning.read(line, r)) {
    h.half = 1;
  } else if (evening.read(line, r)) {
    h.half = 2;
  } else {
    return std::nullopt;
  }
  h.monthName = std::string(r[ReportField::MonthName].text);
  const int32_t month = month_of_name(h.monthName);
  h.weekday = std::string(r[ReportField::Weekday].text);
  const int32_t day = whole(r[ReportField::DayOfMonth]);
  if (month == 0 || !is_weekday_abbreviation(h.weekday) || day < 1 || day > 31) {
    return std::nullopt;
  }
  h.date = LocalDate{whole(r[ReportField::Year]), month, day};
  if (!h.date.valid()) return std::nullopt;
  h.zoneLabel = std::string(r[ReportField::ZoneLabel].text);
  h.windowStartHour = whole(r[ReportField::WindowStartHour]);
  h.windowStartMinute = whole(r[ReportField::WindowStartMinute]);
  h.windowEndHour = whole(r[ReportField::WindowEndHour]);
  h.windowEndMinute = whole(r[ReportField::WindowEndMinute]);
  return h;
}

namespace {

// The layout readers of the lines of one report format.
struct FormatReaders {
  FormatReaders(char letter_in, bool phase_in)
      : letter(letter_in),
        phase(phase_in),
        texts{&layouts::kTimText, angle_text_layout(letter_in),
              &distance_text_layout(phase_in ? 'P' : 'R')} {
    if (letter == 'R') {
      prediction = std::make_unique<LayoutReader>(layouts::kRadarLine, texts);
      entry = std::make_unique<LayoutReader>(layouts::kRadarEntryComment);
    } else if (letter == 'B' || letter == 'C') {
      prediction = std::make_unique<LayoutReader>(layouts::kSkyLineWithDetails, texts);
      sky_number = std::make_unique<LayoutReader>(layouts::kSkyLineWithNumber, texts);
      sky_name = std::make_unique<LayoutReader>(layouts::kSkyLineWithName, texts);
    } else {
      prediction = std::make_unique<LayoutReader>(layouts::kLongLine, texts);
      entry = std::make_unique<LayoutReader>(layouts::kCatalogueEntrySizes);
      detailed_entry = std::make_unique<LayoutReader>(layouts::kDetailedEntrySizes);
    }
  }

  bool sky() const { return letter == 'B' || letter == 'C'; }
  // Where the values of a B or C line end: after the declination.
  std::size_t sky_values_end() const {
    std::size_t end = 0;
    for (const LayoutSegment& s : prediction->segments()) {
      if (s.kind == LayoutSegment::Kind::Item && s.item < layouts::kSkyLineValues.size()) {
        end = s.first + s.width;
      }
    }
    return end;
  }

  char letter;
  bool phase;
  InsertedTexts texts;
  std::unique_ptr<LayoutReader> prediction;
  std::unique_ptr<LayoutReader> sky_number, sky_name;
  std::unique_ptr<LayoutReader> entry, detailed_entry;
  LayoutReader comment{layouts::kCommentLine};
};

PassIdentification identification_of(const LineReading& r, int32_t line_number,
                                      std::string_view text) {
  PassIdentification id;
  id.line_number = line_number;
  id.text = std::string(text);
  const PrintedValue ncat = r[ReportField::Ncat];
  id.ncat = ncat.has_number() ? whole(ncat) : 0;
  id.name = r.text(ReportField::Name);
  id.detail = r.text(ReportField::Detail);
  id.sizes = r.text(ReportField::Size);
  id.crossSection = r.text(ReportField::CrossSection);
  const std::string flag = r.text(ReportField::Flag);
  id.flag = flag.empty() ? ' ' : flag.front();
  id.standardMagnitude = number_only(r[ReportField::StandardMagnitude]);
  id.comment = r.text(ReportField::Comment);
  return id;
}

// An identification line of formats A, D and E read both ways; which way
// the whole report reads decides whether it has the detail listing.
struct EntryReadings {
  std::size_t index = 0;  // of the line
  std::size_t pass = 0;
  bool plain_ok = false, detailed_ok = false;
  PassIdentification plain, detailed;
  std::string plain_problem, detailed_problem;
};

class ReportParser {
 public:
  ReportParser(std::string_view text, ReportContents& contents, ReportReadError& error)
      : lines_(report_lines(text)), c_(contents), error_(error) {}

  bool run();

 private:
  bool fail(std::size_t index, std::string expected) {
    error_.line_number = static_cast<int32_t>(index + 1);
    error_.expected = std::move(expected);
    return false;
  }
  std::string format_name() const { return std::string("format ") + readers_->letter; }

  bool read_settings();
  bool read_header(std::size_t index);
  bool read_column_header(std::size_t index);
  bool read_pass_line(std::size_t index);
  bool read_entry(std::size_t index);
  bool read_long_prediction(std::size_t index);
  bool read_sky_line(std::size_t index);
  bool read_sky_comment(std::size_t index);
  bool add_point(std::size_t index, const LineReading& r, bool starts_pass);
  bool place_in_time(std::size_t index, const LineReading& r, bool starts_pass, ReportPoint& p);
  bool settle_entries();
  void group_nights();

  std::vector<std::string_view> lines_;
  ReportContents& c_;
  ReportReadError& error_;
  std::unique_ptr<FormatReaders> readers_;
  bool expect_columns_ = false;
  bool pass_open_ = false;  // a pass under the current header takes continuation lines
  std::optional<PassIdentification> pending_;  // an identification line waiting for its first point
  std::vector<EntryReadings> entries_;
  LineReading reading_;
};

bool ReportParser::run() {
  c_ = ReportContents();
  if (lines_.empty()) return fail(0, "the settings line");
  if (!read_settings()) return false;
  for (std::size_t i = 1; i < lines_.size(); ++i) {
    const std::string_view line = lines_[i];
    if (blank_line(line)) continue;
    bool ok = true;
    if (line.starts_with("***")) {
      ok = read_header(i);
    } else if (expect_columns_) {
      ok = read_column_header(i);
    } else if (c_.headers.empty()) {
      ok = fail(i, "a day header (\"***  \", the date and the observing window)");
    } else {
      ok = read_pass_line(i);
    }
    if (!ok) return false;
  }
  if (expect_columns_) return fail(lines_.size(), "a column header after the last day header");
  if (pending_) {
    return fail(static_cast<std::size_t>(pending_->line_number - 1),
                "a prediction line after the last identification line");
  }
  if (!settle_entries()) return false;
  group_nights();
  return true;
}

bool ReportParser::read_settings() {
  static const LayoutReader settings(layouts::kSettingsLine);
  if (!settings.read(lines_[0], reading_)) {
    return fail(0, "the settings line (latitude, west longitude, height, site, equinox, "
                   "magnitude limit, minimum altitude, five T/F flags): " +
                       reading_.problem);
  }
  const LineReading& r = reading_;
  SettingsLine& s = c_.settings;
  s.latitude = r[ReportField::Latitude].number;
  s.westLongitude = r[ReportField::WestLongitude].number;
  s.heightFeet = r[ReportField::HeightFeet].number;
  s.siteName = r.text(ReportField::SiteName);
  s.equinoxYear = whole(r[ReportField::EquinoxYear]);
  s.magnitudeLimit = r[ReportField::MagnitudeLimit].number;
  s.minAltitude = whole(r[ReportField::MinAltitude]);
  s.radarFormat = r[ReportField::RadarFormat].number != 0.0;
  s.ignoreShadow = r[ReportField::IgnoreShadow].number != 0.0;
  s.walkPasses = r[ReportField::WalkPasses].number != 0.0;
  s.distancesInMiles = r[ReportField::DistancesInMiles].number != 0.0;
  s.blankLineBeforePass = r[ReportField::BlankLineBeforePass].number != 0.0;
  return true;
}

bool ReportParser::read_header(std::size_t index) {
  if (expect_columns_) return fail(index, "a column header after the day header");
  if (pending_) return fail(index, "a prediction line after the identification line");
  std::optional<DayHeader> header = read_day_header(lines_[index]);
  if (!header) {
    return fail(index, "a day header: \"***  \", year, month, day, weekday, \" morning  *** "
                       "Times are AM \" or \" evening  *** Times are PM \", zone and window");
  }
  header->line_number = static_cast<int32_t>(index + 1);
  c_.headers.push_back(*header);
  expect_columns_ = true;
  pass_open_ = false;
  return true;
}

bool ReportParser::read_column_header(std::size_t index) {
  const std::string_view line = lines_[index];
  for (const FormatChoice& choice : kFormatChoices) {
    const LineLayout& layout = column_header_layout(choice.letter);
    if (line != column_header_text(layout, choice.phase ? 'P' : 'R')) continue;
    if (readers_ && (readers_->letter != choice.letter || readers_->phase != choice.phase)) {
      return fail(index, "the column header of " + format_name() + " as above");
    }
    if (!readers_) {
      readers_ = std::make_unique<FormatReaders>(choice.letter, choice.phase);
      c_.formatLetter = choice.letter;
      c_.phaseShown = choice.phase;
      for (const LayoutSegment& s : readers_->prediction->segments()) {
        if (s.kind == LayoutSegment::Kind::Item &&
            static_cast<std::size_t>(s.field) < kPointFieldCount) {
          c_.pointColumns.push_back({s.field, s.first, s.width, s.decimals});
        }
      }
    }
    c_.headers.back().column_header_line = static_cast<int32_t>(index + 1);
    expect_columns_ = false;
    return true;
  }
  return fail(index, "the column header of a report format (\" H  M  S Tim ...\")");
}

bool ReportParser::read_pass_line(std::size_t index) {
  if (readers_->sky()) return read_sky_line(index);
  // An identification line has a catalogue number in columns 1-5; a
  // prediction line has the hour and the minute there, with a blank between.
  const std::string_view line = lines_[index];
  const PrintedValue ncat = read_catalogue_number(line.substr(0, 5));
  if (ncat.has_number() && line.size() >= 5 && (line.size() == 5 || line[5] == ' ')) {
    return read_entry(index);
  }
  return read_long_prediction(index);
}

bool ReportParser::read_entry(std::size_t index) {
  if (pending_) return fail(index, "a prediction line after the identification line");
  const std::string_view line = lines_[index];
  EntryReadings e;
  e.index = index;
  e.pass = c_.passes.size();
  LineReading r;
  e.plain_ok = readers_->entry->read(line, r, 1);
  e.plain_problem = r.problem;
  if (e.plain_ok) e.plain = identification_of(r, static_cast<int32_t>(index + 1), line);
  if (readers_->detailed_entry) {
    e.detailed_ok = readers_->detailed_entry->read(line, r, 1);
    e.detailed_problem = r.problem;
    if (e.detailed_ok) e.detailed = identification_of(r, static_cast<int32_t>(index + 1), line);
  }
  if (!e.plain_ok && !e.detailed_ok) {
    return fail(index, "a pass identification line: " + e.plain_problem);
  }
  pending_ = e.plain_ok ? e.plain : e.detailed;
  entries_.push_back(std::move(e));
  return true;
}

bool ReportParser::read_long_prediction(std::size_t index) {
  if (!readers_->prediction->read(lines_[index], reading_)) {
    return fail(index, "a prediction line of " + format_name() + ": " + reading_.problem);
  }
  if (!pending_ && !pass_open_) {
    return fail(index, "a pass identification line (the catalogue number in columns 1-5)");
  }
  const bool starts_pass = pending_.has_value();
  if (starts_pass) {
    c_.passes.push_back(ReportPass());
    c_.passes.back().identification = std::move(*pending_);
    pending_.reset();
  }
  return add_point(index, reading_, starts_pass);
}

bool ReportParser::read_sky_line(std::size_t index) {
  const std::string_view line = lines_[index];
  if (line.starts_with("        ")) return read_sky_comment(index);
  const std::size_t values_end = readers_->sky_values_end();
  if (line.size() <= values_end) {
    if (!readers_->prediction->read(line, reading_, layouts::kSkyLineValues.size())) {
      return fail(index, "a prediction line of " + format_name() + ": " + reading_.problem);
    }
    if (!pass_open_) {
      return fail(index, "the first line of a pass, with its identification after column " +
                             std::to_string(values_end));
    }
    return add_point(index, reading_, false);
  }
  const std::size_t least = layouts::kSkyLineValues.size() + 1;
  if (!readers_->sky_number->read(line, reading_) &&
      !readers_->sky_name->read(line, reading_, least) &&
      !readers_->prediction->read(line, reading_, least)) {
    return fail(index, "the first line of a pass of " + format_name() + ": " + reading_.problem);
  }
  c_.passes.push_back(ReportPass());
  c_.passes.back().identification =
      identification_of(reading_, static_cast<int32_t>(index + 1), line.substr(values_end));
  return add_point(index, reading_, true);
}

bool ReportParser::read_sky_comment(std::size_t index) {
  LineReading r;
  if (!pass_open_ || c_.passes.back().points.size() != 1 ||
      c_.passes.back().comment_line_number != 0 || !readers_->comment.read(lines_[index], r, 1)) {
    return fail(index, "a prediction line of " + format_name() +
                           " (a comment line stands only under the first line of a pass)");
  }
  c_.passes.back().commentLine = r.text(ReportField::Comment);
  c_.passes.back().comment_line_number = static_cast<int32_t>(index + 1);
  return true;
}

bool ReportParser::add_point(std::size_t index, const LineReading& r, bool starts_pass) {
  ReportPoint p;
  p.line_number = static_cast<int32_t>(index + 1);
  for (const LineReading::Value& v : r.values) {
    const auto field = static_cast<std::size_t>(v.field);
    if (field < kPointFieldCount && p.values[field].state == State::Absent) {
      p.values[field] = number_only(v.value);
    }
  }
  PrintedValue& mark = p.values[static_cast<std::size_t>(ReportField::FoundMark)];
  const std::string_view mark_text = r[ReportField::FoundMark].text;
  if (mark_text != "C" && mark_text != " ") {
    return fail(index, "C or a blank in " + readers_->prediction->columns_of(ReportField::FoundMark));
  }
  mark.state = State::Number;
  mark.number = mark_text == "C" ? 1.0 : 0.0;
  if (!place_in_time(index, r, starts_pass, p)) return false;
  ReportPass& pass = c_.passes.back();
  if (starts_pass) pass.header = c_.headers.size() - 1;
  pass.points.push_back(p);
  pass_open_ = true;
  ++c_.predictionLines;
  return true;
}

// The point's local date and time on the 24-hour clock. On the 12-hour
// clock the hours 1-12 stand for two times of day; the half of the day in
// the header decides for the first point of a pass, and the time nearest the
// point before it for the others.
bool ReportParser::place_in_time(std::size_t index, const LineReading& r, bool starts_pass,
                                 ReportPoint& p) {
  const int32_t hour = whole(r[ReportField::Hour]);
  const int32_t minute = whole(r[ReportField::Minute]);
  const int32_t second = whole(r[ReportField::Second]);
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return fail(index, "a time of day in columns 1-8 of a prediction line");
  }
  const int32_t rest = minute * 60 + second;
  int32_t candidates[2] = {hour * kSecondsPerHour + rest, -1};
  if (hour >= 1 && hour <= kNoonHour) {
    candidates[0] = (hour % kNoonHour) * kSecondsPerHour + rest;
    candidates[1] = candidates[0] + kNoonHour * kSecondsPerHour;
  }
  if (starts_pass) {
    const DayHeader& header = c_.headers.back();
    const bool evening = header.half == 2;
    for (const int32_t t : candidates) {
      if (t >= 0 && (t >= kNoonHour * kSecondsPerHour) == evening) {
        p.date = header.date;
        p.seconds_of_day = t;
        return true;
      }
    }
    return fail(index, std::string("a time in the ") + (evening ? "evening" : "morning") +
                           ", as the day header says");
  }
  const ReportPoint& before = c_.passes.back().points.back();
  const int64_t previous = before.date.days() * kSecondsPerDay + before.seconds_of_day;
  int64_t best = 0;
  bool found = false;
  for (const int32_t t : candidates) {
    if (t < 0) continue;
    int64_t delta = (t - before.seconds_of_day) % kSecondsPerDay;
    if (delta >= kSecondsPerDay / 2) delta -= kSecondsPerDay;
    if (delta < -kSecondsPerDay / 2) delta += kSecondsPerDay;
    if (!found || std::llabs(delta) < std::llabs(best)) best = delta;
    found = true;
  }
  const int64_t now = previous + best;
  p.date = LocalDate::from_days(now / kSecondsPerDay);
  p.seconds_of_day = static_cast<int32_t>(now % kSecondsPerDay);
  return true;
}

// Formats A, D and E: the identification lines read with or without the
// detail text; the reading that fits every line of the report holds.
bool ReportParser::settle_entries() {
  const bool plain = std::all_of(entries_.begin(), entries_.end(),
                                 [](const EntryReadings& e) { return e.plain_ok; });
  if (!plain) {
    for (const EntryReadings& e : entries_) {
      if (!e.detailed_ok) {
        return fail(e.index, "a pass identification line like the others: " + e.detailed_problem);
      }
    }
    c_.detailListing = true;
  }
  for (EntryReadings& e : entries_) {
    c_.passes[e.pass].identification = plain ? std::move(e.plain) : std::move(e.detailed);
  }
  return true;
}

// Nights run from noon to noon: an evening header's date begins its night,
// a morning header belongs to the night of the day before.
void ReportParser::group_nights() {
  for (std::size_t h = 0; h < c_.headers.size(); ++h) {
    const DayHeader& header = c_.headers[h];
    const LocalDate evening =
        header.half == 2 ? header.date : LocalDate::from_days(header.date.days() - 1);
    auto night = std::find_if(c_.nights.begin(), c_.nights.end(),
                              [&](const ReportNight& n) { return n.evening == evening; });
    if (night == c_.nights.end()) {
      c_.nights.push_back(ReportNight{evening, {}, {}});
      night = c_.nights.end() - 1;
    }
    night->headers.push_back(h);
  }
  for (std::size_t p = 0; p < c_.passes.size(); ++p) {
    const std::size_t header = c_.passes[p].header;
    for (ReportNight& night : c_.nights) {
      if (std::find(night.headers.begin(), night.headers.end(), header) != night.headers.end()) {
        night.passes.push_back(p);
      }
    }
  }
}

}  // namespace

bool read_report(std::string_view text, ReportContents& contents, ReportReadError& error) {
  error = ReportReadError();
  return ReportParser(text, contents, error).run();
}

}  // namespace vespera
