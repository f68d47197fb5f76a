#include "report/settings_line.h"

#include "format/format_writer.h"

namespace vespera {

void append_settings_line(std::string& out, const RunSettings& s) {
  static const Format kSettingsLine("(2f8.3,f6.0,3x,a24,i5,f5.1,i3,5l2)");
  kSettingsLine.append(out, {s.latitudeDeg, s.westLongitudeDeg, s.heightFeet, s.siteName,
                             s.equinoxYear, s.magnitudeLimit, s.minAltitudeDeg,
                             FormatItem::logical(s.radarFormat),
                             FormatItem::logical(s.ignoreShadow),
                             FormatItem::logical(s.walkPasses),
                             FormatItem::logical(s.distancesInMiles),
                             FormatItem::logical(s.blankLineBeforePass)});
}

}  // namespace vespera
