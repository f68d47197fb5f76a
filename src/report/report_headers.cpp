#include "report/report_headers.h"

#include <array>
#include <string_view>

#include "format/catalogue_number.h"
#include "format/format_writer.h"
#include "prediction/angles.h"
#include "report/day_number_to_date.h"
#include "report/item_list.h"
#include "report/line_values.h"
#include "report/report_layouts.h"

namespace vespera {

namespace {

struct HeaderFormats {
  CompiledLayout morning_header{layouts::kMorningHeader};
  CompiledLayout evening_header{layouts::kEveningHeader};

  // The column headers, in the order of kColumnHeaderLetters.
  std::array<CompiledLayout, 6> columns{
      CompiledLayout(column_header_layout('R')), CompiledLayout(column_header_layout('A')),
      CompiledLayout(column_header_layout('B')), CompiledLayout(column_header_layout('C')),
      CompiledLayout(column_header_layout('D')), CompiledLayout(column_header_layout('E'))};

  CompiledLayout pass_separator{layouts::kPassSeparator};

  CompiledLayout number_only{layouts::kNumberOnly};
  CompiledLayout number_and_name{layouts::kNumberAndName};
  CompiledLayout catalogue_entry{layouts::kCatalogueEntry};
  CompiledLayout catalogue_entry_sizes{layouts::kCatalogueEntrySizes};
  CompiledLayout detailed_entry{layouts::kDetailedEntry};
  CompiledLayout detailed_entry_sizes{layouts::kDetailedEntrySizes};
  CompiledLayout radar_entry{layouts::kRadarEntry};
  CompiledLayout radar_entry_comment{layouts::kRadarEntryComment};

  CompiledLayout comment_line{layouts::kCommentLine};
};

constexpr std::string_view kColumnHeaderLetters = "RABCDE";

const HeaderFormats& formats() {
  static const HeaderFormats compiled;
  return compiled;
}

float add_hours(float x, float hours) {
  return static_cast<float>(static_cast<double>(x) + static_cast<double>(hours));
}

// A time of day (hours) moved by the zone offset into 0-24 h, split into
// whole hours and whole minutes.
void window_time(float x, int32_t& hours, int32_t& minutes) {
  if (x < 0.0f) x = add_hours(x, kHoursPerDay);
  if (x >= kHoursPerDay) x = add_hours(x, -kHoursPerDay);
  float m = 0.0f;
  split_turns(x, 60.0f, hours, m);
  minutes = static_cast<int32_t>(m);
}

// Room for the longest line here: an identification line with number, name,
// detail text, sizes, cross-section, flag letter, magnitude and comment.
using HeaderItems = ItemList<24>;

// Writes a layout with the items that `item_of` gives, up to the first it
// has not got (a line stops after its last item).
template <class ItemOf>
void append_layout(std::string& out, const CompiledLayout& line, const ItemOf& item_of) {
  HeaderItems items;
  for_each_item(line.layout, [&](ReportField field, std::size_t word) {
    if (!item_of.has(field, word)) return false;
    items.add(item_of(field, word));
    return true;
  });
  line.format.append(out, items.items());
}

// The items of a pass's identification and comment: the catalogue number and
// what the catalogue knows of the satellite, as far as info.infoLevel says.
struct CatalogueItems {
  FixedText<5> ncat;  // as catalogue_number_field writes it
  const MagnitudeInfo& info;

  bool has(ReportField field, std::size_t word) const {
    using F = ReportField;
    const int32_t level = info.infoLevel;
    switch (field) {
      case F::Ncat: return true;
      case F::Name: return level >= 2;
      case F::StandardMagnitude: return level >= 5;
      case F::Comment:
        return level >= 7 && static_cast<int64_t>(word) < static_cast<int64_t>(info.commentLength);
      default: return level >= 3;  // detail text, sizes, cross-section, flag letter
    }
  }
  FormatItem operator()(ReportField field, std::size_t word) const {
    using F = ReportField;
    switch (field) {
      case F::Ncat: return ncat;
      case F::Name: return info.name.sub(4 * word, 4);
      case F::Detail: return info.detail.sub(4 * word, 4);
      case F::Size: return info.sizes[word];
      case F::CrossSection: return info.crossSection;
      case F::Flag: return info.flag;
      case F::StandardMagnitude: return info.magnitude;
      default: return info.comment.sub(4 * word, 4);
    }
  }
};

// The items of a day header.
struct DayHeaderItems {
  const ReportDate& date;
  std::string_view weekday;
  const FixedText<4>& zoneLabel;
  int32_t window[4];  // h1, m1, h2, m2

