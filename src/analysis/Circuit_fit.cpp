#include "Circuit_fit.h"

#include <Eigen/Cholesky>
#include <algorithm>
#include <cmath>
#include <limits>

#include "Circuit_presets.h"
#include "Fit_problem.h"
#include "Start_search.h"

namespace doz::analysis {
namespace {

// One descent's share of the work; a good start converges in a few dozen.
constexpr int kDescentEvaluations = 400;
// The search for starts may spend this share of a fit's work.
constexpr int kSearchShare = 4;
// Residual variance below which the data count as exact: keeps the BIC finite.
constexpr double kVarianceFloor = 1e-20;
// A larger circuit must lower the BIC by this much to be chosen ("very
// strong" evidence on the usual scale).
constexpr double kBicMargin = 10.0;
// Each preset's work when the automatic choice searches further: data that
// no preset fits well should not hold the user up for long.
constexpr int kChoiceSearchEvaluations = 3000;
// A value this near a limit of its range (in ln) ended there.
constexpr double kOnBound = 1e-3;
// Below this reciprocal condition the curvature says nothing reliable.
constexpr double kSingular = 1e-15;

struct TBest {
  Eigen::VectorXd x;
  double cost = std::numeric_limits<double>::infinity();
};

class TFitter {
 public:
  TFitter(const TFitInput& input, const TCircuitModel& model, const TFitOptions& options)
      : input_(input), model_(model), options_(options), problem_(model, input.Data) {}

  TFitResult Run() {
    if (input_.Data.Points.empty()) return TFitRefusal::NoPoints;
    if (input_.Data.Points.size() < model_.Size()) return TFitRefusal::TooFewPoints;
    if (const TPreset* preset = PresetOf(model_)) {
      std::vector<Eigen::VectorXd> starts;
      for (const auto& start : preset->Starts(input_.Features)) starts.push_back(Ln(start));
      DescendFromBest(starts);
    }
    if (!FitsWell() && (options_.Search || !PresetOf(model_))) Search();
    if (Stopped()) return TFitRefusal::Stopped;
    if (!std::isfinite(best_.cost)) best_ = fallback_;
    if (!std::isfinite(best_.cost)) return TFitRefusal::NoSolution;
    return Result();
  }

 private:
  bool Stopped() const { return options_.Stop.stop_requested(); }
  int Left() const { return options_.MaxEvaluations - used_; }

  double Dof(int freeParameters) const {
    return std::max(1.0, double(problem_.Residuals() - freeParameters));
  }
  double Chi2(double cost) const { return cost / Dof(int(model_.Size())); }

  // ln of the start, the user's values in place of its own.
  Eigen::VectorXd Ln(const std::vector<double>& start) const {
    Eigen::VectorXd x(model_.Size());
    for (std::size_t i = 0; i < model_.Size(); ++i) {
      const bool given = i < options_.Start.size() && options_.Start[i];
      const double v = given ? *options_.Start[i] : i < start.size() ? start[i] : 0.0;
      x[Eigen::Index(i)] = v > 0 && std::isfinite(v) ? std::log(v) : std::nan("");
    }
    return x;
  }

  void DescendFrom(const Eigen::VectorXd& start) {
    if (!start.allFinite() || Left() <= 0 || Stopped()) return;
    TDescent d = Descend(problem_, start, problem_.Low(), problem_.High(),
                         std::min(kDescentEvaluations, Left()), options_.Stop);
    used_ += d.Evaluations;
    // Cut short by its share while polishing a good fit: it may go on alone.
    if (d.Evaluations == kDescentEvaluations && Chi2(d.Cost) <= kPoorFitChi2 && Left() > 0 &&
        !d.Stopped) {
      d = Descend(problem_, d.X, problem_.Low(), problem_.High(), Left(), options_.Stop);
      used_ += d.Evaluations;
    }
    if (d.Cost < best_.cost) best_ = {d.X, d.Cost};
  }

  bool FitsWell() const { return best_.x.size() && Chi2(best_.cost) <= kPoorFitChi2; }

  // The most promising start first, and the others only while none fits well.
  void DescendFromBest(std::vector<Eigen::VectorXd> starts) {
    std::erase_if(starts, [](const Eigen::VectorXd& x) { return !x.allFinite(); });
    for (Eigen::VectorXd& x : starts) x = x.cwiseMax(problem_.Low()).cwiseMin(problem_.High());
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t i = 0; i < starts.size() && used_ < options_.MaxEvaluations; ++i, ++used_) {
      order.emplace_back(problem_.Cost(starts[i]), i);
      // A start is an answer too, should the work run out before any descent.
      if (order.back().first < fallback_.cost) fallback_ = {starts[i], order.back().first};
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [cost, i] : order) {
      if (FitsWell()) return;
      DescendFrom(starts[i]);
    }
  }

  void Search() {
    if (Left() / kSearchShare < 1) return;
    const TSearch search = SearchStarts(problem_, model_, input_.Features, options_.Start,
                                        Left() / kSearchShare);
    used_ += search.Evaluations;
    DescendFromBest(search.Starts);
  }

  TCircuitFit Result() const {
    const std::size_t k = model_.Size();
    std::vector<double> values(k);
    TCircuitFit fit{TCircuit(model_, {}), std::vector<std::optional<double>>(k), std::vector<int>(k, 0),
                    {}, problem_.RelativeError(best_.x), 0, 0, int(input_.Data.Points.size()), used_};
    for (std::size_t i = 0; i < k; ++i) {
      const auto e = Eigen::Index(i);
      values[i] = std::exp(best_.x[e]);
      fit.Range.emplace_back(std::exp(problem_.Low()[e]), std::exp(problem_.High()[e]));
      if (best_.x[e] <= problem_.Low()[e] + kOnBound) fit.AtBound[i] = -1;
      if (best_.x[e] >= problem_.High()[e] - kOnBound) fit.AtBound[i] = 1;
    }
    fit.Circuit = TCircuit(model_, values);
    const int free = int(std::count(fit.AtBound.begin(), fit.AtBound.end(), 0));
    fit.Chi2 = best_.cost / Dof(free);
    const double n = problem_.Residuals();
    fit.Bic = n * std::log(std::max(best_.cost / n, kVarianceFloor)) + double(k) * std::log(n);
    Uncertainties(fit);
    return fit;
  }

