// Equivalent circuits fitted to the complex impedance of a band, each value
// with its standard uncertainty, and the choice of the simplest preset that
// explains the data.
#pragma once

#include <cmath>

#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "Circuit.h"
#include "Fit_data.h"
#include "Fit_features.h"

namespace doz::analysis {

enum class TFitRefusal {
  NoPoints,      // no point holds a value (or all are clipped)
  TooFewPoints,  // fewer points than the circuit has parameters
  NoSolution,    // nothing finite came out
  Stopped,       // a stop was requested
};

const char* RefusalText(TFitRefusal refusal);

// A fit whose weighted squared residual per degree of freedom exceeds this
// leaves residuals three times what the noise and the rounding explain.
inline constexpr double kPoorFitChi2 = 10.0;
// Points that scatter this much explain nothing, not even their own noise: a
// fit this far off is poor whatever the scatter (whole-ohm rounding alone
// stays below it).
inline constexpr double kPoorFitError = 0.5;

struct TCircuitFit {
  TCircuit Circuit;
  // One standard uncertainty per value (SI units), from the Jacobian at the
  // optimum scaled by the residuals; none where the data do not determine
  // the value (it ended at a limit of its range, or trades off exactly
  // against another).
  std::vector<std::optional<double>> Uncertainty;
  // Per value: -1 ended at the lower limit of its range, +1 at the upper, 0 inside.
  std::vector<int> AtBound;
  std::vector<std::pair<double, double>> Range;  // each value's limits, SI units
  double Error = 0;  // relative RMS error: sqrt(mean |Z_model/Z_measured - 1|²)
  double Chi2 = 0;   // weighted squared residual per degree of freedom
  double Bic = 0;    // Bayesian information criterion; lower is better
  int Points = 0;
  int Evaluations = 0;

  bool Poor() const { return !(Chi2 <= kPoorFitChi2) || !(Error < kPoorFitError); }
  // The data do not fix value i: it ended at a limit of its range, or one
  // standard uncertainty is as large as the value itself.
  bool Undetermined(std::size_t i) const {
    return AtBound[i] != 0 || (Uncertainty[i] && *Uncertainty[i] >= std::abs(Circuit.Values()[i]));
  }
};

using TFitResult = std::variant<TCircuitFit, TFitRefusal>;

struct TFitOptions {
  // The work of one circuit's fit, all its starts and searches together:
  // evaluations of the circuit over every point.
  int MaxEvaluations = 20000;
  // Start values given by the user, in the model's parameter order (may be
  // empty or shorter; absent values are found as usual).
  std::vector<std::optional<double>> Start;
  std::stop_token Stop;
  // Whether a preset whose own starts leave a poor fit searches further.
  bool Search = true;
};

// The points prepared once for every circuit fitted to them.
struct TFitInput {
  TFitData Data;
  TFitFeatures Features;
};

TFitInput FitInputOf(const std::vector<TImpedanceSample>& samples);

// Least squares (see Fit_problem.h) from the preset's own starts where the
// model is a preset, and from a search of starts the data suggest where it is
// not, or where those leave a poor fit.
TFitResult FitCircuit(const TFitInput& input, const TCircuitModel& model,
                      const TFitOptions& options = {});
TFitResult FitCircuit(const std::vector<TImpedanceSample>& samples, const TCircuitModel& model,
                      const TFitOptions& options = {});

struct TModelChoice {
  TCircuitFit Chosen;  // Poor() when no preset fits well
  std::vector<std::pair<std::string, TFitResult>> Tried;  // every preset, simplest first
};

using TChoiceResult = std::variant<TModelChoice, TFitRefusal>;

// Fits every preset and keeps the one with the lowest BIC; a preset with
// more parameters must beat a simpler one clearly (by a margin of BIC) to win.
// The presets start from their own starts only; where none of them then
// fits well, they are all fitted again with the search for starts.
TChoiceResult ChooseCircuit(const TFitInput& input, const TFitOptions& options = {});
TChoiceResult ChooseCircuit(const std::vector<TImpedanceSample>& samples,
                            const TFitOptions& options = {});
// The chosen circuit's fit, or why none could be chosen.
TFitResult ChosenFit(const TChoiceResult& choice);

}  // namespace doz::analysis
