// Vector3: a vector of three doubles (kilometres, or km/s) in one of the
// engine's frames, with the few operations the SGP4 geometry needs.
#pragma once

#include <array>
#include <cmath>

namespace vespera {

using Vector3 = std::array<double, 3>;

inline double dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline Vector3 difference(const Vector3& a, const Vector3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

inline double length(const Vector3& a) { return std::sqrt(dot(a, a)); }

}  // namespace vespera
