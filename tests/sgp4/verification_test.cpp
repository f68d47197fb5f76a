// The published verification set of the SGP4/SDP4 theory (Vallado et al.,
// "Revisiting Spacetrack Report #3", AIAA 2006-6753): every element set of
// SGP4-VER.TLE is propagated over its listed span and the table is compared,
// row by row, with the published run tcppver.out. Positions are to agree
// within 1e-6 km and velocities within 1e-9 km/s (the last printed digit);
// beyond 1e-5 km or 1e-8 km/s is a hard failure. Each case must stop where
// the published run stops, with the same error code.
//
// The published run used the improved operation mode, and held each epoch
// as one double Julian date: the epoch is given to the propagator the same
// way here. (With the epoch to full precision the states move by up to
// 4e-6 km: for the orbit of eccentricity 0.97 near its perigee a change of
// 2e-10 day in the epoch moves the moon's periodic terms enough to show.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sgp4/propagator.h"
#include "sgp4/verification_data.h"

namespace vespera::sgp4::test {
namespace {

const std::string kDir = std::string(VESPERA_TEST_DATA) + "/sgp4-verification";

// Where a published run stops: the case (catalogue number and which of its
// occurrences in the file), the error code and the time of the failing step.
struct ExpectedStop {
  int catalogue_number;
  int occurrence;
  Sgp4Error error;
  double minutes;
};

const ExpectedStop kStops[] = {
    {22312, 0, Sgp4Error::kMeanElements, 494.2028672},  // decaying: eccentricity below -0.001
    {28350, 0, Sgp4Error::kMeanElements, 1560.0},
    {28872, 0, Sgp4Error::kDecayed, 55.0},  // perigee 51 km below the surface at the epoch
    {29141, 0, Sgp4Error::kDecayed, 440.0},
    {33333, 0, Sgp4Error::kSemiLatusRectum, 25.0},
    {33334, 0, Sgp4Error::kPerturbedEccentricity, 0.0},  // fails at the epoch
    {20413, 1, Sgp4Error::kDecayed, 1844345.0},           // the long run, 3.5 years on
};

std::optional<ExpectedStop> expected_stop(int catalogue_number, int occurrence) {
  for (const ExpectedStop& stop : kStops) {
    if (stop.catalogue_number == catalogue_number && stop.occurrence == occurrence) return stop;
  }
  return std::nullopt;
}

struct RunRow {
  double minutes;
  TemeState state;
};

// Our run of one case: the states up to the first error, and that error.
struct CaseRun {
  std::vector<RunRow> rows;
  Sgp4Error error = Sgp4Error::kNone;
  double error_minutes = 0.0;
};

CaseRun run_case(const VerificationCase& c, OperationMode mode, bool epoch_as_published) {
  MeanElements elements = c.elements;
  if (epoch_as_published) {
    elements.epoch_jd += elements.epoch_jd_fraction;
    elements.epoch_jd_fraction = 0.0;
  }
  CaseRun run;
  const Initialisation init = initialise(elements, mode);
  if (!init.propagator) {
    run.error = init.error;
    return run;
  }
  for (double t : run_times(c)) {
    const TemeState s = init.propagator->propagate(t);
    if (s.error != Sgp4Error::kNone) {
      run.error = s.error;
      run.error_minutes = t;
      break;
    }
    run.rows.push_back({t, s});
  }
  return run;
}

double difference(const std::array<double, 3>& ours, const PublishedRow& row, std::size_t first) {
  const double dx = ours[0] - row[first], dy = ours[1] - row[first + 1], dz = ours[2] - row[first + 2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::string where(int catalogue_number, double minutes) {
  char text[64];
  std::snprintf(text, sizeof text, "%d at %.8f min", catalogue_number, minutes);
  return text;
}

struct Tally {
  int compared = 0;
  int position_within = 0;  // within 1e-6 km
  int velocity_within = 0;  // within 1e-9 km/s
  int position_beyond = 0;  // beyond 1e-5 km
  int velocity_beyond = 0;  // beyond 1e-8 km/s
  double worst_dr = 0.0, worst_dv = 0.0;
  std::string worst_dr_at, worst_dv_at;
  std::map<int, double> worst_dr_of_case;
  int missing = 0;  // published rows at times where our run has no state
};

void count(Tally& tally, int catalogue_number, double minutes, double dr, double dv) {
  ++tally.compared;
  tally.position_within += dr <= 1e-6;
  tally.velocity_within += dv <= 1e-9;
  tally.position_beyond += dr > 1e-5;
  tally.velocity_beyond += dv > 1e-8;
  if (dr > tally.worst_dr) tally.worst_dr = dr, tally.worst_dr_at = where(catalogue_number, minutes);
  if (dv > tally.worst_dv) tally.worst_dv = dv, tally.worst_dv_at = where(catalogue_number, minutes);
  double& worst = tally.worst_dr_of_case[catalogue_number];
  worst = std::max(worst, dr);
}

// Compares the published rows of one case with our run at the same times.
void compare_rows(const PublishedCase& published, const CaseRun& run, Tally& tally) {
  for (const PublishedRow& row : published.rows) {
    const auto ours = std::find_if(run.rows.begin(), run.rows.end(),
                                   [&](const RunRow& r) { return std::fabs(r.minutes - row[0]) < 1e-6; });
    if (ours == run.rows.end()) {
      ++tally.missing;
      continue;
    }
    count(tally, published.catalogue_number, row[0], difference(ours->state.position_km, row, 1),
          difference(ours->state.velocity_km_s, row, 4));
  }
}

// The run must stop exactly where the published one does: at the listed
// error, after every published row; a case not listed runs through.
void check_stop(const PublishedCase& published, int occurrence, const CaseRun& run) {
  const std::optional<ExpectedStop> stop = expected_stop(published.catalogue_number, occurrence);
  const std::string name = std::to_string(published.catalogue_number);
  if (!stop) {
    EXPECT_EQ(run.error, Sgp4Error::kNone) << name << ": " << error_text(run.error) << " at " << run.error_minutes;
    return;
  }
  EXPECT_EQ(run.error, stop->error) << name << ": " << error_text(run.error);
  EXPECT_NEAR(run.error_minutes, stop->minutes, 1e-6) << name;
  if (stop->minutes > 0.0) {
    ASSERT_FALSE(published.rows.empty()) << name;
    EXPECT_LT(published.rows.back()[0], run.error_minutes) << name;
  }
}

// A case that fails at its epoch has no state. Its published line (at time
// 0) holds the previous case's last position and velocity, printed again by
// the published driver: not a state of this case. It is checked to be
// exactly that, and not compared.
void check_repeated_line(const PublishedCase& published, const PublishedCase& previous) {
  ASSERT_EQ(published.rows.size(), 1u) << published.catalogue_number;
  EXPECT_EQ(published.rows[0][0], 0.0);
  for (std::size_t k = 1; k < 7; ++k) {
    EXPECT_EQ(published.rows[0][k], previous.rows.back()[k]) << published.catalogue_number << " column " << k;
  }
}

Tally verify(OperationMode mode, bool epoch_as_published) {
  const std::vector<VerificationCase> cases = read_cases(kDir + "/SGP4-VER.TLE");
  const std::vector<PublishedCase> published = read_published(kDir + "/tcppver.out");
  Tally tally;
  EXPECT_EQ(cases.size(), 33u);
  EXPECT_EQ(published.size(), cases.size());
  std::map<int, int> occurrences;
  for (std::size_t k = 0; k < cases.size() && k < published.size(); ++k) {
    const PublishedCase& p = published[k];
    EXPECT_EQ(cases[k].catalogue_number, p.catalogue_number);
    const int occurrence = occurrences[p.catalogue_number]++;
    const CaseRun run = run_case(cases[k], mode, epoch_as_published);
    check_stop(p, occurrence, run);
    if (run.rows.empty() && run.error != Sgp4Error::kNone && k > 0) {
      check_repeated_line(p, published[k - 1]);
    } else {
      compare_rows(p, run, tally);
    }
  }
  EXPECT_EQ(tally.missing, 0);
  return tally;
}

void print(const char* title, const Tally& tally) {
  std::printf("%s: %d states compared; %d within 1e-6 km, %d within 1e-9 km/s; %d beyond 1e-5 km, %d beyond 1e-8 km/s\n"
              "  worst |dr| %.3e km (%s), worst |dv| %.3e km/s (%s)\n",
              title, tally.compared, tally.position_within, tally.velocity_within, tally.position_beyond,
              tally.velocity_beyond, tally.worst_dr, tally.worst_dr_at.c_str(), tally.worst_dv,
              tally.worst_dv_at.c_str());
}

TEST(Sgp4Verification, PublishedRunIsReproduced) {
  const Tally tally = verify(OperationMode::kImproved, true);
  print("improved mode", tally);
  RecordProperty("states_compared", tally.compared);
  RecordProperty("worst_dr_km", std::to_string(tally.worst_dr));
  RecordProperty("worst_dv_km_s", std::to_string(tally.worst_dv));
  EXPECT_EQ(tally.compared, 666);
  EXPECT_EQ(tally.position_within, tally.compared);
  EXPECT_EQ(tally.velocity_within, tally.compared);
  EXPECT_EQ(tally.position_beyond, 0);
  EXPECT_EQ(tally.velocity_beyond, 0);
}

// The full-precision epoch keeps every state within the hard limits.
TEST(Sgp4Verification, FullPrecisionEpochStaysWithinTheHardLimits) {
  const Tally tally = verify(OperationMode::kImproved, false);
  print("improved mode, epoch to full precision", tally);
  EXPECT_EQ(tally.compared, 666);
  EXPECT_EQ(tally.position_beyond, 0);
  EXPECT_EQ(tally.velocity_beyond, 0);
}

// The AFSPC mode's node handling in the Lyddane form moves the low-inclination
// case 23599 by the better part of a kilometre: the published run is not of
// that mode, and the mode switch does reach the periodics. Its sidereal time
// at the epoch differs too, but the resonant cases hardly feel it.
TEST(Sgp4Verification, AfspcModeDepartsFromThePublishedRunAtLowInclination) {
  const Tally tally = verify(OperationMode::kAfspc, true);
  print("AFSPC mode", tally);
  EXPECT_GT(tally.worst_dr_of_case.at(23599), 0.1);
  EXPECT_LT(tally.worst_dr_of_case.at(28057), 1e-6);  // near-earth: the modes agree
}

}  // namespace
}  // namespace vespera::sgp4::test
