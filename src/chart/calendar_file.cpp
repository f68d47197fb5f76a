#include "chart/calendar_file.h"

#include <cmath>

#include "chart/chart_text.h"
#include "chart/pass_chart.h"
#include "chart/sky_place.h"

namespace vespera::chart {

namespace {

constexpr std::size_t kMostOctets = 75;
constexpr int64_t kSecondsPerDay = 86400;
constexpr std::string_view kDegree = "\xC2\xB0";

bool continues_character(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// "40.000N75.000W" of the site, for the UID.
std::string site_key(const SettingsLine& s) {
  return number_text(std::fabs(s.latitude), 3) + (s.latitude < 0 ? "S" : "N") +
         number_text(std::fabs(s.westLongitude), 3) + (s.westLongitude < 0 ? "E" : "W");
}

// Letters and digits of a name, the rest as "-".
std::string uid_word(std::string_view name) {
  std::string word;
  for (const char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    word += plain ? c : '-';
  }
  return word;
}

std::string degrees(double value) { return number_text(value, 0) + std::string(kDegree); }

// "19:23:35 EDT at 29° altitude, azimuth 223° (SW)"
std::string place_text(const DrawnPass& d, std::size_t track_index, std::string_view zone) {
  const TrackPoint& t = d.track[track_index];
  return time_text(d.pass.points[t.point].seconds_of_day) + " " + std::string(zone) + " at " +
         degrees(t.seen.altitude) + " altitude, azimuth " + degrees(t.seen.azimuth) + " (" +
         std::string(compass_point(t.seen.azimuth)) + ")";
}

std::string summary(const DrawnPass& d) {
  std::string text = d.pass.label();
  if (d.brightest) text += " " + number_text(*d.brightest, 1) + " mag";
  if (d.highest) text += std::string(d.brightest ? ", " : " ") + degrees(d.track[*d.highest].seen.altitude) + " high";
  return text;
}

std::string description(const DrawnPass& d, std::string_view zone) {
  std::string text = d.title() + ".";
  if (!d.track.empty()) {
    text += " Highest: " + place_text(d, d.highest.value_or(0), zone) + ". First point: " + place_text(d, 0, zone) +
            ". Last point: " + place_text(d, d.track.size() - 1, zone) + ".";
  }
  for (const ShadowCrossing& c : d.shadow) text += " It " + shadow_text(c) + " " + std::string(zone) + ".";
  return text;
}

}  // namespace

std::string ics_text(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

std::string folded_line(std::string_view line) {
  std::string out;
  std::size_t room = kMostOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    while (cut > 1 && continues_character(line[cut])) --cut;
    out.append(line.substr(0, cut)).append("\r\n ");
    line.remove_prefix(cut);
    room = kMostOctets - 1;  // the blank that starts a folded line counts
  }
  return out.append(line).append("\r\n");
}

std::string utc_stamp(int64_t seconds) {
  int64_t days = seconds / kSecondsPerDay;
  if (seconds % kSecondsPerDay < 0) --days;
  const auto s = static_cast<int32_t>(seconds - days * kSecondsPerDay);
  const LocalDate d = LocalDate::from_days(days);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", static_cast<int>(d.year), static_cast<int>(d.month),
                static_cast<int>(d.day), static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60),
                static_cast<int>(s % 60));
  return text;
}

std::string_view compass_point(double azimuth) {
  static constexpr std::string_view kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                                 "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  const auto k = static_cast<std::size_t>(std::floor(wrap_degrees(azimuth + 11.25) / 22.5)) % 16;
  return kPoints[k];
}

void CalendarWriter::line(std::string_view name, std::string_view value) {
  out_.write(folded_line(std::string(name) + ":" + std::string(value)));
}

void CalendarWriter::begin(const SettingsLine& site) {
  site_ = site;
  line("BEGIN", "VCALENDAR");
  line("VERSION", "2.0");
  line("PRODID", "-//Vespera//vespera-chart 1.0//EN");
  line("CALSCALE", "GREGORIAN");
  line("METHOD", "PUBLISH");
}

void CalendarWriter::add(const DrawnPass& d, double utc_offset_hours, std::string_view zone) {
  if (d.pass.points.empty()) return;
  const int64_t start = utc_seconds(d.pass.points.front().local_seconds(), utc_offset_hours);
  int64_t end = utc_seconds(d.pass.points.back().local_seconds(), utc_offset_hours);
  if (end <= start) end = start + 60;  // an event ends after it starts
  const std::string ncat = d.pass.identification.ncat > 0 ? std::to_string(d.pass.identification.ncat) : "";
  line("BEGIN", "VEVENT");
  line("UID", utc_stamp(start) + "-" + (ncat.empty() ? uid_word(d.pass.label()) : ncat) + "-" + site_key(site_) +
                  "@vespera-chart");
  line("DTSTAMP", utc_stamp(stamp_));
  line("DTSTART", utc_stamp(start));
  line("DTEND", utc_stamp(end));
  line("SUMMARY", ics_text(summary(d)));
  line("LOCATION", ics_text(site_.siteName + ", " + number_text(std::fabs(site_.latitude), 3) + std::string(kDegree) +
                            (site_.latitude < 0 ? " S, " : " N, ") + number_text(std::fabs(site_.westLongitude), 3) +
                            std::string(kDegree) + (site_.westLongitude < 0 ? " E" : " W")));
  line("GEO", number_text(site_.latitude, 6) + ";" + number_text(-site_.westLongitude, 6));
  line("DESCRIPTION", ics_text(description(d, zone)));
  if (alarm_) {
    line("BEGIN", "VALARM");
    line("ACTION", "DISPLAY");
    line("DESCRIPTION", ics_text(summary(d)));
    line("TRIGGER", "-PT" + std::to_string(*alarm_) + "M");
    line("END", "VALARM");
  }
  line("END", "VEVENT");
}

void CalendarWriter::finish() { line("END", "VCALENDAR"); }

}  // namespace vespera::chart
