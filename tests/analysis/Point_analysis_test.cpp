// One point's series and parallel quantities, and the resonances of a sweep.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Analysis_report.h"
#include "Point_quantities.h"
#include "Resonance_finder.h"
#include "Synthetic_sweep.h"

namespace doz::analysis {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNone = -1e99;  // marks a quantity that must be absent

TImpedanceSample Sample(double ohms, double degrees, double hertz) {
  TCalcData data;
  ClearCalcData(data);
  data.R[0] = ohms, data.Theta[0] = degrees, data.Freq[0] = hertz;
  return SamplesOf(data, 1).at(0);
}

void ExpectQuantity(const std::optional<double>& got, double expected, const char* name) {
  if (expected == kNone) {
    EXPECT_FALSE(got) << name << " = " << got.value_or(0);
  } else {
    ASSERT_TRUE(got) << name;
    EXPECT_NEAR(*got, expected, 1e-9 * std::fabs(expected)) << name;
  }
}

TEST(PointQuantities, SeriesAndParallelFormsAndTheirAbsences) {
  const double s45 = std::sqrt(0.5), w100 = 2 * kPi * 100;
  struct TCase {
    double ohms, degrees, hertz;
    double ls, cs, q, d, rp, xp, lp, cp;
  } cases[] = {
      // Capacitive: Q = D = 1, parallel values twice the series ones.
      {500, -45, 100, kNone, 1 / (w100 * 500 * s45), 1, 1, 500 / s45, -500 / s45, kNone,
       s45 / (w100 * 500)},
      // Inductive.
      {500, 45, 100, 500 * s45 / w100, kNone, 1, 1, 500 / s45, 500 / s45, 500 / (s45 * w100),
       kNone},
      // A plain resistance: no reactance, so no L, C, D or parallel X.
      {1000, 0, 1000, kNone, kNone, 0, kNone, 1000, kNone, kNone, kNone},
      // Nothing at all.
      {0, 0, 1000, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
      // A negative resistance (phase beyond 90°): no Q or D.
      {1000, 180, 1000, kNone, kNone, kNone, kNone, -1000, kNone, kNone, kNone},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.ohms) + " ohm at " + std::to_string(c.degrees) + " deg");
    const TPointQuantities q = QuantitiesOf(Sample(c.ohms, c.degrees, c.hertz));
    EXPECT_NEAR(q.Rs, c.ohms * std::cos(c.degrees * kPi / 180), 1e-9 * c.ohms);
    EXPECT_NEAR(q.Xs, c.ohms * std::sin(c.degrees * kPi / 180), 1e-9 * c.ohms);
    ExpectQuantity(q.Ls, c.ls, "Ls");
    ExpectQuantity(q.Cs, c.cs, "Cs");
    ExpectQuantity(q.Q, c.q, "Q");
    ExpectQuantity(q.D, c.d, "D");
    ExpectQuantity(q.Rp, c.rp, "Rp");
    ExpectQuantity(q.Xp, c.xp, "Xp");
    ExpectQuantity(q.Lp, c.lp, "Lp");
    ExpectQuantity(q.Cp, c.cp, "Cp");
  }
  // A pure reactance: no resistance, so no Q; D and Rp of 0 and infinity.
  const TPointQuantities pure = QuantitiesOf(Sample(1e7, -270, 10));
  EXPECT_EQ(pure.Rs, 0.0);
  EXPECT_NEAR(*pure.Ls, 1e7 / (2 * kPi * 10), 1e-3);
  EXPECT_FALSE(pure.Q || pure.Rp || pure.Cs);
  EXPECT_EQ(pure.D, 0.0);
}

TEST(PointQuantities, SamplesSkipGapsClearedSlotsAndSlotsOutsideTheBand) {
  TCalcData data;
  ClearCalcData(data);
  for (int i : {93, 94, 95, 96, 216}) data.R[i] = 100, data.Freq[i] = 100 + i;
  data.Freq[95] = 0;  // a stopped sweep's cleared record
  data.R[96] = -1;
  const auto samples = SamplesOf(data, 9);  // slots 94..215
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(samples[0].Slot, 94);
  EXPECT_TRUE(SamplesOf(data, 11).empty());
}

struct TExpectedResonance {
  TResonanceKind kind;
  double hertz;
  double ohms;  // 0: not checked
  double q;     // 0: not checked
};

struct TResonanceCase {
  const char* circuit;
  std::vector<TExpectedResonance> expected;
};

