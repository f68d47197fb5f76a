#include "chart/point_table.h"

#include <algorithm>

#include "chart/chart_text.h"

namespace vespera::chart {

namespace {

// A field's name as a column name: "right ascension hours" becomes
// "right_ascension_hours".
std::string column_name(ReportField field) {
  std::string name(field_name(field));
  std::replace(name.begin(), name.end(), ' ', '_');
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return name;
}

}  // namespace

std::string point_table_csv(const ReportContents& report) {
  std::string csv = "date,time,zone,ncat,satellite";
  for (const ReportContents::PointColumn& column : report.pointColumns) {
    csv += "," + column_name(column.field);
  }
  csv += "\n";
  for (const ReportPass& pass : report.passes) {
    const DayHeader& header = report.headers[pass.header];
    std::string zone = header.zoneLabel;
    zone.erase(zone.find_last_not_of(' ') + 1);
    const std::string satellite = "," + csv_field(zone) + "," +
                                  (pass.identification.ncat > 0 ? std::to_string(pass.identification.ncat) : "") + "," +
                                  csv_field(pass.label());
    for (const ReportPoint& point : pass.points) {
      csv += date_text(point.date) + "," + time_text(point.seconds_of_day) + satellite;
      for (const ReportContents::PointColumn& column : report.pointColumns) {
        const PrintedValue& value = point[column.field];
        csv += ",";
        if (value.has_number()) csv += number_text(value.number, column.decimals);
      }
      csv += "\n";
    }
  }
  return csv;
}

}  // namespace vespera::chart
