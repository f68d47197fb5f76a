#include "report/prediction_lines.h"

#include <cstdint>

#include "format/format_writer.h"
#include "report/item_list.h"
#include "report/report_layouts.h"

namespace vespera {

namespace {

struct PredictionLineFormats {
  CompiledLayout long_line{layouts::kLongLine};
  CompiledLayout radar{layouts::kRadarLine};
  CompiledLayout sky_with_number{layouts::kSkyLineWithNumber};
  CompiledLayout sky_with_name{layouts::kSkyLineWithName};
  CompiledLayout sky_with_details{layouts::kSkyLineWithDetails};
};

const PredictionLineFormats& formats() {
  static const PredictionLineFormats compiled;
  return compiled;
}

// What a prediction line prints for one of its layout's items: the record's
// values, the line values and, at the end of a first B or C line, the pass's
// catalogue information.
struct PredictionItems {
  const PredictionRecord& r;
  const LineValues& v;
  const MagnitudeInfo& info;

  FormatItem operator()(ReportField field, std::size_t word) const {
    using F = ReportField;
    switch (field) {
      case F::Hour: return v.hour;
      case F::Minute: return v.minute;
      case F::Second: return v.second;
      case F::TimText: return v.tim_text;
      case F::AngleText: return v.angles();
      case F::Altitude: return v.alt;
      case F::Azimuth: return v.az;
      case F::FoundMark: return v.c_text;
      case F::Direction: return r.direction;
      case F::Magnitude: return r.magnitude;
      case F::AgeDays: return r.age_days;
      case F::OrbitTenths: return r.orbit_tenths;
      case F::Height: return r.height;
      case F::ShadowHeight: return r.shadow_height;
      case F::Range: return v.rng;
      case F::DistanceText: return v.distance();
      case F::Ew: return v.ew;
      case F::PhaseAngle: return r.phase_angle;
      case F::RaHours: return v.rah;
      case F::RaMinutes: return v.ram;
      case F::Declination: return r.declination;
      case F::Ncat: return r.ncat;
      case F::CrossSection: return info.crossSection;
      case F::Flag: return info.flag;
      case F::Name: return info.name.sub(4 * word, 4);
      default: return 0;  // no prediction layout has other items
    }
  }
};

// Room for the items of the longest prediction layout.
using PredictionItemList = ItemList<24>;

// Writes a layout's items, the first `count` of them (all by default).
void append_items(std::string& out, const CompiledLayout& line, const PredictionItems& item_of,
                  std::size_t count = SIZE_MAX) {
  PredictionItemList items;
  for_each_item(line.layout, [&](ReportField field, std::size_t word) {
    if (items.size() == count) return false;
    items.add(item_of(field, word));
    return true;
  });
  line.format.append(out, items.items());
}

void append_sky_line(std::string& out, const PredictionItems& item_of, bool new_pass) {
  const PredictionLineFormats& f = formats();
  if (!new_pass) {  // a continuation line ends at the declination
    append_items(out, f.sky_with_details, item_of, layouts::kSkyLineValues.size());
  } else if (item_of.info.infoLevel <= 1) {
    append_items(out, f.sky_with_number, item_of);
  } else if (item_of.info.infoLevel == 2) {
    append_items(out, f.sky_with_name, item_of);
  } else {
    append_items(out, f.sky_with_details, item_of);
  }
}

}  // namespace

void append_prediction_line(std::string& out, const PredictionRecord& record,
                            const LineValues& values, const RunSettings& settings, bool new_pass,
                            const MagnitudeInfo& info) {
  const PredictionItems item_of{record, values, info};
  if (settings.radarFormat) {
    append_items(out, formats().radar, item_of);
  } else if (settings.formatLetter == 'B' || settings.formatLetter == 'C') {
    append_sky_line(out, item_of, new_pass);
  } else {
    append_items(out, formats().long_line, item_of);
  }
}

}  // namespace vespera
