// Starts for any circuit: values the data suggests (its levels of |Z| at the
// ends and the resonances, and parts that resonate at its frequencies) tried
// one parameter and one L–C pair at a time, and a spread of starts over the
// logarithms of the parameters around the best of those.
#pragma once

#include <optional>
#include <vector>

#include "Fit_features.h"
#include "Fit_problem.h"

namespace doz::analysis {

struct TSearch {
  std::vector<Eigen::VectorXd> Starts;  // ln values, best first
  int Evaluations = 0;
};

// fixed: values the user gave, kept as they are (in the model's order; may
// be empty). At most maxEvaluations costs are evaluated.
TSearch SearchStarts(const TFitProblem& problem, const TCircuitModel& model,
                     const TFitFeatures& features, const std::vector<std::optional<double>>& fixed,
                     int maxEvaluations);

}  // namespace doz::analysis
