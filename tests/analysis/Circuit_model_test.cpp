// The circuits' impedance where it is known in closed form, the circuit
// text of the command line, and numbers with SI prefixes.
#include "Circuit_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "Model_curve.h"
#include "Si_number.h"

namespace doz::analysis {
namespace {

using TComplex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

TEST(CircuitModel, ImpedanceWhereItIsKnown) {
  const double f = 1000, w = 2 * kPi * f;
  const double w0 = 1 / std::sqrt(0.5 * 100e-9), f0 = w0 / (2 * kPi);
  struct TCase {
    TCircuit circuit;
    double hertz;
    TComplex z;
  } cases[] = {
      {TCircuit(TCircuitKind::Rl, {100, 0.01}), f, {100, w * 0.01}},
      {TCircuit(TCircuitKind::Rc, {100, 1e-6}), f, {100, -1 / (w * 1e-6)}},
      {TCircuit(TCircuitKind::Rlc, {100, 0.5, 100e-9}), f0, {100, 0}},
      {TCircuit(TCircuitKind::RlcParallel, {1e4, 0.5, 100e-9}), f0, {1e4, 0}},
      // (R + jX) parallel to -jX at resonance of a lossless coil part.
      {TCircuit(TCircuitKind::Coil, {0, 0.5, 100e-9}), f,
       1.0 / (1.0 / TComplex(0, w * 0.5) + TComplex(0, w * 100e-9))},
      // Series branch at its resonance leaves R1 across C0.
      {TCircuit(TCircuitKind::Bvd, {100, 0.5, 100e-9, 1e-9}), f0,
       1.0 / (1.0 / 100.0 + TComplex(0, w0 * 1e-9))},
  };
  for (const TCase& c : cases) {
    const TComplex z = c.circuit.Impedance(c.hertz);
    EXPECT_NEAR(z.real(), c.z.real(), 1e-9 * std::abs(c.z)) << CircuitName(c.circuit.Kind());
    EXPECT_NEAR(z.imag(), c.z.imag(), 1e-9 * std::abs(c.z)) << CircuitName(c.circuit.Kind());
  }
}

TEST(CircuitModel, TextNamesTheModelAndEachParameterOnce) {
  std::string error;
  const auto coil = TCircuit::Parse("coil:C=400p,R=6.8k,L=2.5", error);
  ASSERT_TRUE(coil) << error;
  EXPECT_EQ(coil->Kind(), TCircuitKind::Coil);
  ASSERT_EQ(coil->Values().size(), 3u);
  EXPECT_DOUBLE_EQ(coil->Values()[0], 6800);
  EXPECT_DOUBLE_EQ(coil->Values()[1], 2.5);
  EXPECT_DOUBLE_EQ(coil->Values()[2], 400e-12);
  const auto bvd = TCircuit::Parse("bvd:R1=10,L1=1m,C1=2n,C0=3u", error);
  ASSERT_TRUE(bvd) << error;
  EXPECT_DOUBLE_EQ(bvd->Values()[3], 3e-6);

  for (const char* bad :
       {"", "coil", "coil:", "tank:R=1,L=1,C=1", "coil:R=1,L=1", "coil:R=1,L=1,C=1,C=2",
        "coil:R=1,L=1,C=0", "coil:R=1,L=-1,C=1", "coil:R=1,L=1,C=1x", "coil:R=1,L=1,C=1,Q=2",
        "rl:R=1,L=1,", "rl:R=inf,L=1", "rl:R,L=1", "auto:R=1"}) {
    error.clear();
    EXPECT_FALSE(TCircuit::Parse(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(CircuitModel, ModelCurveTakesTheMeasuredFrequenciesOfTheBand) {
  const TCircuit rc(TCircuitKind::Rc, {100, 1e-6});
  TCalcData measured;
  ClearCalcData(measured);
  const int first = BandFirstIndex(9), last = BandLastIndex(9);  // 100 Hz to 1 kHz
  for (int i = first - 3; i <= last + 3; ++i) {
    measured.Freq[i] = 10.0 * (i + 1);
    measured.R[i] = 50.0;
  }
  measured.R[first + 1] = -1.0;    // no value
  measured.Freq[first + 2] = 0.0;  // never reached
  const TCalcData curve = ModelCurve(rc, measured, 9);
  EXPECT_EQ(curve.Valid, 1);
  for (int i = 0; i < DATA_MAX; ++i) {
    const bool held = i >= first && i <= last && i != first + 1 && i != first + 2;
    if (!held) {
      EXPECT_EQ(curve.R[i], -1.0) << i;
      continue;
    }
    const TComplex z = rc.Impedance(measured.Freq[i]);
    EXPECT_DOUBLE_EQ(curve.Freq[i], measured.Freq[i]);
    EXPECT_NEAR(curve.R[i], std::abs(z), 1e-9 * std::abs(z)) << i;
    EXPECT_NEAR(curve.Theta[i], std::arg(z) * 180 / kPi, 1e-9) << i;
  }
}

TEST(SiNumber, ParsesPrefixesAndPrintsThreeDigits) {
  const std::pair<const char*, double> parsed[] = {
      {"400p", 400e-12}, {"2.5", 2.5},   {"6.8k", 6800}, {"1e3", 1000}, {"3M", 3e6},
      {"4m", 4e-3},      {"47u", 47e-6}, {"1n", 1e-9},   {"2G", 2e9},   {"-1.5k", -1500}};
  for (const auto& [text, value] : parsed)
    EXPECT_DOUBLE_EQ(ParseSi(text).value_or(0), value) << text;
  for (const char* bad : {"", "k", "1kk", "1 k", "1x", "nan", "inf", "1e400", "0x10"}) {
    EXPECT_FALSE(ParseSi(bad)) << bad;
  }
  const std::tuple<double, const char*, const char*> printed[] = {
      {6800, "Ω", "6.80 kΩ"},       {2.5, "H", "2.50 H"},     {400e-12, "F", "400 pF"},
      {999.7, "Ω", "1.00 kΩ"},      {4.7e-6, "F", "4.70 µF"}, {0.01, "H", "10.0 mH"},
      {5033, "Hz", "5.03 kHz"},     {0, "Ω", "0 Ω"},          {-47, "Ω", "-47.0 Ω"},
      {1.2e-15, "F", "1.20e-15 F"}, {3e12, "Ω", "3.00e+12 Ω"}};
  for (const auto& [value, unit, text] : printed) EXPECT_EQ(FormatSi(value, unit), text);
}

}  // namespace
}  // namespace doz::analysis
