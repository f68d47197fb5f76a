// OrbitModel: which orbit theory places the satellites of a run. The compact
// model is the program's own (a Keplerian ellipse with linear drifts); SGP4
// is the theory the element sets were fitted with (SDP4 for long periods),
// with the site on the WGS-84 ellipsoid. The search for passes and the
// report are the same for both.
#pragma once

#include <cstdint>

namespace vespera {

enum class OrbitModel : uint8_t { Compact, Sgp4 };

}  // namespace vespera
