// The whole analysis of one measurement, as doz-cli and the analysis window
// show it: a fit (of one circuit, or the automatic choice among the presets)
// with its uncertainties, the figures derived from it, the resonances (from
// the model when it fits, from the points otherwise) and the warnings.
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "Analysis_warning.h"
#include "Circuit_fit.h"
#include "Circuit_presets.h"
#include "Resonance_finder.h"

namespace doz::analysis {

struct TAnalysisRequest {
  std::optional<TCircuitModel> Model;          // none: the automatic choice among the presets
  std::vector<std::optional<double>> Start;    // the user's start values, in the model's order
  int MaxEvaluations = TFitOptions().MaxEvaluations;  // per circuit fitted
  std::stop_token Stop;
};

struct TAnalysisReport {
  TFitResult Fit = TFitRefusal::NoPoints;
  std::vector<std::pair<std::string, TFitResult>> Tried;  // the automatic choice's presets
  bool Automatic = false;
  bool FitsWell = false;      // a fit whose error is near what the noise explains
  double ExpectedError = 0;   // the relative RMS error the noise and the rounding explain
  std::vector<TDerivedValue> Derived;
  std::vector<TResonance> Resonances;
  std::vector<TAnalysisWarning> Warnings;
  int Points = 0;   // points fitted
  int Clipped = 0;  // points left out

  const TCircuitFit* FitOrNull() const { return std::get_if<TCircuitFit>(&Fit); }
};

// samples: the raw points of a band (the five-point means flatten narrow
// resonances, so they are for the eye only).
TAnalysisReport Analyze(const std::vector<TImpedanceSample>& samples,
                        const TAnalysisRequest& request = {});

}  // namespace doz::analysis
