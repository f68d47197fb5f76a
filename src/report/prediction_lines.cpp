#include "report/prediction_lines.h"

#include "format/format_writer.h"
#include "report/item_list.h"

namespace vespera {

namespace {

struct PredictionLineFormats {
  Format long_layout{"(i2,2i3,a4,a,1x,a1,i4,f5.1,i4,i2,i5,i4,i5,f4.1,i4,i3,i2,f6.1)"};
  Format radar{"(i2,2i3,a4,i3,i4,1x,a1,i4,i2,2i5)"};
  Format sky_with_number{"(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,6x,i6)"};
  Format sky_with_name{"(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,6x,3a4,a2)"};
  Format sky_with_details{"(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,a4,1x,a1,3a4,a2)"};
};

const PredictionLineFormats& formats() {
  static const PredictionLineFormats compiled;
  return compiled;
}

// The number of items of a B or C line up to the declination.
constexpr std::size_t kSkyLineValueItems = 16;

void append_long_line(std::string& out, const PredictionRecord& r, const LineValues& v) {
  formats().long_layout.append(
      out, {v.hour, v.minute, v.second, v.tim_text, v.angles(), v.c_text, r.direction,
            r.magnitude, r.age_days, r.orbit_tenths, r.height, r.shadow_height, v.rng, v.ew,
            r.phase_angle, v.rah, v.ram, r.declination});
}

void append_radar_line(std::string& out, const PredictionRecord& r, const LineValues& v) {
  formats().radar.append(out, {v.hour, v.minute, v.second, v.tim_text, v.alt, v.az, v.c_text,
                               r.age_days, r.orbit_tenths, r.height, v.rng});
}

void append_sky_line(std::string& out, const PredictionRecord& r, const LineValues& v,
                     bool new_pass, const MagnitudeInfo& info) {
  const PredictionLineFormats& f = formats();
  ItemList<kSkyLineValueItems + 6> items;
  for (const FormatItem& item :
       {FormatItem(v.hour), FormatItem(v.minute), FormatItem(v.second), FormatItem(v.tim_text),
        FormatItem(v.angles()), FormatItem(v.c_text), FormatItem(r.direction),
        FormatItem(r.magnitude), FormatItem(r.age_days), FormatItem(r.orbit_tenths),
        FormatItem(r.height), FormatItem(r.shadow_height), FormatItem(v.distance()),
        FormatItem(v.rah), FormatItem(v.ram), FormatItem(r.declination)}) {
    items.add(item);
  }
  const Format* layout = &f.sky_with_details;  // a continuation line ends at the declination
  if (new_pass) {
    if (info.infoLevel <= 1) {
      layout = &f.sky_with_number;
      items.add(r.ncat);
    } else {
      if (info.infoLevel == 2) {
        layout = &f.sky_with_name;
      } else {
        items.add(info.crossSection);
        items.add(info.flag);
      }
      for (std::size_t word = 0; word < 4; ++word) items.add(info.name.sub(4 * word, 4));
    }
  }
  layout->append(out, items.items());
}

}  // namespace

void append_prediction_line(std::string& out, const PredictionRecord& record,
                            const LineValues& values, const RunSettings& settings, bool new_pass,
                            const MagnitudeInfo& info) {
  if (settings.radarFormat) {
    append_radar_line(out, record, values);
  } else if (settings.formatLetter == 'B' || settings.formatLetter == 'C') {
    append_sky_line(out, record, values, new_pass, info);
  } else {
    append_long_line(out, record, values);
  }
}

}  // namespace vespera
