#include "report/report_headers.h"

#include <algorithm>

#include "format/format_writer.h"
#include "prediction/angles.h"
#include "report/day_number_to_date.h"
#include "report/item_list.h"
#include "report/line_values.h"

namespace vespera {

namespace {

struct HeaderFormats {
  Format morning_header{
      "(/,'***  ',i4,1x,a4,i3,2x,a3,' morning  *** Times are AM ',a4,' ***',i4,i2,i3,i2)"};
  Format evening_header{
      "(/,'***  ',i4,1x,a4,i3,2x,a3,' evening  *** Times are PM ',a4,' ***',i4,i2,i3,i2)"};

  Format radar_columns{"(/,' H  M  S Tim Al Azi C Dys F  Hgt  Rng')"};
  Format a_columns{
      "(/,' H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')"};
  Format b_columns{
      "(/,' H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd',a,'  R A  Dec RCS  Name')"};
  Format c_columns{
      "(/,' H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd',a,'  R A  Dec RCS  Name')"};
  Format d_columns{
      "(/,' H  M  S Tim Azi El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')"};
  Format e_columns{
      "(/,' H  M  S Tim    Azi    El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')"};

  Format pass_separator{"(1x)"};

  Format number_only{"(i5)"};
  Format number_and_name{"(i5,1x,3a4,a2)"};
  Format catalogue_entry{"(i5,1x,3a4,a2,12x,a4,1x,a1,f4.1,1x,8a4)"};
  Format catalogue_entry_sizes{"(i5,1x,3a4,a2,4a4,1x,a1,f4.1,1x,8a4)"};
  Format detailed_entry{"(i5,1x,3a4,a2,1x,2a4,12x,a4,1x,a1,f4.1,1x,5a4,a3)"};
  Format detailed_entry_sizes{"(i5,1x,3a4,a2,1x,2a4,4a4,1x,a1,f4.1,1x,5a4,a3)"};
  Format radar_entry{"(i5,1x,3a4,a2,1x,a1)"};
  Format radar_entry_comment{"(i5,1x,3a4,a2,1x,a1,2x,8a4)"};

  Format comment_line{"(8x,8a4)"};
};

const HeaderFormats& formats() {
  static const HeaderFormats compiled;
  return compiled;
}

// Comment words an identification or comment line has room for: 8 words
// (32 characters) end the line at column 75, or 5 words and 3 characters
// after the detail text.
constexpr int32_t kCommentWordsRoom = 8;
constexpr int32_t kDetailedCommentWordsRoom = 6;

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

// Room for the longest identification line: number, name, detail text,
// sizes, cross-section, flag letter, magnitude and comment.
using IdentificationItems = ItemList<24>;

// Adds the name's words (3a4,a2 takes its first 14 characters).
void add_name(IdentificationItems& items, const FixedText<16>& name) {
  for (std::size_t word = 0; word < 4; ++word) items.add(name.sub(4 * word, 4));
}

// Adds the comment's words, no more than `room`.
void add_comment(IdentificationItems& items, const MagnitudeInfo& info, int32_t room) {
  const int32_t words = std::clamp(info.commentLength, 0, room);
  for (int32_t word = 0; word < words; ++word) {
    items.add(info.comment.sub(static_cast<std::size_t>(4 * word), 4));
  }
}

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
  int32_t h1 = 0, m1 = 0, h2 = 0, m2 = 0;
  window_time(add_hours(x1, zoneOffsetHours), h1, m1);
  window_time(add_hours(morning_twilight, zoneOffsetHours), h2, m2);

  const HeaderFormats& f = formats();
  const Format& header = half == 1 ? f.morning_header : f.evening_header;
  header.append(out, {date.year, date.monthName, date.dayOfMonth, weekday_name(day_number),
                      zoneLabel, h1, m1, h2, m2});
}

void append_column_header(std::string& out, const RunSettings& settings) {
  const HeaderFormats& f = formats();
  if (settings.radarFormat) {
    f.radar_columns.append(out, {});
    return;
  }
  switch (settings.formatLetter) {
    case 'B':
      f.b_columns.append(out, {distance_label(settings.rangePhaseLetter)});
      break;
    case 'C':
      f.c_columns.append(out, {distance_label(settings.rangePhaseLetter)});
      break;
    case 'D':
      f.d_columns.append(out, {});
      break;
    case 'E':
      f.e_columns.append(out, {});
      break;
    default:
      f.a_columns.append(out, {});
      break;
  }
}

void append_pass_separator(std::string& out) { formats().pass_separator.append(out, {}); }

void append_pass_identification(std::string& out, int32_t ncat, const MagnitudeInfo& info,
                                const RunSettings& settings) {
  const char letter = settings.formatLetter;
  if (!settings.radarFormat && (letter == 'B' || letter == 'C')) return;

  const HeaderFormats& f = formats();
  const int32_t level = info.infoLevel;
  IdentificationItems items;
  items.add(ncat);
  if (level <= 1) {
    f.number_only.append(out, items.items());
    return;
  }
  add_name(items, info.name);
  if (level == 2) {
    f.number_and_name.append(out, items.items());
    return;
  }

  if (settings.radarFormat) {
    items.add(info.flag);
    if (level >= 7) {
      add_comment(items, info, kCommentWordsRoom);
      f.radar_entry_comment.append(out, items.items());
    } else {
      f.radar_entry.append(out, items.items());
    }
    return;
  }

  const bool with_sizes = level == 4 || level == 6 || level >= 8;
  if (settings.detailListing) {
    items.add(info.detail.sub(0, 4));
    items.add(info.detail.sub(4, 4));
  }
  if (with_sizes) {
    for (const FixedText<4>& size : info.sizes) items.add(size);
  }
  items.add(info.crossSection);
  items.add(info.flag);
  if (level >= 5) items.add(info.magnitude);
  if (level >= 7) {
    add_comment(items, info,
                settings.detailListing ? kDetailedCommentWordsRoom : kCommentWordsRoom);
  }
  const Format& layout = settings.detailListing
                             ? (with_sizes ? f.detailed_entry_sizes : f.detailed_entry)
                             : (with_sizes ? f.catalogue_entry_sizes : f.catalogue_entry);
  layout.append(out, items.items());
}

void append_comment_line(std::string& out, const MagnitudeInfo& info, const RunSettings& settings) {
  if (settings.detailLetter == 'N') return;
  if (info.infoLevel != 7 && info.infoLevel != 8) return;
  IdentificationItems items;
  add_comment(items, info, kCommentWordsRoom);
  formats().comment_line.append(out, items.items());
}

}  // namespace vespera
