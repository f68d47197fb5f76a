// The layouts of the report's lines, each defined once: its format and the
// names of the items that format writes, in order. The writer builds its item
// lists from these names, and the report reader finds the columns of every
// item by walking the same compiled format (layout_columns.h), so a change of
// a format or of its items moves the writer and the reader together.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "format/format_writer.h"

namespace vespera {

// What an item of a report line holds.
enum class ReportField : uint8_t {
  // The values of a prediction line (a point of a pass).
  Hour,
  Minute,
  Second,
  TimeError,        // Tim: seconds, blank when 3 or less
  Altitude,         // whole degrees
  Azimuth,          // whole degrees (from the south with azimuth letter A)
  AzimuthDegrees,   // format E: two decimals, never turned by the azimuth letter
  AltitudeDegrees,  // format E
  FoundMark,        // C where the pass was found
  Direction,
  Magnitude,
  AgeDays,
  OrbitTenths,
  Height,
  ShadowHeight,
  Range,
  Ew,
  PhaseAngle,
  RaHours,
  RaMinutes,
  Declination,
  // Texts that a line inserts whole, each written first by a layout of its
  // own: the Tim column, the angle columns, the distance of formats B and C.
  TimText,
  AngleText,
  DistanceText,
  // The identification of a pass (its own line, or the end of the first
  // line of a pass in formats B and C) and the comment line.
  Ncat,
  Name,
  Detail,
  Size,
  CrossSection,
  Flag,
  StandardMagnitude,
  Comment,
  // The day header.
  Year,
  MonthName,
  DayOfMonth,
  Weekday,
  ZoneLabel,
  WindowStartHour,
  WindowStartMinute,
  WindowEndHour,
  WindowEndMinute,
  // The column header of formats B and C.
  DistanceLabel,
  // The settings line at the top of the report.
  Latitude,
  WestLongitude,
  HeightFeet,
  SiteName,
  EquinoxYear,
  MagnitudeLimit,
  MinAltitude,
  RadarFormat,
  IgnoreShadow,
  WalkPasses,
  DistancesInMiles,
  BlankLineBeforePass,
};

// The fields a prediction line can hold are the first ones, up to the
// declination.
inline constexpr std::size_t kPointFieldCount = static_cast<std::size_t>(ReportField::Declination) + 1;

// The printed name of a field, for messages and the columns of a table.
std::string_view field_name(ReportField field);

// One layout: the format and the field of each item it writes. A field that
// fills several items in a row (the name's words) is named once per item.
struct LineLayout {
  std::string_view format;
  std::span<const ReportField> items;
};

namespace layouts {

using F = ReportField;

// The items of a layout joined from pieces: join(a, b, ...) and a field
// named for n items in a row, words<n>(field).
template <std::size_t N>
using Items = std::array<F, N>;
template <std::size_t N>
constexpr Items<N> words(F field) {
  Items<N> items{};
  items.fill(field);
  return items;
}
template <std::size_t N, std::size_t M, class... More>
constexpr auto join(const Items<N>& a, const Items<M>& b, const More&... more) {
  Items<N + M> items{};
  for (std::size_t i = 0; i < N; ++i) items[i] = a[i];
  for (std::size_t i = 0; i < M; ++i) items[N + i] = b[i];
  if constexpr (sizeof...(More) == 0) {
    return items;
  } else {
    return join(items, more...);
  }
}

// Texts written first and inserted whole into a prediction line.
inline constexpr Items<1> kTimTextItems{F::TimeError};
inline constexpr LineLayout kTimText{"(I4)", kTimTextItems};
inline constexpr Items<2> kAltAzTextItems{F::Altitude, F::Azimuth};
inline constexpr LineLayout kAltAzText{"(I3,I4)", kAltAzTextItems};
inline constexpr Items<2> kAzAltTextItems{F::Azimuth, F::Altitude};
inline constexpr LineLayout kAzAltText{"(I4,I3)", kAzAltTextItems};
inline constexpr Items<2> kExactAzAltTextItems{F::AzimuthDegrees, F::AltitudeDegrees};
inline constexpr LineLayout kExactAzAltText{"(F7.2,F6.2)", kExactAzAltTextItems};
inline constexpr Items<1> kRangeTextItems{F::Range};
inline constexpr LineLayout kRangeText{"(I5)", kRangeTextItems};
inline constexpr Items<1> kPhaseTextItems{F::PhaseAngle};
inline constexpr LineLayout kPhaseText{"(I4)", kPhaseTextItems};

// Prediction lines. A, D and E share the long layout (the angle text tells
// them apart); B and C end the first line of a pass with its identification,
// and a continuation line stops after the declination; R is the short layout.
inline constexpr Items<18> kLongLineItems{
    F::Hour,   F::Minute,       F::Second,     F::TimText,     F::AngleText, F::FoundMark,
    F::Direction, F::Magnitude, F::AgeDays,    F::OrbitTenths, F::Height,    F::ShadowHeight,
    F::Range,  F::Ew,           F::PhaseAngle, F::RaHours,     F::RaMinutes, F::Declination};
inline constexpr LineLayout kLongLine{
    "(i2,2i3,a4,a,1x,a1,i4,f5.1,i4,i2,i5,i4,i5,f4.1,i4,i3,i2,f6.1)", kLongLineItems};

inline constexpr Items<11> kRadarLineItems{F::Hour,     F::Minute,    F::Second,    F::TimText,
                                           F::Altitude, F::Azimuth,   F::FoundMark, F::AgeDays,
                                           F::OrbitTenths, F::Height, F::Range};
inline constexpr LineLayout kRadarLine{"(i2,2i3,a4,i3,i4,1x,a1,i4,i2,2i5)", kRadarLineItems};

inline constexpr Items<16> kSkyLineValues{
    F::Hour,      F::Minute,    F::Second,  F::TimText,     F::AngleText, F::FoundMark,
    F::Direction, F::Magnitude, F::AgeDays, F::OrbitTenths, F::Height,    F::ShadowHeight,
    F::DistanceText, F::RaHours, F::RaMinutes, F::Declination};
inline constexpr auto kSkyLineWithNumberItems = join(kSkyLineValues, Items<1>{F::Ncat});
inline constexpr LineLayout kSkyLineWithNumber{
    "(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,6x,a6)", kSkyLineWithNumberItems};
inline constexpr auto kSkyLineWithNameItems = join(kSkyLineValues, words<4>(F::Name));
inline constexpr LineLayout kSkyLineWithName{
    "(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,6x,3a4,a2)", kSkyLineWithNameItems};
inline constexpr auto kSkyLineWithDetailsItems =
    join(kSkyLineValues, Items<2>{F::CrossSection, F::Flag}, words<4>(F::Name));
inline constexpr LineLayout kSkyLineWithDetails{
    "(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,a4,1x,a1,3a4,a2)",
    kSkyLineWithDetailsItems};

// The day header, with the observing window on the 24-hour clock.
inline constexpr Items<9> kDayHeaderItems{
    F::Year,          F::MonthName,         F::DayOfMonth,    F::Weekday,        F::ZoneLabel,
    F::WindowStartHour, F::WindowStartMinute, F::WindowEndHour, F::WindowEndMinute};
inline constexpr LineLayout kMorningHeader{
    "(/,'***  ',i4,1x,a4,i3,2x,a3,' morning  *** Times are AM ',a4,' ***',i4,i2,i3,i2)",
    kDayHeaderItems};
inline constexpr LineLayout kEveningHeader{
    "(/,'***  ',i4,1x,a4,i3,2x,a3,' evening  *** Times are PM ',a4,' ***',i4,i2,i3,i2)",
    kDayHeaderItems};

// The column headers, one per report format.
inline constexpr Items<1> kDistanceLabelItems{F::DistanceLabel};
inline constexpr LineLayout kRadarColumns{"(/,' H  M  S Tim Al Azi C Dys F  Hgt  Rng')", {}};
inline constexpr LineLayout kAColumns{
    "(/,' H  M  S Tim Al Azi C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')", {}};
inline constexpr LineLayout kBColumns{
    "(/,' H  M  S Tim Azi ElC Dir  Mag Dys F  Hgt Shd',a,'  R A  Dec RCS  Name')",
    kDistanceLabelItems};
inline constexpr LineLayout kCColumns{
    "(/,' H  M  S Tim Al AziC Dir  Mag Dys F  Hgt Shd',a,'  R A  Dec RCS  Name')",
    kDistanceLabelItems};
inline constexpr LineLayout kDColumns{
    "(/,' H  M  S Tim Azi El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')", {}};
inline constexpr LineLayout kEColumns{
    "(/,' H  M  S Tim    Azi    El C Dir  Mag Dys F  Hgt Shd  Rng  EW Phs  R A   Dec')", {}};

// The empty line before a pass, when asked for.
inline constexpr LineLayout kPassSeparator{"(1x)", {}};

// Pass identification lines. A line stops after its last item, so a layout
// names every item its line can have; what the catalogue knows of the
// satellite decides how many are written. The catalogue number is the text of
// catalogue_number_field (Alpha-5 from 100000 on), here and at the end of a
// first B or C line.
inline constexpr Items<5> kNumberAndNameItems = join(Items<1>{F::Ncat}, words<4>(F::Name));
inline constexpr LineLayout kNumberOnly{"(a5)", std::span(kNumberAndNameItems).first(1)};
inline constexpr LineLayout kNumberAndName{"(a5,1x,3a4,a2)", kNumberAndNameItems};
inline constexpr Items<3> kEntryTail{F::CrossSection, F::Flag, F::StandardMagnitude};
inline constexpr auto kCatalogueEntryItems =
    join(kNumberAndNameItems, kEntryTail, words<8>(F::Comment));
inline constexpr LineLayout kCatalogueEntry{"(a5,1x,3a4,a2,12x,a4,1x,a1,f4.1,1x,8a4)",
                                            kCatalogueEntryItems};
inline constexpr auto kCatalogueEntrySizesItems =
    join(kNumberAndNameItems, words<3>(F::Size), kEntryTail, words<8>(F::Comment));
inline constexpr LineLayout kCatalogueEntrySizes{"(a5,1x,3a4,a2,4a4,1x,a1,f4.1,1x,8a4)",
                                                 kCatalogueEntrySizesItems};
inline constexpr auto kDetailedEntryItems =
    join(kNumberAndNameItems, words<2>(F::Detail), kEntryTail, words<6>(F::Comment));
inline constexpr LineLayout kDetailedEntry{"(a5,1x,3a4,a2,1x,2a4,12x,a4,1x,a1,f4.1,1x,5a4,a3)",
                                           kDetailedEntryItems};
inline constexpr auto kDetailedEntrySizesItems = join(
    kNumberAndNameItems, words<2>(F::Detail), words<3>(F::Size), kEntryTail, words<6>(F::Comment));
inline constexpr LineLayout kDetailedEntrySizes{"(a5,1x,3a4,a2,1x,2a4,4a4,1x,a1,f4.1,1x,5a4,a3)",
                                                kDetailedEntrySizesItems};
inline constexpr auto kRadarEntryItems =
    join(kNumberAndNameItems, Items<1>{F::Flag}, words<8>(F::Comment));
inline constexpr LineLayout kRadarEntry{"(a5,1x,3a4,a2,1x,a1)",
                                        std::span(kRadarEntryItems).first(6)};
inline constexpr LineLayout kRadarEntryComment{"(a5,1x,3a4,a2,1x,a1,2x,8a4)", kRadarEntryItems};

// The comment line of formats B and C: 8 blanks, then the comment.
inline constexpr auto kCommentLineItems = words<8>(F::Comment);
inline constexpr LineLayout kCommentLine{"(8x,8a4)", kCommentLineItems};

// The settings line: the site and the main settings as the control file
// gave them.
inline constexpr Items<12> kSettingsLineItems{
    F::Latitude,       F::WestLongitude, F::HeightFeet,  F::SiteName,
    F::EquinoxYear,    F::MagnitudeLimit, F::MinAltitude, F::RadarFormat,
    F::IgnoreShadow,   F::WalkPasses,    F::DistancesInMiles, F::BlankLineBeforePass};
inline constexpr LineLayout kSettingsLine{"(2f8.3,f6.0,3x,a24,i5,f5.1,i3,5l2)", kSettingsLineItems};

}  // namespace layouts

// The layouts that a report format uses.
// angle_text_layout: the angle columns of format letter A, B, C, D or E
// (null for R, which prints the angles as numbers of its own line).
const LineLayout* angle_text_layout(char formatLetter);
// distance_text_layout: formats B and C, the phase angle (letter P) or the range.
const LineLayout& distance_text_layout(char rangePhaseLetter);
// column_header_layout: the column header of a format letter (R for radar).
const LineLayout& column_header_layout(char formatLetter);

// A layout with its format compiled, for writing.
struct CompiledLayout {
  explicit CompiledLayout(const LineLayout& definition)
      : layout(definition), format(definition.format) {}
  const LineLayout& layout;
  Format format;
};

// How many items of the same field stand right before item i of a layout
// (the word of a name or a comment).
constexpr std::size_t word_of(const LineLayout& layout, std::size_t i) {
  std::size_t word = 0;
  while (i > 0 && layout.items[i - 1] == layout.items[i]) {
    ++word;
    --i;
  }
  return word;
}

// For each item of a layout in turn: its field and how many items of the same
// field stand right before it (the word of a name or a comment).
template <class Visit>
void for_each_item(const LineLayout& layout, Visit&& visit) {
  for (std::size_t i = 0; i < layout.items.size(); ++i) {
    if (!visit(layout.items[i], word_of(layout, i))) return;
  }
}

}  // namespace vespera