  // Covariance of the free ln values: the residual variance times the
  // inverse curvature; to first order σ(v) = v σ(ln v).
  void Uncertainties(TCircuitFit& fit) const {
    std::vector<Eigen::Index> free;
    for (std::size_t i = 0; i < model_.Size(); ++i) {
      if (fit.AtBound[i] == 0) free.push_back(Eigen::Index(i));
    }
    Eigen::VectorXd r(problem_.Residuals());
    Eigen::MatrixXd j(problem_.Residuals(), problem_.Parameters());
    if (free.empty() || !problem_.Evaluate(best_.x, r, &j)) return;
    Eigen::MatrixXd jf(j.rows(), Eigen::Index(free.size()));
    for (std::size_t c = 0; c < free.size(); ++c) jf.col(Eigen::Index(c)) = j.col(free[c]);
    const Eigen::LDLT<Eigen::MatrixXd> ldlt(jf.transpose() * jf);
    if (ldlt.info() != Eigen::Success || !(ldlt.rcond() > kSingular) || !ldlt.isPositive()) return;
    const Eigen::MatrixXd covariance =
        ldlt.solve(Eigen::MatrixXd::Identity(jf.cols(), jf.cols())) * (best_.cost / Dof(int(free.size())));
    for (std::size_t c = 0; c < free.size(); ++c) {
      const double variance = covariance(Eigen::Index(c), Eigen::Index(c));
      const double sigma = fit.Circuit.Values()[std::size_t(free[c])] * std::sqrt(variance);
      if (variance >= 0 && std::isfinite(sigma)) fit.Uncertainty[std::size_t(free[c])] = sigma;
    }
  }

  const TFitInput& input_;
  const TCircuitModel& model_;
  const TFitOptions& options_;
  TFitProblem problem_;
  TBest best_;      // the best descent's end
  TBest fallback_;  // the best start, for when no descent could be afforded
  int used_ = 0;
};

}  // namespace

const char* RefusalText(TFitRefusal refusal) {
  switch (refusal) {
    case TFitRefusal::NoPoints:
      return "no point holds a value";
    case TFitRefusal::TooFewPoints:
      return "too few points for the circuit";
    case TFitRefusal::NoSolution:
      return "no finite solution";
    case TFitRefusal::Stopped:
      return "stopped";
  }
  return "";
}

TFitInput FitInputOf(const std::vector<TImpedanceSample>& samples) {
  TFitInput input{FitDataOf(samples), {}};
  if (!input.Data.Samples.empty()) input.Features = FeaturesOf(input.Data.Samples);
  return input;
}

TFitResult FitCircuit(const TFitInput& input, const TCircuitModel& model,
                      const TFitOptions& options) {
  return TFitter(input, model, options).Run();
}

TFitResult FitCircuit(const std::vector<TImpedanceSample>& samples, const TCircuitModel& model,
                      const TFitOptions& options) {
  return FitCircuit(FitInputOf(samples), model, options);
}

namespace {

using TTried = std::vector<std::pair<std::string, TFitResult>>;

TTried FitPresets(const TFitInput& input, const TFitOptions& options) {
  TTried tried;
  for (const TPreset& preset : Presets()) {
    const TCircuitModel model = std::get<TCircuitModel>(TCircuitModel::Parse(preset.Circuit));
    tried.emplace_back(preset.Name, FitCircuit(input, model, options));
  }
  return tried;
}

const TCircuitFit* Simplest(const TTried& tried) {
  const TCircuitFit* best = nullptr;
  for (const auto& [name, result] : tried) {
    const auto* fit = std::get_if<TCircuitFit>(&result);
    if (!fit) continue;
    const bool larger = best && fit->Circuit.Values().size() > best->Circuit.Values().size();
    if (!best || fit->Bic < best->Bic - (larger ? kBicMargin : 0.0)) best = fit;
  }
  return best;
}

}  // namespace

TChoiceResult ChooseCircuit(const TFitInput& input, const TFitOptions& options) {
  TFitOptions quick{options.MaxEvaluations, {}, options.Stop, false};
  TTried tried = FitPresets(input, quick);
  const TCircuitFit* best = Simplest(tried);
  if (best && best->Poor()) {
    quick.Search = true;
    quick.MaxEvaluations = std::min(options.MaxEvaluations, kChoiceSearchEvaluations);
    tried = FitPresets(input, quick);
    best = Simplest(tried);
  }
  if (options.Stop.stop_requested()) return TFitRefusal::Stopped;
  // Every preset refused: the simplest one's reason stands for all.
  if (!best) return std::get<TFitRefusal>(tried.front().second);
  const TCircuitFit chosen = *best;
  return TModelChoice{chosen, std::move(tried)};
}

TChoiceResult ChooseCircuit(const std::vector<TImpedanceSample>& samples,
                            const TFitOptions& options) {
  return ChooseCircuit(FitInputOf(samples), options);
}

TFitResult ChosenFit(const TChoiceResult& choice) {
  if (const auto* chosen = std::get_if<TModelChoice>(&choice)) return chosen->Chosen;
  return std::get<TFitRefusal>(choice);
}

}  // namespace doz::analysis
