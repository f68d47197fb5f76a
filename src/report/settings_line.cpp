#include "report/settings_line.h"

#include "format/format_writer.h"
#include "report/report_layouts.h"

namespace vespera {

void append_settings_line(std::string& out, const RunSettings& s) {
  // The layout the report reader reads the line by; its items in that order.
  static const Format kSettingsLine(layouts::kSettingsLine.format);
  kSettingsLine.append(out, {s.latitudeDeg, s.westLongitudeDeg, s.heightFeet, s.siteName,
                             s.equinoxYear, s.magnitudeLimit, s.minAltitudeDeg,
                             FormatItem::logical(s.radarFormat),
                             FormatItem::logical(s.ignoreShadow),
                             FormatItem::logical(s.walkPasses),
                             FormatItem::logical(s.distancesInMiles),
                             FormatItem::logical(s.blankLineBeforePass)});
}

}  // namespace vespera