  bool has(ReportField, std::size_t) const { return true; }
  FormatItem operator()(ReportField field, std::size_t) const {
    using F = ReportField;
    switch (field) {
      case F::Year: return date.year;
      case F::MonthName: return date.monthName;
      case F::DayOfMonth: return date.dayOfMonth;
      case F::Weekday: return weekday;
      case F::ZoneLabel: return zoneLabel;
      case F::WindowStartHour: return window[0];
      case F::WindowStartMinute: return window[1];
      case F::WindowEndHour: return window[2];
      default: return window[3];
    }
  }
};

// The one item of a column header, the distance label of formats B and C.
struct ColumnHeaderItems {
  std::string_view label;
  bool has(ReportField, std::size_t) const { return true; }
  FormatItem operator()(ReportField, std::size_t) const { return label; }
};

}  // namespace

std::string_view distance_label(char rangePhaseLetter) {
  return rangePhaseLetter == 'P' ? std::string_view(" Phs") : std::string_view("  Rng");
}

void append_day_header(std::string& out, int32_t day_number, int32_t half,
                       float zoneOffsetHours, const FixedText<4>& zoneLabel,
                       float evening_twilight, float morning_twilight) {
  const ReportDate date = day_number_to_date(day_number);

  float x1 = evening_twilight;
  if (x1 < 0.0f) x1 = add_hours(x1, kHoursPerDay);
  DayHeaderItems items{date, weekday_name(day_number), zoneLabel, {}};
  window_time(add_hours(x1, zoneOffsetHours), items.window[0], items.window[1]);
  window_time(add_hours(morning_twilight, zoneOffsetHours), items.window[2], items.window[3]);

  const HeaderFormats& f = formats();
  append_layout(out, half == 1 ? f.morning_header : f.evening_header, items);
}

void append_column_header(std::string& out, const ReportSettings& settings) {
  const HeaderFormats& f = formats();
  const ColumnHeaderItems label{distance_label(settings.rangePhaseLetter)};
  std::size_t at = kColumnHeaderLetters.find(settings.radarFormat ? 'R' : settings.formatLetter);
  // Any other letter has the columns of format A, as column_header_layout says.
  if (at == std::string_view::npos) at = kColumnHeaderLetters.find('A');
  append_layout(out, f.columns[at], label);
}

void append_pass_separator(std::string& out) { formats().pass_separator.format.append(out, {}); }

void append_pass_identification(std::string& out, int32_t ncat, const MagnitudeInfo& info,
                                const ReportSettings& settings) {
  const char letter = settings.formatLetter;
  if (!settings.radarFormat && (letter == 'B' || letter == 'C')) return;

  const HeaderFormats& f = formats();
  const CatalogueItems items{catalogue_number_field(ncat), info};
  const int32_t level = info.infoLevel;
  if (level <= 1) {
    append_layout(out, f.number_only, items);
  } else if (level == 2) {
    append_layout(out, f.number_and_name, items);
  } else if (settings.radarFormat) {
    append_layout(out, level >= 7 ? f.radar_entry_comment : f.radar_entry, items);
  } else {
    const bool with_sizes = level == 4 || level == 6 || level >= 8;
    if (settings.detailListing) {
      append_layout(out, with_sizes ? f.detailed_entry_sizes : f.detailed_entry, items);
    } else {
      append_layout(out, with_sizes ? f.catalogue_entry_sizes : f.catalogue_entry, items);
    }
  }
}

void append_comment_line(std::string& out, const MagnitudeInfo& info, const ReportSettings& settings) {
  if (settings.detailLetter == 'N') return;
  if (info.infoLevel != 7 && info.infoLevel != 8) return;
  append_layout(out, formats().comment_line, CatalogueItems{FixedText<5>(), info});
}

}  // namespace vespera
