// Runs of the thread-count tests: the visual excerpt with its catalogue, a
// day that fills the prediction table more than once, and an element file
// with duplicates and damaged sets.
#pragma once

#include <string>
#include <vector>

#include "end_to_end_support.h"

namespace vespera::e2e {

// A workspace with the visual excerpt, its catalogue and the override sample.
struct ExcerptWorkspace : Workspace {
  ExcerptWorkspace() {
    copy_data("end_to_end/visual-excerpt.tle");
    copy_data("end_to_end/visual-excerpt.mag");
    copy_data("sample-override.mag");
  }
};

// A section whose one night (absolute, the whole UT day) fills the table
// more than once: every point of every pass, in small steps, whatever its
// brightness or sunlight.
inline Section crowded_day() {
  Section s;
  s.days = "16 16";
  s.window = "0 24 A";
  s.magnitude_limit = "30";
  s.min_altitude = "0";
  s.step_scale = "0.03";
  s.ignore_shadow = "T";
  return s;
}

// The control file of a crowded day combined with the run of `second`.
inline std::string crowded_day_combined_with(const Section& second) {
  Section first = crowded_day();
  first.list_end = "combine";
  return first.text() + second.text();
}

// Every set of the excerpt followed by a copy a day newer (which withdraws
// the older one's predictions) and a copy a day older (dropped), with a
// damaged set between the satellites.
inline std::string with_duplicates(const std::string& excerpt) {
  const std::vector<std::string> lines = split_lines(excerpt);
  std::string text;
  for (std::size_t i = 0; i + 2 < lines.size(); i += 3) {
    const std::string set = lines[i] + "\n" + lines[i + 1] + "\n" + lines[i + 2] + "\n";
    std::string newer = set, older = set;
    const std::size_t day = set.find('\n') + 1 + 20;  // line 1, columns 21-23
    newer.replace(day, 3, "290");
    older.replace(day, 3, "288");
    text += set + newer + older + "BROKEN\n1 X\n";
  }
  return text;
}

}  // namespace vespera::e2e
