// Equivalent circuits fitted to the complex impedance of a band, and the
// choice of the simplest circuit that explains it.
#pragma once

#include <chrono>
#include <utility>
#include <variant>
#include <vector>

#include "Circuit_model.h"
#include "Impedance_sample.h"

namespace doz::analysis {

enum class TFitRefusal {
  NoPoints,      // no point holds a value (or all have |Z| = 0)
  TooFewPoints,  // fewer points than the circuit has parameters
  NoSolution,    // nothing finite came out
};

const char* RefusalText(TFitRefusal refusal);

struct TCircuitFit {
  TCircuit Circuit;
  double Error;  // relative RMS error: sqrt(mean |Z_model/Z_measured - 1|²)
  double Bic;    // Bayesian information criterion of the fit; lower is better
};

using TFitResult = std::variant<TCircuitFit, TFitRefusal>;

// Bounds on the work of one circuit's fit, all its starts together.
struct TFitLimits {
  int MaxEvaluations = 2000;
  std::chrono::milliseconds Time{150};
};

// Least squares on the relative complex residuals Z_model/Z_measured - 1, over
// the logarithms of the parameters (which keeps them positive), from starts
// at the resonances and the ends of the band. Parameters stay within wide
// physical bounds, so every reported value is finite.
TFitResult FitCircuit(const std::vector<TImpedanceSample>& samples, TCircuitKind kind,
                      const TFitLimits& limits = {});

struct TModelChoice {
  TCircuitFit Chosen;
  std::vector<std::pair<TCircuitKind, TFitResult>> Tried;  // every circuit, simplest first
};

using TChoiceResult = std::variant<TModelChoice, TFitRefusal>;

// Fits every circuit and keeps the one with the lowest BIC; a circuit with
// more parameters must beat a simpler one clearly (by a margin of BIC) to win.
TChoiceResult ChooseCircuit(const std::vector<TImpedanceSample>& samples,
                            const TFitLimits& limits = {});
// The chosen circuit's fit, or why none could be chosen.
TFitResult ChosenFit(const TChoiceResult& choice);

}  // namespace doz::analysis
