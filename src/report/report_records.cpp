#include "report/report_records.h"

#include <chrono>

namespace vespera {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

std::chrono::year_month_day ymd_of(const LocalDate& d) {
  return std::chrono::year_month_day{std::chrono::year(d.year),
                                     std::chrono::month(static_cast<unsigned>(d.month)),
                                     std::chrono::day(static_cast<unsigned>(d.day))};
}

}  // namespace

bool LocalDate::valid() const { return ymd_of(*this).ok(); }

int64_t LocalDate::days() const { return std::chrono::sys_days(ymd_of(*this)).time_since_epoch().count(); }

LocalDate LocalDate::from_days(int64_t n) {
  using namespace std::chrono;
  const year_month_day ymd{sys_days(std::chrono::days(n))};
  return LocalDate{static_cast<int32_t>(ymd.year()), static_cast<int32_t>(unsigned(ymd.month())),
                   static_cast<int32_t>(unsigned(ymd.day()))};
}

LocalDate DayHeader::night_evening() const {
  return half == 2 ? date : LocalDate::from_days(date.days() - 1);
}

std::optional<double> ReportPoint::altitude() const {
  const PrintedValue& exact = (*this)[ReportField::AltitudeDegrees];
  const PrintedValue& v = exact.state != PrintedValue::State::Absent ? exact : (*this)[ReportField::Altitude];
  return v.has_number() ? std::optional<double>(v.number) : std::nullopt;
}

std::optional<double> ReportPoint::azimuth() const {
  const PrintedValue& exact = (*this)[ReportField::AzimuthDegrees];
  const PrintedValue& v = exact.state != PrintedValue::State::Absent ? exact : (*this)[ReportField::Azimuth];
  return v.has_number() ? std::optional<double>(v.number) : std::nullopt;
}

int64_t ReportPoint::local_seconds() const { return date.days() * kSecondsPerDay + seconds_of_day; }

std::string ReportPass::label() const {
  if (!identification.name.empty()) return identification.name;
  return std::to_string(identification.ncat);
}

}  // namespace vespera
