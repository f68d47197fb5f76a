// The passes a night's chart draws: the night's passes that the conditions
// take, at most the limit of them, the brightest first. Only those are kept,
// so that a night of any number of passes needs the memory of the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "chart/chart_options.h"
#include "report/report_records.h"

namespace vespera::chart {

// The least magnitude of a pass's points; nullopt when none has one.
std::optional<double> brightest_magnitude(const ReportPass& pass);
// The greatest altitude of a pass's points; nullopt when none has one.
std::optional<double> highest_altitude(const ReportPass& pass);

// satellite_matches: whether a pass is of the satellite `wanted`, a
// catalogue number (digits only) or a part of the name in any case.
bool satellite_matches(const ReportPass& pass, const std::string& wanted);

class NightPassChoice {
 public:
  explicit NightPassChoice(const PassChoice& choice) : choice_(choice) {}

  // A pass of the night, in the report's order.
  void offer(ReportPass&& pass);
  // The chosen passes in the order of their first points' times; the choice
  // starts again empty for the next night.
  std::vector<ReportPass> take();

  std::size_t passes() const { return passes_; }      // offered this night
  std::size_t matching() const { return matching_; }  // that the conditions take

 private:
  struct Candidate {
    ReportPass pass;
    std::optional<double> brightest;
    std::size_t order = 0;
  };
  bool takes(const ReportPass& pass, const std::optional<double>& brightest) const;
  void keep_best(std::size_t count);

  const PassChoice& choice_;
  std::vector<Candidate> kept_;
  std::size_t passes_ = 0;
  std::size_t matching_ = 0;
};

}  // namespace vespera::chart
