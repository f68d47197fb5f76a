#include "report/report_layouts.h"

namespace vespera {

std::string_view field_name(ReportField field) {
  using F = ReportField;
  switch (field) {
    case F::Hour: return "hour";
    case F::Minute: return "minute";
    case F::Second: return "second";
    case F::TimeError: return "time error";
    case F::Altitude: return "altitude";
    case F::Azimuth: return "azimuth";
    case F::AzimuthDegrees: return "azimuth";
    case F::AltitudeDegrees: return "altitude";
    case F::FoundMark: return "C mark";
    case F::Direction: return "direction";
    case F::Magnitude: return "magnitude";
    case F::AgeDays: return "age in days";
    case F::OrbitTenths: return "tenth of the orbit";
    case F::Height: return "height";
    case F::ShadowHeight: return "shadow height";
    case F::Range: return "range";
    case F::Ew: return "EW";
    case F::PhaseAngle: return "phase angle";
    case F::RaHours: return "right ascension hours";
    case F::RaMinutes: return "right ascension minutes";
    case F::Declination: return "declination";
    case F::TimText: return "Tim";
    case F::AngleText: return "angles";
    case F::DistanceText: return "distance";
    case F::Ncat: return "catalogue number";
    case F::Name: return "name";
    case F::Detail: return "detail text";
    case F::Size: return "sizes";
    case F::CrossSection: return "cross-section";
    case F::Flag: return "flag letter";
    case F::StandardMagnitude: return "standard magnitude";
    case F::Comment: return "comment";
    case F::Year: return "year";
    case F::MonthName: return "month";
    case F::DayOfMonth: return "day of the month";
    case F::Weekday: return "weekday";
    case F::ZoneLabel: return "zone label";
    case F::WindowStartHour: return "window start hour";
    case F::WindowStartMinute: return "window start minute";
    case F::WindowEndHour: return "window end hour";
    case F::WindowEndMinute: return "window end minute";
    case F::DistanceLabel: return "distance label";
    case F::Latitude: return "latitude";
    case F::WestLongitude: return "west longitude";
    case F::HeightFeet: return "height in feet";
    case F::SiteName: return "site name";
    case F::EquinoxYear: return "equinox";
    case F::MagnitudeLimit: return "magnitude limit";
    case F::MinAltitude: return "minimum altitude";
    case F::RadarFormat: return "radar flag";
    case F::IgnoreShadow: return "ignore-shadow flag";
    case F::WalkPasses: return "walk flag";
    case F::DistancesInMiles: return "miles flag";
    case F::BlankLineBeforePass: return "empty-line flag";
  }
  return "value";
}

const LineLayout* angle_text_layout(char formatLetter) {
  switch (formatLetter) {
    case 'A':
    case 'C':
      return &layouts::kAltAzText;
    case 'B':
    case 'D':
      return &layouts::kAzAltText;
    case 'E':
      return &layouts::kExactAzAltText;
    default:
      return nullptr;
  }
}

const LineLayout& distance_text_layout(char rangePhaseLetter) {
  return rangePhaseLetter == 'P' ? layouts::kPhaseText : layouts::kRangeText;
}

const LineLayout& column_header_layout(char formatLetter) {
  switch (formatLetter) {
    case 'R':
      return layouts::kRadarColumns;
    case 'B':
      return layouts::kBColumns;
    case 'C':
      return layouts::kCColumns;
    case 'D':
      return layouts::kDColumns;
    case 'E':
      return layouts::kEColumns;
    default:
      return layouts::kAColumns;
  }
}

}  // namespace vespera
