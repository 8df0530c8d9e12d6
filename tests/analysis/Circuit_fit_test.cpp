// Fits of known circuits under the unit's noise: every preset recovered
// within 1 % and chosen by auto, a circuit of one's own, a loudspeaker at
// its true scale; honest uncertainties and warnings; work bounded by counts;
// and on data no circuit can explain, a result or a typed refusal.
#include "Circuit_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "Analysis_report.h"
#include "Fit_start.h"
#include "Point_quantities.h"
#include "Speaker_parameters.h"
#include "Synthetic_sweep.h"

namespace doz::analysis {
namespace {

TCircuit Known(const std::string& text) {
  std::string error;
  const auto circuit = TCircuit::Parse(text, error);
  EXPECT_TRUE(circuit) << error;
  return circuit.value_or(TCircuit(std::get<TCircuitModel>(TCircuitModel::Parse("R")), {1}));
}

double WorstError(const TCircuit& fitted, const TCircuit& truth) {
  double worst = 0;
  for (std::size_t i = 0; i < truth.Values().size(); ++i) {
    worst = std::max(worst, std::fabs(fitted.Values()[i] / truth.Values()[i] - 1.0));
  }
  return worst;
}

bool Warns(const TAnalysisReport& report, TWarningCode code) {
  return std::any_of(report.Warnings.begin(), report.Warnings.end(),
                     [code](const TAnalysisWarning& w) { return w.Code == code; });
}

std::vector<TImpedanceSample> Sweep(const TCircuit& truth, std::uint64_t seed = 1) {
  return SamplesOf(test::SyntheticSweep(truth, 1, {.Seed = seed}), 1);
}

TEST(CircuitFit, EveryPresetRecoveredWithinOnePercentWithHonestUncertaintyAndChosenByAuto) {
  for (const char* text : test::kKnownCircuits) {
    const TCircuit truth = Known(text);
    for (std::uint64_t seed : {1u, 2u}) {
      SCOPED_TRACE(std::string(text) + " seed " + std::to_string(seed));
      const TAnalysisReport auto_ = Analyze(Sweep(truth, seed));
      const TCircuitFit* fit = auto_.FitOrNull();
      ASSERT_TRUE(fit);
      EXPECT_EQ(fit->Circuit.Name(), truth.Name());
      EXPECT_TRUE(auto_.FitsWell);
      EXPECT_TRUE(auto_.Warnings.empty()) << WarningText(auto_.Warnings.at(0));
      EXPECT_LT(WorstError(fit->Circuit, truth), 0.01);
      for (std::size_t i = 0; i < truth.Values().size(); ++i) {
        ASSERT_TRUE(fit->Uncertainty[i]);
        // Within five standard uncertainties, and those not absurdly wide.
        EXPECT_LT(std::fabs(fit->Circuit.Values()[i] - truth.Values()[i]), 5 * *fit->Uncertainty[i]);
        EXPECT_LT(*fit->Uncertainty[i], 0.01 * truth.Values()[i]);
      }
    }
  }
}

TEST(CircuitFit, ACircuitOfOnesOwnWithEightValues) {
  const TCircuit truth = Known(
      "R1-L1-p(R2,L2-C2)-p(R3,L3,C3):R1=50,L1=2m,R2=5k,L2=0.1,C2=100n,R3=2k,L3=20m,C3=50n");
  const TFitResult result = FitCircuit(Sweep(truth), truth.Model());
  ASSERT_TRUE(std::holds_alternative<TCircuitFit>(result)) << RefusalText(std::get<TFitRefusal>(result));
  const TCircuitFit& fit = std::get<TCircuitFit>(result);
  EXPECT_FALSE(fit.Poor()) << fit.Chi2;
  EXPECT_LT(WorstError(fit.Circuit, truth), 0.02);
}

TEST(CircuitFit, ALoudspeakerAtItsTrueScaleInWholeOhms) {
  const TCircuit truth = Known("speaker:Re=6.2,Le=0.5m,Res=62,Lces=70.6m,Cmes=293u");
  const auto expected = ThieleSmallOf(truth).value();
  for (std::uint64_t seed : {1u, 2u, 3u}) {
    const auto samples = SamplesOf(test::WholeOhms(test::SyntheticSweep(truth, 1, {.Seed = seed})), 1);
    const TAnalysisReport report = Analyze(samples);
    ASSERT_TRUE(report.FitOrNull());
    EXPECT_TRUE(report.FitsWell);
    const auto ts = ThieleSmallOf(report.FitOrNull()->Circuit);
    ASSERT_TRUE(ts) << report.FitOrNull()->Circuit.Name();
    EXPECT_NEAR(ts->Fs, expected.Fs, 0.01 * expected.Fs);
    EXPECT_NEAR(ts->Qms, expected.Qms, 0.05 * expected.Qms);
    EXPECT_NEAR(ts->Qes, expected.Qes, 0.05 * expected.Qes);
  }
}

TEST(CircuitFit, WarningsSayWhatCannotBeTrusted) {
  // Two tanks in series: no preset fits, and auto says so.
  const TCircuit tanks = Known("p(R1,L1,C1)-p(R2,L2,C2):R1=5k,L1=0.5,C1=1u,R2=5k,L2=5m,C2=10n");
  const TAnalysisReport none = Analyze(Sweep(tanks));
  EXPECT_FALSE(none.FitsWell);
  EXPECT_TRUE(Warns(none, TWarningCode::PoorFit));
  EXPECT_TRUE(none.Warnings.front().Automatic);
  for (const TResonance& r : none.Resonances) EXPECT_EQ(r.Source, TResonanceSource::Data);

  // A series capacitor the data never show ends at the top of its range.
  TAnalysisRequest rlc;
  rlc.Model = std::get<TCircuitModel>(ModelNamed("rlc"));
  const TAnalysisReport bound = Analyze(Sweep(Known("rl:R=1000,L=100m")), rlc);
  ASSERT_TRUE(bound.FitOrNull());
  EXPECT_EQ(bound.FitOrNull()->AtBound[2], 1);
  EXPECT_FALSE(bound.FitOrNull()->Uncertainty[2]);
  EXPECT_TRUE(Warns(bound, TWarningCode::AtBound));

  // A plain resistor as rl: the inductance is lost in the noise and said to
  // be; the resistance is not.
  TAnalysisRequest rl;
  rl.Model = std::get<TCircuitModel>(ModelNamed("rl"));
  const TAnalysisReport resistor = Analyze(Sweep(Known("rl:R=1000,L=1n")), rl);
  ASSERT_TRUE(resistor.FitOrNull());
  EXPECT_FALSE(resistor.FitOrNull()->Undetermined(0));
  EXPECT_TRUE(resistor.FitOrNull()->Undetermined(1));
  ASSERT_TRUE(Warns(resistor, TWarningCode::Undetermined));
  EXPECT_EQ(std::count_if(resistor.Warnings.begin(), resistor.Warnings.end(),
                          [](const TAnalysisWarning& w) { return w.Code == TWarningCode::Undetermined; }),
            1);
  EXPECT_FALSE(Warns(Analyze(Sweep(Known("rl:R=1000,L=100m")), rl), TWarningCode::Undetermined));

  // Points that are mostly scatter: their own noise estimate is as wild as
  // they are, and the fit is still not presented as one that fits.
  const TAnalysisReport scatter = Analyze(SamplesOf(
      test::SyntheticSweep(Known("rl:R=1000,L=100m"), 1, {.Relative = 1.5, .Degrees = 90}), 1));
  ASSERT_TRUE(scatter.FitOrNull());
  EXPECT_GE(scatter.FitOrNull()->Error, kPoorFitError);
  EXPECT_FALSE(scatter.FitsWell);
  EXPECT_TRUE(Warns(scatter, TWarningCode::PoorFit));

  // Points the unit clipped are left out and counted.
  TCalcData clipped = test::SyntheticSweep(Known("rl:R=1000,L=100m"));
  clipped.R[3] = kUnitMaxOhms;
  clipped.R[500] = 0;
  const TAnalysisReport counted = Analyze(SamplesOf(clipped, 1));
  EXPECT_EQ(counted.Clipped, 2);
  EXPECT_EQ(counted.Points, 554);
  EXPECT_TRUE(Warns(counted, TWarningCode::ClippedPoints));
  EXPECT_TRUE(counted.FitsWell);
}

TEST(CircuitFit, WorkIsCountedNotTimedAndAStopEndsIt) {
  const auto samples = Sweep(Known("bvd:R1=1000,L1=50m,C1=1n,C0=5n"));
  const TCircuitModel bvd = std::get<TCircuitModel>(ModelNamed("bvd"));
  const auto once = std::get<TCircuitFit>(FitCircuit(samples, bvd));
  const auto again = std::get<TCircuitFit>(FitCircuit(samples, bvd));
  EXPECT_EQ(once.Circuit.Values(), again.Circuit.Values());
  EXPECT_EQ(once.Evaluations, again.Evaluations);
  for (int cap : {1, 5, 50}) {
    TFitOptions capped;
    capped.MaxEvaluations = cap;
    const TFitResult cut = FitCircuit(samples, bvd, capped);
    ASSERT_TRUE(std::holds_alternative<TCircuitFit>(cut)) << cap;
    EXPECT_LE(std::get<TCircuitFit>(cut).Evaluations, cap);
  }
  std::stop_source stop;
  stop.request_stop();
  TFitOptions stopped;
  stopped.Stop = stop.get_token();
  EXPECT_EQ(std::get<TFitRefusal>(ChooseCircuit(samples, stopped)), TFitRefusal::Stopped);
}

TEST(CircuitFit, TooFewPointsIsARefusalAtExactlyTheParameterCount) {
  const TCircuitModel bvd = std::get<TCircuitModel>(ModelNamed("bvd"));
  auto samples = Sweep(Known("bvd:R1=1000,L1=50m,C1=1n,C0=5n"));
  samples.resize(bvd.Size());
  EXPECT_TRUE(std::holds_alternative<TCircuitFit>(FitCircuit(samples, bvd)));
  samples.pop_back();
  EXPECT_EQ(std::get<TFitRefusal>(FitCircuit(samples, bvd)), TFitRefusal::TooFewPoints);
}

TEST(CircuitFit, AResonatorsFirstStartReadsItsCapacitancesOffTheResonances) {
  const TCircuit truth = Known("bvd:R1=200,L1=50m,C1=1n,C0=5n");
  const TFitFeatures features = FeaturesOf(ByFrequency(Sweep(truth)));
  const auto starts = BvdStarts(features);
  ASSERT_FALSE(starts.empty());
  for (std::size_t i = 1; i < 4; ++i)
    EXPECT_NEAR(starts[0][i] / truth.Values()[i], 1.0, 0.1) << truth.Model().Names()[i];
}

// Data a file (or a damaged one) can hold, keyed by what it is.
struct TOddData {
  const char* name;
  void (*fill)(TCalcData&);
  std::optional<TFitRefusal> refusal;  // of every fit, when all must refuse
};

void Flat(TCalcData& d) {
  for (int i = 0; i < 556; ++i) d.R[i] = 1000.0, d.Theta[i] = 0.0, d.Freq[i] = 10.0 * (i + 1);
}

const TOddData kOdd[] = {
    {"all empty", [](TCalcData&) {}, TFitRefusal::NoPoints},
    {"all zero ohms",
     [](TCalcData& d) {
       Flat(d);
       d.R.fill(0.0);
     },
     TFitRefusal::NoPoints},
    {"one point", [](TCalcData& d) { d.R[7] = 50, d.Theta[7] = 10, d.Freq[7] = 100; },
     TFitRefusal::TooFewPoints},
    {"flat line", Flat, std::nullopt},
    {"noise",
     [](TCalcData& d) {
       std::mt19937_64 g(5);
       for (int i = 0; i < 556; ++i) {
         d.R[i] = double(g() % 16777216), d.Theta[i] = double(int(g() % 65536) - 32768) / 100;
         d.Freq[i] = 10.0 + double(g() % 100000);
       }
     },
     std::nullopt},
    {"huge and tiny",
     [](TCalcData& d) {
       Flat(d);
       for (int i = 0; i < 556; i += 2) d.R[i] = 1e300, d.Theta[i] = 327.67, d.Freq[i + 1] = 1e-300;
       d.R[5] = 1e-310;
     },
     // |Z| of 1e300 is clipped, and what is left shares one frequency.
     TFitRefusal::TooFewPoints},
    {"not numbers",
     [](TCalcData& d) {
       Flat(d);
       const double nan = std::numeric_limits<double>::quiet_NaN();
       const double inf = std::numeric_limits<double>::infinity();
       for (int i = 0; i < 556; i += 4) d.R[i] = nan, d.Theta[i + 1] = inf, d.Freq[i + 2] = inf;
     },
     std::nullopt},
};

TEST(CircuitFit, OddDataGetsAFiniteResultOrATypedRefusal) {
  for (const TOddData& odd : kOdd) {
    SCOPED_TRACE(odd.name);
    TCalcData data;
    ClearCalcData(data);
    odd.fill(data);
    TAnalysisRequest request;
    request.MaxEvaluations = 2000;
    const TAnalysisReport report = Analyze(SamplesOf(data, 1), request);
    for (const TResonance& r : report.Resonances) {
      EXPECT_TRUE(std::isfinite(r.Hertz) && std::isfinite(r.Ohms) && (!r.Q || std::isfinite(*r.Q)));
    }
    if (const TCircuitFit* fit = report.FitOrNull()) {
      EXPECT_FALSE(odd.refusal);
      for (double v : fit->Circuit.Values()) EXPECT_TRUE(std::isfinite(v) && v > 0);
      for (const auto& u : fit->Uncertainty) EXPECT_TRUE(!u || std::isfinite(*u));
      EXPECT_TRUE(std::isfinite(fit->Error) && std::isfinite(fit->Bic));
    } else {
      EXPECT_EQ(odd.refusal, std::get<TFitRefusal>(report.Fit));
    }
  }
}

}  // namespace
}  // namespace doz::analysis