TEST(Resonances, PeaksAndDipsWhereThePhasePassesZero) {
  using enum TResonanceKind;
  const double coilW = std::sqrt(1 / (2.5 * 400e-12) - std::pow(6800 / 2.5, 2));  // zero phase
  const TResonanceCase cases[] = {
      // Series RLC: |Z| = R at the dip, Q = w0 L / R exactly.
      {"rlc:R=500,L=500m,C=100n",
       {{Dip, 1 / (2 * kPi * std::sqrt(0.5 * 100e-9)), 500, std::sqrt(0.5 / 100e-9) / 500}}},
      {"rlc-parallel:R=20k,L=200m,C=20n",
       {{Peak, 1 / (2 * kPi * std::sqrt(0.2 * 20e-9)), 20000, 20000 / std::sqrt(0.2 / 20e-9)}}},
      // A winding: |Z| = L/(RC) where the phase passes zero.
      {"coil:R=6800,L=2.5,C=400p",
       {{Peak, coilW / (2 * kPi), 2.5 / (6800 * 400e-12), coilW * 2.5 / 6800}}},
      // A resonator: series dip, then the parallel peak sqrt(1 + C1/C0) higher.
      {"bvd:R1=200,L1=50m,C1=1n,C0=5n",
       {{Dip, 1 / (2 * kPi * std::sqrt(50e-3 * 1e-9)), 0, 0},
        {Peak, std::sqrt(1.2) / (2 * kPi * std::sqrt(50e-3 * 1e-9)), 0, 0}}},
      // Too damped for its phase to reach zero, and no resonance at all.
      {"bvd:R1=1000,L1=50m,C1=1n,C0=5n", {}},
      {"rl:R=1000,L=100m", {}},
      {"rc:R=10,C=1u", {}},
  };
  for (const TResonanceCase& c : cases) {
    SCOPED_TRACE(c.circuit);
    std::string error;
    const auto circuit = TCircuit::Parse(c.circuit, error);
    ASSERT_TRUE(circuit) << error;
    const auto found = FindResonances(SamplesOf(test::SyntheticSweep(*circuit), 1));
    ASSERT_EQ(found.size(), c.expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      const TExpectedResonance& e = c.expected[i];
      EXPECT_EQ(ResonanceName(found[i].Kind), ResonanceName(e.kind));
      EXPECT_NEAR(found[i].Hertz, e.hertz, 0.005 * e.hertz);
      if (e.ohms > 0) {
        EXPECT_NEAR(found[i].Ohms, e.ohms, 0.01 * e.ohms);
      }
      if (e.q > 0) {
        EXPECT_NEAR(found[i].Q.value_or(0), e.q, 0.03 * e.q);
      }
    }
  }
}

TEST(Resonances, ANarrowOneFromTheModelAndAsALowerBoundFromThePoints) {
  // Q 100 at 20 kHz: narrower than one step of the grid there.
  std::string error;
  const auto truth = TCircuit::Parse("rlc-parallel:R=10k,L=0.7958m,C=79.58n", error).value();
  const auto samples = SamplesOf(test::WholeOhms(test::SyntheticSweep(truth)), 1);
  const auto points = FindResonances(samples);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_TRUE(points[0].Narrow);
  EXPECT_LT(points[0].Q.value_or(0), 90);
  const TAnalysisReport report = Analyze(samples);
  ASSERT_EQ(report.Resonances.size(), 1u);
  const TResonance& r = report.Resonances[0];
  EXPECT_EQ(r.Source, TResonanceSource::Model);
  EXPECT_NEAR(r.Q.value_or(0), 100, 3);
  EXPECT_NEAR(r.Hertz, 20000, 20);
  EXPECT_NEAR(r.Ohms, std::abs(truth.Impedance(r.Hertz)), 0.01 * r.Ohms);
  EXPECT_NEAR(r.ExtremumOhms, 10000, 100);
}

TEST(Resonances, AnExtremumAtTheFirstPointMayLieBeyondTheBand) {
  TCalcData data;
  ClearCalcData(data);
  for (int i = 0; i < 556; ++i) {
    data.Freq[i] = 10.0 * std::pow(1.0125, i);
    data.R[i] = 1000.0 / (1 + i);
    data.Theta[i] = i == 0 ? 10.0 : -10.0;
  }
  EXPECT_TRUE(FindResonances(SamplesOf(data, 1)).empty());
}

TEST(Resonances, NoiseAboutZeroAndWrapsAtHalfATurnAreNotResonances) {
  TCalcData data;
  ClearCalcData(data);
  for (int i = 0; i < 556; ++i) {
    data.Freq[i] = 10.0 * std::pow(1.0125, i);
    data.R[i] = 1000 + 50 * std::sin(i);  // wobbling |Z| with extremes everywhere
    data.Theta[i] = (i % 2 ? 1.5 : -1.5);
  }
  EXPECT_TRUE(FindResonances(SamplesOf(data, 1)).empty());
  for (int i = 0; i < 556; ++i) data.Theta[i] = (i % 2 ? 179.0 : -179.0);
  EXPECT_TRUE(FindResonances(SamplesOf(data, 1)).empty());
}

}  // namespace
}  // namespace doz::analysis
