#include "report/prediction_lines.h"

#include <array>
#include <cstddef>
#include <utility>

#include "format/catalogue_number.h"
#include "format/format_writer.h"
#include "report/report_layouts.h"

namespace vespera {

namespace {

// The format of a layout, compiled once.
template <const LineLayout& Layout>
const Format& format_of() {
  static const Format compiled(Layout.format);
  return compiled;
}

// What a prediction line prints for one of its layout's items: the record's
// values, the line values and, at the end of a first B or C line, the pass's
// catalogue information. The field and its word are known when the line is
// compiled, so building the item list by name costs nothing at run time.
struct PredictionItems {
  const PredictionRecord& r;
  const LineValues& v;
  const MagnitudeInfo& info;
  FixedText<5> ncat_field{};  // filled only for the line that prints the number

  template <ReportField Field, std::size_t Word>
  FormatItem item() const {
    using F = ReportField;
    if constexpr (Field == F::Hour) return v.hour;
    else if constexpr (Field == F::Minute) return v.minute;
    else if constexpr (Field == F::Second) return v.second;
    else if constexpr (Field == F::TimText) return v.tim_text;
    else if constexpr (Field == F::AngleText) return v.angles();
    else if constexpr (Field == F::Altitude) return v.alt;
    else if constexpr (Field == F::Azimuth) return v.az;
    else if constexpr (Field == F::FoundMark) return v.c_text;
    else if constexpr (Field == F::Direction) return r.direction;
    else if constexpr (Field == F::Magnitude) return r.magnitude;
    else if constexpr (Field == F::AgeDays) return r.age_days;
    else if constexpr (Field == F::OrbitTenths) return r.orbit_tenths;
    else if constexpr (Field == F::Height) return r.height;
    else if constexpr (Field == F::ShadowHeight) return r.shadow_height;
    else if constexpr (Field == F::Range) return v.rng;
    else if constexpr (Field == F::DistanceText) return v.distance();
    else if constexpr (Field == F::Ew) return v.ew;
    else if constexpr (Field == F::PhaseAngle) return r.phase_angle;
    else if constexpr (Field == F::RaHours) return v.rah;
    else if constexpr (Field == F::RaMinutes) return v.ram;
    else if constexpr (Field == F::Declination) return r.declination;
    else if constexpr (Field == F::Ncat) return ncat_field;
    else if constexpr (Field == F::CrossSection) return info.crossSection;
    else if constexpr (Field == F::Flag) return info.flag;
    else if constexpr (Field == F::Name) return info.name.sub(4 * Word, 4);
    else static_assert(Field == F::Hour, "no prediction layout has this item");
  }

  // The first Count items of a layout.
  template <const LineLayout& Layout, std::size_t... I>
  std::array<FormatItem, sizeof...(I)> items(std::index_sequence<I...>) const {
    return {{item<Layout.items[I], word_of(Layout, I)>()...}};
  }
};

// Writes a layout's items, the first Count of them (all by default).
template <const LineLayout& Layout, std::size_t Count = Layout.items.size()>
void append_items(std::string& out, const PredictionItems& item_of) {
  const auto items = item_of.items<Layout>(std::make_index_sequence<Count>());
  format_of<Layout>().append(out, FormatItems(items.data(), items.size()));
}

void append_sky_line(std::string& out, const PredictionItems& item_of, bool new_pass) {
  if (!new_pass) {  // a continuation line ends at the declination
    append_items<layouts::kSkyLineWithDetails, layouts::kSkyLineValues.size()>(out, item_of);
  } else if (item_of.info.infoLevel <= 1) {
    PredictionItems with_number = item_of;
    with_number.ncat_field = catalogue_number_field(item_of.r.ncat);
    append_items<layouts::kSkyLineWithNumber>(out, with_number);
  } else if (item_of.info.infoLevel == 2) {
    append_items<layouts::kSkyLineWithName>(out, item_of);
  } else {
    append_items<layouts::kSkyLineWithDetails>(out, item_of);
  }
}

}  // namespace

void append_prediction_line(std::string& out, const PredictionRecord& record,
                            const LineValues& values, const ReportSettings& settings, bool new_pass,
                            const MagnitudeInfo& info) {
  const PredictionItems item_of{record, values, info};
  if (settings.radarFormat) {
    append_items<layouts::kRadarLine>(out, item_of);
  } else if (settings.formatLetter == 'B' || settings.formatLetter == 'C') {
    append_sky_line(out, item_of, new_pass);
  } else {
    append_items<layouts::kLongLine>(out, item_of);
  }
}

}  // namespace vespera
