#include "report/report_reader.h"

#include <cstdlib>
#include <string>

#include "format/format_writer.h"
#include "report/catalogue_number.h"
#include "report/day_number_to_date.h"
#include "report/format_readers.h"
#include "report/read_ahead.h"

namespace vespera {

namespace {

using State = PrintedValue::State;

constexpr int32_t kSecondsPerHour = 3600;
constexpr int64_t kSecondsPerDay = 24 * kSecondsPerHour;
// The morning half of the day ends at noon.
constexpr int32_t kNoonHour = 12;

bool blank_line(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

int32_t whole(const PrintedValue& v) { return static_cast<int32_t>(v.number); }

PrintedValue number_only(PrintedValue v) {
  v.text = {};
  return v;
}

// Whole days in `seconds` counted from midnight, rounded down also before
// 1970 (where the seconds are negative).
int64_t floor_days(int64_t seconds) {
  const int64_t days = seconds / kSecondsPerDay;
  return seconds % kSecondsPerDay < 0 ? days - 1 : days;
}

PassIdentification identification_of(const LineReading& r, int32_t line_number, std::string_view text) {
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

}  // namespace

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

// The reading of a report, one line after another. Formats A, D and E: an
// identification line may read with the detail text or without it, and the
// whole report must read one way; as long as every line reads without it,
// that reading is taken, and from the first line that reads only with it
// on, that one. A line that then reads only without it is named at the end.
class ReportParser {
 public:
  explicit ReportParser(ReportReceiver& receiver) : receiver_(receiver) {}

  bool read_line(std::string_view line, const ReadAhead* ahead);
  bool finish();

  ReportReadError error;
  bool detail_listing = false;
  std::size_t prediction_lines = 0;

 private:
  bool fail(int64_t line_number, std::string expected) {
    error.line_number = static_cast<int32_t>(line_number);
    error.expected = std::move(expected);
    return false;
  }
  bool fail_here(std::string expected) { return fail(line_number_, std::move(expected)); }
  std::string format_name() const { return std::string("format ") + readers_->letter; }
  int32_t here() const { return static_cast<int32_t>(line_number_); }

  bool read_settings(std::string_view line);
  bool read_header(std::string_view line);
  bool read_column_header(std::string_view line);
  bool read_pass_line(std::string_view line, const ReadAhead* ahead);
  bool read_values(PassLineKind kind, std::string_view line, const ReadAhead* ahead);
  bool read_entry(std::string_view line);
  bool read_long_prediction(std::string_view line, const ReadAhead* ahead);
  bool read_sky_continuation(std::string_view line, const ReadAhead* ahead);
  bool read_sky_first(std::string_view line);
  bool read_sky_comment(std::string_view line);
  void start_pass(PassIdentification identification);
  void end_pass();
  // A point of the pass: its values read into point_ (add_read_point) or
  // taken from a reading.
  bool add_point(const LineReading& r, bool starts_pass);
  bool add_read_point(bool starts_pass);
  bool place_in_time(bool starts_pass, ReportPoint& p);

  ReportReceiver& receiver_;
  int64_t line_number_ = 0;
  std::unique_ptr<FormatReaders> readers_;
  const FormatChoice* choice_ = nullptr;  // the format of readers_
  std::optional<DayHeader> header_;  // the day header the lines are under
  std::size_t headers_ = 0;          // read so far
  LocalDate last_evening_;           // the night of the header before
  bool expect_columns_ = false;
  std::optional<PassIdentification> pending_;  // an identification line waiting for its first point
  std::optional<ReportPass> pass_;             // the pass that takes continuation lines
  // The first identification line that does not read with the detail text.
  int64_t first_plain_only_ = 0;
  std::string first_plain_only_problem_;
  LineReading reading_;
  LineReading entry_reading_;
  ReportPoint point_;  // the point being read
};

bool ReportParser::read_line(std::string_view line, const ReadAhead* ahead) {
  ++line_number_;
  if (line_number_ == 1) return read_settings(line);
  if (blank_line(line)) return true;
  if (line.starts_with("***")) return read_header(line);
  if (expect_columns_) return read_column_header(line);
  if (!header_) return fail_here("a day header (\"***  \", the date and the observing window)");
  return read_pass_line(line, ahead);
}

bool ReportParser::finish() {
  if (line_number_ == 0) return fail(1, "the settings line");
  if (expect_columns_) return fail(line_number_ + 1, "a column header after the last day header");
  if (pending_) return fail(pending_->line_number, "a prediction line after the last identification line");
  if (detail_listing && first_plain_only_ > 0) {
    return fail(first_plain_only_, "a pass identification line like the others: " + first_plain_only_problem_);
  }
  end_pass();
  return true;
}

bool ReportParser::read_settings(std::string_view line) {
  static const LayoutReader settings(layouts::kSettingsLine);
  if (!settings.read(line, reading_)) {
    return fail_here("the settings line (latitude, west longitude, height, site, equinox, "
                     "magnitude limit, minimum altitude, five T/F flags): " +
                     reading_.problem);
  }
  const LineReading& r = reading_;
  SettingsLine s;
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
  receiver_.settings(s);
  return true;
}

bool ReportParser::read_header(std::string_view line) {
  if (expect_columns_) return fail_here("a column header after the day header");
  if (pending_) return fail_here("a prediction line after the identification line");
  std::optional<DayHeader> header = read_day_header(line);
  if (!header) {
    return fail_here("a day header: \"***  \", year, month, day, weekday, \" morning  *** "
                     "Times are AM \" or \" evening  *** Times are PM \", zone and window");
  }
  end_pass();
  header->line_number = here();
  header_ = std::move(header);
  expect_columns_ = true;
  return true;
}

bool ReportParser::read_column_header(std::string_view line) {
  const FormatChoice* choice = column_header_format(line);
  if (choice == nullptr) return fail_here("the column header of a report format (\" H  M  S Tim ...\")");
  if (readers_ && (readers_->letter != choice->letter || readers_->phase != choice->phase)) {
    return fail_here("the column header of " + format_name() + " as above");
  }
  if (!readers_) {
    readers_ = std::make_unique<FormatReaders>(choice->letter, choice->phase);
    choice_ = choice;
    receiver_.format(report_format(*readers_));
  }
  header_->column_header_line = here();
  expect_columns_ = false;
  const bool starts_night = headers_ == 0 || last_evening_ != header_->night_evening();
  last_evening_ = header_->night_evening();
  receiver_.header(*header_, headers_++, starts_night);
  return true;
}

bool ReportParser::read_pass_line(std::string_view line, const ReadAhead* ahead) {
  const PassLineKind kind = pass_line_kind(*readers_, line);
  switch (kind) {
    case PassLineKind::Identification: return read_entry(line);
    case PassLineKind::Prediction: return read_long_prediction(line, ahead);
    case PassLineKind::SkyComment: return read_sky_comment(line);
    case PassLineKind::SkyContinuation: return read_sky_continuation(line, ahead);
    case PassLineKind::SkyFirst: return read_sky_first(line);
  }
  return false;
}

// The values of a prediction line into point_: those read ahead by the same
// format, or read now.
bool ReportParser::read_values(PassLineKind kind, std::string_view line, const ReadAhead* ahead) {
  if (ahead != nullptr && ahead->format == choice_) {
    point_.values = ahead->values;
    return true;
  }
  point_.values = {};
  if (read_prediction_values(*readers_, kind, line, point_.values, reading_.problem)) return true;
  return fail_here("a prediction line of " + format_name() + ": " + reading_.problem);
}

bool ReportParser::read_entry(std::string_view line) {
  if (pending_) return fail_here("a prediction line after the identification line");
  LineReading& r = entry_reading_;
  const bool plain_ok = readers_->entry->read(line, r, 1);
  if (!plain_ok && !readers_->detailed_entry) return fail_here("a pass identification line: " + r.problem);
  if (plain_ok && !detail_listing) {
    pending_ = identification_of(r, here(), line);
    if (readers_->detailed_entry && first_plain_only_ == 0 && !readers_->detailed_entry->read(line, r, 1)) {
      first_plain_only_ = line_number_;
      first_plain_only_problem_ = r.problem;
    }
    return true;
  }
  const std::string plain_problem = r.problem;
  if (!readers_->detailed_entry->read(line, r, 1)) {
    if (!plain_ok) return fail_here("a pass identification line: " + plain_problem);
    if (first_plain_only_ == 0) {
      first_plain_only_ = line_number_;
      first_plain_only_problem_ = r.problem;
    }
    readers_->entry->read(line, r, 1);
  } else if (!plain_ok) {
    detail_listing = true;
  }
  pending_ = identification_of(r, here(), line);
  return true;
}

bool ReportParser::read_long_prediction(std::string_view line, const ReadAhead* ahead) {
  if (!read_values(PassLineKind::Prediction, line, ahead)) return false;
  if (!pending_ && !pass_) return fail_here("a pass identification line (the catalogue number in columns 1-5)");
  const bool starts_pass = pending_.has_value();
  if (starts_pass) {
    start_pass(std::move(*pending_));
    pending_.reset();
  }
  return add_read_point(starts_pass);
}

bool ReportParser::read_sky_continuation(std::string_view line, const ReadAhead* ahead) {
  if (!read_values(PassLineKind::SkyContinuation, line, ahead)) return false;
  if (!pass_) {
    return fail_here("the first line of a pass, with its identification after column " +
                     std::to_string(readers_->sky_values_end()));
  }
  return add_read_point(false);
}

bool ReportParser::read_sky_first(std::string_view line) {
  const std::size_t values_end = readers_->sky_values_end();
  const std::size_t least = layouts::kSkyLineValues.size() + 1;
  if (!readers_->sky_number->read(line, reading_) && !readers_->sky_name->read(line, reading_, least) &&
      !readers_->prediction->read(line, reading_, least)) {
    return fail_here("the first line of a pass of " + format_name() + ": " + reading_.problem);
  }
  start_pass(identification_of(reading_, here(), line.substr(values_end)));
  return add_point(reading_, true);
}

bool ReportParser::read_sky_comment(std::string_view line) {
  LineReading r;
  if (!pass_ || pass_->points.size() != 1 || pass_->comment_line_number != 0 ||
      !readers_->comment.read(line, r, 1)) {
    return fail_here("a prediction line of " + format_name() +
                     " (a comment line stands only under the first line of a pass)");
  }
  pass_->commentLine = r.text(ReportField::Comment);
  pass_->comment_line_number = here();
  return true;
}

void ReportParser::start_pass(PassIdentification identification) {
  end_pass();
  pass_.emplace();
  pass_->identification = std::move(identification);
  pass_->header = headers_ - 1;
}

void ReportParser::end_pass() {
  if (!pass_) return;
  receiver_.pass(std::move(*pass_));
  pass_.reset();
}

bool ReportParser::add_point(const LineReading& r, bool starts_pass) {
  point_.values = {};
  for (const LineReading::Value& v : r.values) {
    const auto field = static_cast<std::size_t>(v.field);
    if (field < kPointFieldCount && point_.values[field].state == State::Absent) point_.values[field] = v.value;
  }
  return add_read_point(starts_pass);
}

bool ReportParser::add_read_point(bool starts_pass) {
  ReportPoint& p = point_;
  p.line_number = here();
  PrintedValue& mark = p.values[static_cast<std::size_t>(ReportField::FoundMark)];
  const bool found = mark.text.size() == 1 && mark.text[0] == 'C';
  if (!found && !(mark.text.size() == 1 && mark.text[0] == ' ')) {
    return fail_here("C or a blank in " + readers_->prediction->columns_of(ReportField::FoundMark));
  }
  mark.state = State::Number;
  mark.number = found ? 1.0 : 0.0;
  if (!place_in_time(starts_pass, p)) return false;
  receiver_.point(*pass_, p);
  for (PrintedValue& v : p.values) v.text = {};
  pass_->points.push_back(p);
  ++prediction_lines;
  return true;
}

// The point's local date and time on the 24-hour clock. On the 12-hour
// clock the hours 1-12 stand for two times of day; the half of the day in
// the header decides for the first point of a pass, and the time nearest the
// point before it for the others.
bool ReportParser::place_in_time(bool starts_pass, ReportPoint& p) {
  const int32_t hour = whole(p[ReportField::Hour]);
  const int32_t minute = whole(p[ReportField::Minute]);
  const int32_t second = whole(p[ReportField::Second]);
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return fail_here("a time of day in columns 1-8 of a prediction line");
  }
  const int32_t rest = minute * 60 + second;
  int32_t candidates[2] = {hour * kSecondsPerHour + rest, -1};
  if (hour >= 1 && hour <= kNoonHour) {
    candidates[0] = (hour % kNoonHour) * kSecondsPerHour + rest;
    candidates[1] = candidates[0] + kNoonHour * kSecondsPerHour;
  }
  if (starts_pass) {
    const bool evening = header_->half == 2;
    for (const int32_t t : candidates) {
      if (t >= 0 && (t >= kNoonHour * kSecondsPerHour) == evening) {
        p.date = header_->date;
        p.seconds_of_day = t;
        return true;
      }
    }
    return fail_here(std::string("a time in the ") + (evening ? "evening" : "morning") +
                     ", as the day header says");
  }
  const ReportPoint& before = pass_->points.back();
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
  const int64_t now = before.local_seconds() + best;
  const int64_t day = floor_days(now);
  p.date = LocalDate::from_days(day);
  p.seconds_of_day = static_cast<int32_t>(now - day * kSecondsPerDay);
  return true;
}

ReportReader::ReportReader(ReportReceiver& receiver) : parser_(std::make_unique<ReportParser>(receiver)) {}
ReportReader::~ReportReader() = default;

bool ReportReader::read_line(std::string_view line, const ReadAhead* ahead) {
  return parser_->read_line(line, ahead);
}
bool ReportReader::finish() { return parser_->finish(); }
const ReportReadError& ReportReader::error() const { return parser_->error; }
bool ReportReader::detail_listing() const { return parser_->detail_listing; }
std::size_t ReportReader::prediction_lines() const { return parser_->prediction_lines; }

}  // namespace vespera
