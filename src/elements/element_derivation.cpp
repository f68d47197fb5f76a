#include "elements/element_derivation.h"

#include <cmath>
#include <limits>

#include "vocabulary/units.h"

namespace vespera {

// Narrowing a double that lies beyond the float range gives an infinity on an
// IEEE platform; the finiteness test of deriveElementSet relies on it.
static_assert(std::numeric_limits<float>::is_iec559, "IEEE single precision required");

namespace {

// The semi-major axis of an orbit of one revolution per day, in earth radii
// (scaled by the mean motion to the power kTwoThirds), and the earth radius of
// the element sets' earth model.
constexpr float kSemiMajorAxisEarthRadiiAtOneRevPerDay = 6.6229515f;
constexpr float kEarthRadiusKm = 6378.388f;

// Zonal-harmonic factors of the drift: J2 and J4 terms scaled by powers of the
// earth's radius in km.
constexpr float kJ2Factor = 66081.0f;      // km^2
constexpr float kJ4Factor = 1.55565e10f;   // km^4

bool finite(float x) { return std::isfinite(x); }

}  // namespace

float semiMajorAxisKm(float meanMotion) {
  return static_cast<float>(static_cast<double>(kSemiMajorAxisEarthRadiiAtOneRevPerDay) /
                            std::pow(static_cast<double>(meanMotion),
                                     static_cast<double>(kTwoThirds)) *
                            static_cast<double>(kEarthRadiusKm));
}

SecularRates secularRatesPerRevolution(float inclination, float semiMajorAxis,
                                       float eccentricity) {
  const float s = static_cast<float>(std::sin(static_cast<double>(inclination)));
  const float c = static_cast<float>(std::cos(static_cast<double>(inclination)));
  const float e2 = static_cast<float>(static_cast<double>(eccentricity) * eccentricity);
  const float beta = static_cast<float>(std::sqrt(1.0 - static_cast<double>(e2)));
  const float p = static_cast<float>(static_cast<double>(semiMajorAxis) * (1.0 - e2));
  const double p2 = static_cast<double>(p) * p;
  const float g2 = static_cast<float>(static_cast<double>(kJ2Factor) / p2);
  const float g4 = static_cast<float>(static_cast<double>(kJ4Factor) / (p2 * p2));

  // The formulas in double from the single-precision quantities above.
  const double S = s, C = c, E2 = e2, B = beta, G2 = g2, G4 = g4;
  const double s2 = S * S;
  const double s4 = s2 * s2;
  const double c4 = C * C * C * C;

  SecularRates rates;
  rates.node = static_cast<float>(
      -G2 * C *
          (1.0 + G2 * ((1.5 + E2 / 6.0 - 2.0 * B) -
                       (double{1.6666667f} - double{0.20833333f} * E2 - 3.0 * B) * s2)) -
      G4 * C * (double{0.85714287f} - 1.5 * s2) * (1.0 + 1.5 * E2));
  rates.perigee = static_cast<float>(
      G2 * (2.0 - 2.5 * s2) *
          (1.0 + G2 * ((2.0 + 0.5 * E2 - 2.0 * B) -
                       (double{1.7916667f} - double{0.0208333f} * E2 - 3.0 * B) * s2)) -
      double{0.4166667f} * G2 * G2 * E2 * c4 +
      G4 * ((double{1.714286f} - double{6.642857f} * s2 + 5.25 * s4) +
            E2 * (double{1.928571f} - 6.75 * s2 + 5.0625 * s4)));
  return rates;
}

bool deriveElementSet(const LineTwoElements& line2, ElementSet& set) {
  const float n = line2.meanMotion;
  const float e = line2.eccentricity;
  // Not an ellipse, or no motion: nothing below would mean anything.
  if (!(n > 0.0f) || !finite(n) || !(e >= 0.0f && e < 1.0f)) return false;

  const float a = semiMajorAxisKm(n);
  set.inclination = static_cast<float>(static_cast<double>(line2.inclinationDeg) *
                                       static_cast<double>(kRadiansPerDegree));
  set.eccentricity = e;
  const SecularRates rates = secularRatesPerRevolution(set.inclination, a, e);
  set.nodePerRev = static_cast<float>(static_cast<double>(kTwoPi) * rates.node);
  set.perigeePerRev = static_cast<float>(static_cast<double>(kTwoPi) * rates.perigee);

  // X: the part of a revolution since perigee; T: the days since the passage.
  const float x = static_cast<float>(static_cast<double>(line2.meanAnomalyDeg) / 360.0);
  const float t = static_cast<float>(static_cast<double>(x) / n);
  set.epochFraction = static_cast<float>(static_cast<double>(set.epochFraction) - t);
  set.meanMotion = static_cast<float>(static_cast<double>(n) -
                                      2.0 * static_cast<double>(set.meanMotionDot) * t);
  set.nodeRa = static_cast<float>(
      static_cast<double>(line2.nodeDeg) * static_cast<double>(kRadiansPerDegree) -
      static_cast<double>(x) * set.nodePerRev);
  set.argPerigee = static_cast<float>(
      static_cast<double>(line2.perigeeDeg) * static_cast<double>(kRadiansPerDegree) -
      static_cast<double>(x) * set.perigeePerRev);

  return finite(a) && finite(set.inclination) && finite(set.nodePerRev) &&
         finite(set.perigeePerRev) && finite(set.epochFraction) && finite(set.meanMotion) &&
         finite(set.nodeRa) && finite(set.argPerigee);
}

}  // namespace vespera
