// A pass as the page draws it: its points with their places in the sky,
// its number in the night's table, its colour, its brightest and highest
// points and where it meets the earth's shadow.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/shadow_crossing.h"
#include "chart/sky_place.h"
#include "report/report_records.h"

namespace vespera::chart {

struct TrackPoint {
  std::size_t point = 0;  // in the pass
  Horizontal seen;
};

struct DrawnPass {
  ReportPass pass;
  std::size_t number = 0;  // its row in the night's table, from 1
  std::string id;          // of its row ("n2r5") and, with "p", its chart ("n2p5")
  std::vector<TrackPoint> track;  // the points with an altitude and azimuth
  std::optional<std::size_t> highest;  // in the track
  std::optional<double> brightest;     // magnitude
  std::vector<ShadowCrossing> shadow;

  std::string_view colour() const;
  std::string row_id() const { return id + "r" + std::to_string(number); }
  std::string chart_id() const { return id + "p" + std::to_string(number); }
  // The satellite's name with its catalogue number, "ISS (ZARYA) (25544)".
  std::string title() const;
};

// drawn_passes: the chosen passes of a night (in time order), numbered, with
// the ids of night `night_id` ("n2").
std::vector<DrawnPass> drawn_passes(std::vector<ReportPass> passes, const std::string& night_id,
                                    bool azimuths_from_south);

// shadow_text: "enters shadow 19:24:40" or "leaves shadow 19:24:40".
std::string shadow_text(const ShadowCrossing& crossing);

}  // namespace vespera::chart
