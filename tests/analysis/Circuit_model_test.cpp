// Circuit strings: their impedance where it is known in closed form, their
// slopes, their faults; the presets; the circuit text of the command line;
// numbers with SI prefixes.
#include "Circuit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

#include "Circuit_presets.h"
#include "Model_curve.h"
#include "Si_number.h"

namespace doz::analysis {
namespace {

using TComplex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

TCircuit Known(const std::string& text) {
  std::string error;
  const auto circuit = TCircuit::Parse(text, error);
  EXPECT_TRUE(circuit) << text << ": " << error;
  return circuit.value_or(TCircuit(std::get<TCircuitModel>(TCircuitModel::Parse("R")), {1}));
}

TEST(CircuitModel, ImpedanceWhereItIsKnown) {
  const double f = 1000, w = 2 * kPi * f;
  const double w0 = 1 / std::sqrt(0.5 * 100e-9), f0 = w0 / (2 * kPi);
  const std::tuple<const char*, double, TComplex> cases[] = {
      {"rl:R=100,L=10m", f, {100, w * 0.01}},
      {"rc:R=100,C=1u", f, {100, -1 / (w * 1e-6)}},
      {"rlc:R=100,L=0.5,C=100n", f0, {100, 0}},
      {"rlc-parallel:R=10k,L=0.5,C=100n", f0, {1e4, 0}},
      // Series branch at its resonance leaves R1 across C0.
      {"bvd:R1=100,L1=0.5,C1=100n,C0=1n", f0, 1.0 / (1.0 / 100.0 + TComplex(0, w0 * 1e-9))},
      {"transformer:R=10,L=1,Rp=1k", f, 10.0 + 1.0 / (1.0 / 1000.0 + 1.0 / TComplex(0, w))},
      {"speaker:Re=6,Le=1m,Res=50,Lces=20m,Cmes=500u", 1 / (2 * kPi * std::sqrt(20e-3 * 500e-6)),
       {56, 1e-3 / std::sqrt(20e-3 * 500e-6)}},
      // Nested branches, written in any order.
      {"p(R1-L1,C1,R2):C1=1u,R2=1k,L1=0.1,R1=10", f,
       1.0 / (1.0 / TComplex(10, w * 0.1) + TComplex(0, w * 1e-6) + 1e-3)},
  };
  for (const auto& [text, hertz, expected] : cases) {
    const TComplex z = Known(text).Impedance(hertz);
    EXPECT_NEAR(z.real(), expected.real(), 1e-9 * std::abs(expected)) << text;
    EXPECT_NEAR(z.imag(), expected.imag(), 1e-9 * std::abs(expected)) << text;
  }
}

TEST(CircuitModel, SlopesAreTheDerivativesByTheLogarithmOfEachValue) {
  const TCircuit c = Known("R1-L1-p(R2,L2-C2,p(R3,C3)-L3):R1=5,L1=1m,R2=2k,L2=0.2,C2=1u,R3=300,"
                           "C3=10n,L3=5m");
  const std::vector<double> omegas = {60, 2e3, 4e4, 6e5};
  std::vector<TComplex> z(omegas.size()), slopes(c.Values().size() * omegas.size());
  c.Model().Impedances(c.Values(), omegas, z, slopes);
  constexpr double h = 1e-6;
  for (std::size_t i = 0; i < c.Values().size(); ++i) {
    std::vector<double> up = c.Values(), down = c.Values();
    up[i] *= std::exp(h);
    down[i] *= std::exp(-h);
    for (std::size_t j = 0; j < omegas.size(); ++j) {
      const TComplex numeric =
          (c.Model().Impedance(up, omegas[j]) - c.Model().Impedance(down, omegas[j])) / (2 * h);
      EXPECT_LT(std::abs(slopes[i * omegas.size() + j] - numeric), 1e-6 * std::abs(z[j]))
          << c.Model().Names()[i] << " at " << omegas[j];
      EXPECT_EQ(z[j], c.Model().Impedance(c.Values(), omegas[j]));
    }
  }
}

TEST(CircuitModel, SyntaxFaultsNameTheirPosition) {
  using enum TSyntaxFault;
  const std::tuple<const char*, std::size_t, TSyntaxFault> cases[] = {
      {"", 1, MissingElement},        {"R1-", 4, MissingElement},
      {"R1-X2", 4, UnknownElement},   {"r1", 1, UnknownElement},
      {"R1-L1-R1", 7, Duplicate},     {"p R1,C1)", 3, MissingOpen},
      {"p(R1,C1", 8, MissingClose},   {"p(R1;C1)", 5, ExpectedSeparator},
      {"p(R1)", 5, OneBranch},        {"R1-L1)", 6, Trailing},
      {"R1--L1", 4, Unexpected},      {"p(R1, ,C1)", 7, Unexpected},
  };
  for (const auto& [text, position, fault] : cases) {
    const TModelParse parsed = TCircuitModel::Parse(text);
    ASSERT_TRUE(std::holds_alternative<TCircuitSyntaxError>(parsed)) << text;
    const auto& error = std::get<TCircuitSyntaxError>(parsed);
    EXPECT_EQ(error.Position, position) << text << ": " << error.Text();
    EXPECT_EQ(error.Fault, fault) << text << ": " << error.Text();
  }
  std::string many = "R0";
  for (int i = 1; i <= int(kMaxCircuitElements); ++i) many += "-R" + std::to_string(i);
  EXPECT_EQ(std::get<TCircuitSyntaxError>(TCircuitModel::Parse(many)).Fault, TooManyElements);
  const auto spaced = TCircuitModel::Parse(" R1 - p( L1 , C1 ) ");
  ASSERT_TRUE(std::holds_alternative<TCircuitModel>(spaced));
  EXPECT_EQ(std::get<TCircuitModel>(spaced).Text(), "R1-p(L1,C1)");
}

TEST(CircuitModel, PresetsAreNamedCircuitStrings) {
  for (const TPreset& preset : Presets()) {
    const TModelParse named = ModelNamed(preset.Name);
    ASSERT_TRUE(std::holds_alternative<TCircuitModel>(named)) << preset.Name;
    EXPECT_EQ(PresetOf(std::get<TCircuitModel>(named)), &preset);
  }
  const auto coil = std::get<TCircuitModel>(ModelNamed("coil"));
  EXPECT_EQ(coil.Text(), "p(R-L,C)");
  EXPECT_EQ(coil.Names(), (std::vector<std::string>{"R", "L", "C"}));
  EXPECT_EQ(std::get<TCircuitModel>(ModelNamed("p(R1,C1)")).Size(), 2u);
  EXPECT_EQ(std::get<TCircuitSyntaxError>(ModelNamed("tank")).Fault, TSyntaxFault::UnknownModel);
}

TEST(CircuitModel, TextNamesTheModelAndEachParameterOnce) {
  const TCircuit coil = Known("coil:C=400p,R=6.8k,L=2.5");
  EXPECT_EQ(coil.Name(), "coil");
  EXPECT_EQ(coil.Values(), (std::vector<double>{6800, 2.5, 400e-12}));
  const TCircuit own = Known("R1-p(L1,C1):R1=10,L1=1m,C1=2n");
  EXPECT_EQ(own.Name(), "R1-p(L1,C1)");
  EXPECT_DOUBLE_EQ(own.Value("C1").value_or(0), 2e-9);

  for (const char* bad :
       {"", "coil", "coil:", "tank:R=1,L=1,C=1", "coil:R=1,L=1", "coil:R=1,L=1,C=1,C=2",
        "coil:R=1,L=1,C=0", "coil:R=1,L=-1,C=1", "coil:R=1,L=1,C=1x", "coil:R=1,L=1,C=1,Q=2",
        "rl:R=1,L=1,", "rl:R=inf,L=1", "rl:R,L=1", "auto:R=1", "p(R1,C1:R1=1,C1=1"}) {
    std::string error;
    EXPECT_FALSE(TCircuit::Parse(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(CircuitModel, ModelCurveTakesTheMeasuredFrequenciesOfTheBand) {
  const TCircuit rc = Known("rc:R=100,C=1u");
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
      {"4m", 4e-3},      {"47u", 47e-6}, {"1n", 1e-9},   {"2G", 2e9},   {"-1.5k", -1500},
      {"3f", 3e-15}};
  for (const auto& [text, value] : parsed)
    EXPECT_DOUBLE_EQ(ParseSi(text).value_or(0), value) << text;
  for (const char* bad : {"", "k", "1kk", "1 k", "1x", "nan", "inf", "1e400", "0x10"}) {
    EXPECT_FALSE(ParseSi(bad)) << bad;
  }
  const std::tuple<double, const char*, const char*> printed[] = {
      {6800, "Ω", "6.80 kΩ"},       {2.5, "H", "2.50 H"},     {400e-12, "F", "400 pF"},
      {999.7, "Ω", "1.00 kΩ"},      {4.7e-6, "F", "4.70 µF"}, {0.01, "H", "10.0 mH"},
      {5033, "Hz", "5.03 kHz"},     {0, "Ω", "0 Ω"},          {-47, "Ω", "-47.0 Ω"},
      {1.2e-15, "F", "1.20 fF"},    {1.2e-18, "F", "1.20e-18 F"}, {3e12, "Ω", "3.00e+12 Ω"}};
  for (const auto& [value, unit, text] : printed) EXPECT_EQ(FormatSi(value, unit), text);
}

}  // namespace
}  // namespace doz::analysis
