#include "chart/shadow_crossing.h"

#include <cmath>

namespace vespera::chart {

namespace {

struct Height {
  std::size_t point;
  double km;
};

ShadowCrossing crossing(const ReportPass& pass, bool enters, const Height& a, const Height& b, double fraction) {
  const int64_t ta = pass.points[a.point].local_seconds();
  const int64_t tb = pass.points[b.point].local_seconds();
  const auto t = ta + static_cast<int64_t>(std::llround(fraction * static_cast<double>(tb - ta)));
  return ShadowCrossing{enters, a.point, b.point, fraction, t};
}

}  // namespace

std::vector<ShadowCrossing> shadow_crossings(const ReportPass& pass) {
  std::vector<Height> h;
  for (std::size_t i = 0; i < pass.points.size(); ++i) {
    const PrintedValue& v = pass.points[i][ReportField::ShadowHeight];
    if (v.has_number()) h.push_back(Height{i, v.number});
  }
  std::vector<ShadowCrossing> out;
  if (h.size() < 2) return out;
  // Before the first point: the height rises from the shadow.
  if (h[0].km >= 0.0 && h[1].km > h[0].km && 2.0 * h[0].km <= h[1].km) {
    out.push_back(crossing(pass, false, h[0], h[1], -h[0].km / (h[1].km - h[0].km)));
  }
  for (std::size_t i = 0; i + 1 < h.size(); ++i) {
    const bool into = h[i].km >= 0.0 && h[i + 1].km < 0.0;
    const bool out_of = h[i].km < 0.0 && h[i + 1].km >= 0.0;
    if (into || out_of) out.push_back(crossing(pass, into, h[i], h[i + 1], h[i].km / (h[i].km - h[i + 1].km)));
  }
  // After the last point: the height falls into the shadow.
  const Height& last = h.back();
  const Height& before = h[h.size() - 2];
  if (last.km >= 0.0 && before.km > last.km && 2.0 * last.km <= before.km) {
    out.push_back(crossing(pass, true, before, last, 1.0 + last.km / (before.km - last.km)));
  }
  return out;
}

}  // namespace vespera::chart
