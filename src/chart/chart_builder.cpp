#include "chart/chart_builder.h"

#include <algorithm>

#include "chart/chart_text.h"
#include "chart/drawn_pass.h"
#include "chart/night_section.h"
#include "chart/pass_chart.h"

namespace vespera::chart {

namespace {

std::string trimmed(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

}  // namespace

ChartBuilder::ChartBuilder(const ChartOptions& options, const ChartOutputs& outputs)
    : options_(options), outputs_(outputs), choice_(options.choice) {
  if (outputs.csv != nullptr) csv_.emplace(*outputs.csv);
  if (outputs.calendar != nullptr) calendar_.emplace(*outputs.calendar, outputs.calendarStamp, options.alarmMinutes);
}

void ChartBuilder::settings(const SettingsLine& settings) {
  settings_ = settings;
  offset_finder_.emplace(settings_, options_.azimuthsFromSouth);
  outputs_.page->write(page_head(settings_, options_));
  if (calendar_) calendar_->begin(settings_);
}

void ChartBuilder::format(const ReportFormat& format) {
  totals_.formatLetter = format.letter;
  if (csv_) csv_->columns(format.pointColumns);
}

void ChartBuilder::header(const DayHeader& header, std::size_t, bool starts_night) {
  zone_ = header.zoneLabel;
  if (!starts_night) return;
  end_night();
  night_header_ = header;
  const LocalDate evening = header.night_evening();
  const std::vector<LocalDate>& nights = options_.choice.nights;
  night_chosen_ = nights.empty() || std::find(nights.begin(), nights.end(), evening) != nights.end();
  ++totals_.nights;
}

void ChartBuilder::point(const ReportPass& pass, const ReportPoint& point) {
  if (csv_) csv_->row(pass, zone_, point, cells_);
  cells_ = {};
  if (night_chosen_ && !options_.utcOffsetHours) offset_finder_->add(point);
}

void ChartBuilder::pass(ReportPass&& pass) {
  ++totals_.passes;
  if (night_chosen_) choice_.offer(std::move(pass));
}

std::optional<double> ChartBuilder::night_offset() const {
  if (options_.utcOffsetHours) return options_.utcOffsetHours;
  if (const std::optional<double> found = offset_finder_->hours()) return found;
  return zone_label_offset(night_header_->zoneLabel);
}

void ChartBuilder::end_night() {
  if (!night_header_) return;
  NightFacts night{night_header_->night_evening(), *night_header_, choice_.passes(), choice_.matching(), {}};
  std::vector<ReportPass> chosen = choice_.take();
  if (night_chosen_) {
    night.utcOffsetHours = night_offset();
    const std::string id = "n" + std::to_string(++totals_.nightsDrawn);
    const std::vector<DrawnPass> drawn = drawn_passes(std::move(chosen), id, options_.azimuthsFromSouth);
    const StarField stars(julian_day(night.evening.days() * 86400 + 86400));
    const PassSky sky{&stars, night.utcOffsetHours, &settings_};
    outputs_.page->write(night_section(night, drawn, options_, sky));
    totals_.passesDrawn += drawn.size();
    if (calendar_ && !drawn.empty()) {
      if (!night.utcOffsetHours) {
        problem_ = "the night of " + date_text(night.evening) +
                   " does not tell its clock's offset from UT (a report of format R); give --utc-offset HOURS";
      }
      for (const DrawnPass& d : drawn) {
        if (night.utcOffsetHours) calendar_->add(d, *night.utcOffsetHours, trimmed(night.header.zoneLabel));
      }
    }
  }
  offset_finder_->clear();
  night_header_.reset();
}

void ChartBuilder::finish(std::size_t prediction_lines) {
  end_night();
  totals_.predictionLines = prediction_lines;
  outputs_.page->write(page_foot(totals_, options_));
  if (csv_) csv_->finish();
  if (calendar_) calendar_->finish();
}

}  // namespace vespera::chart
