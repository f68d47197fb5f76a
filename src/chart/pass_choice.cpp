#include "chart/pass_choice.h"

#include <algorithm>
#include <tuple>

namespace vespera::chart {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool contains_ignoring_case(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<double> brightest_magnitude(const ReportPass& pass) {
  std::optional<double> brightest;
  for (const ReportPoint& p : pass.points) {
    const PrintedValue& m = p[ReportField::Magnitude];
    if (m.has_number() && (!brightest || m.number < *brightest)) brightest = m.number;
  }
  return brightest;
}

std::optional<double> highest_altitude(const ReportPass& pass) {
  std::optional<double> highest;
  for (const ReportPoint& p : pass.points) {
    const std::optional<double> altitude = p.altitude();
    if (altitude && (!highest || *altitude > *highest)) highest = altitude;
  }
  return highest;
}

bool satellite_matches(const ReportPass& pass, const std::string& wanted) {
  if (all_digits(wanted)) {
    const std::string number = wanted.substr(std::min(wanted.find_first_not_of('0'), wanted.size() - 1));
    return pass.identification.ncat > 0 && std::to_string(pass.identification.ncat) == number;
  }
  return contains_ignoring_case(pass.identification.name, wanted);
}

bool NightPassChoice::takes(const ReportPass& pass, const std::optional<double>& brightest) const {
  if (!choice_.satellites.empty() &&
      std::none_of(choice_.satellites.begin(), choice_.satellites.end(),
                   [&pass](const std::string& s) { return satellite_matches(pass, s); })) {
    return false;
  }
  if (choice_.brighterThan && !(brightest && *brightest < *choice_.brighterThan)) return false;
  if (choice_.higherThan) {
    const std::optional<double> highest = highest_altitude(pass);
    if (!(highest && *highest > *choice_.higherThan)) return false;
  }
  return true;
}

void NightPassChoice::offer(ReportPass&& pass) {
  ++passes_;
  const std::optional<double> brightest = brightest_magnitude(pass);
  if (!takes(pass, brightest)) return;
  kept_.push_back(Candidate{std::move(pass), brightest, matching_++});
  // Trimmed now and then to the limit: the memory of twice the limit at most.
  if (choice_.limit > 0 && kept_.size() >= 2 * choice_.limit) keep_best(choice_.limit);
}

// Keeps the `count` brightest candidates: passes with a magnitude before
// those without, then by magnitude, then in the report's order.
void NightPassChoice::keep_best(std::size_t count) {
  if (kept_.size() <= count) return;
  const auto rank = [](const Candidate& c) {
    return std::make_tuple(!c.brightest.has_value(), c.brightest.value_or(0.0), c.order);
  };
  std::nth_element(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(count), kept_.end(),
                   [&rank](const Candidate& a, const Candidate& b) { return rank(a) < rank(b); });
  kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(count), kept_.end());
}

std::vector<ReportPass> NightPassChoice::take() {
  if (choice_.limit > 0) keep_best(choice_.limit);
  std::sort(kept_.begin(), kept_.end(), [](const Candidate& a, const Candidate& b) {
    const int64_t ta = a.pass.points.front().local_seconds();
    const int64_t tb = b.pass.points.front().local_seconds();
    return ta != tb ? ta < tb : a.order < b.order;
  });
  std::vector<ReportPass> chosen;
  chosen.reserve(kept_.size());
  for (Candidate& c : kept_) chosen.push_back(std::move(c.pass));
  kept_.clear();
  passes_ = 0;
  matching_ = 0;
  return chosen;
}

}  // namespace vespera::chart
