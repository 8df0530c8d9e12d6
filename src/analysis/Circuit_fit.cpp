#include "Circuit_fit.h"

#include <Eigen/Core>
#include <algorithm>
#include <cmath>
#include <limits>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include "Fit_start.h"
#include "Resonance_finder.h"

namespace doz::analysis {
namespace {

using TClock = std::chrono::steady_clock;
using TSamples = std::vector<TImpedanceSample>;

// ln of the bounds in SI units: far beyond anything the unit can show, near
// enough that exp() of them stays finite in every formula.
struct TLnBounds {
  double low;
  double high;
};

TLnBounds BoundsOf(const char* name) {
  if (name[0] == 'L') return {std::log(1e-15), std::log(1e6)};
  if (name[0] == 'C') return {std::log(1e-18), std::log(1e3)};
  return {std::log(1e-6), std::log(1e12)};
}

// A model that overflows somewhere is as bad as this at that point.
constexpr double kPenalty = 1e3;
// Residual variance below which the data count as exact: keeps the BIC finite.
constexpr double kVarianceFloor = 1e-20;
// A larger circuit must lower the BIC by this much to be chosen ("very
// strong" evidence on the usual scale).
constexpr double kBicMargin = 10.0;

struct TResiduals {
  using Scalar = double;
  enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
  using InputType = Eigen::VectorXd;
  using ValueType = Eigen::VectorXd;
  using JacobianType = Eigen::MatrixXd;

  TCircuitKind kind;
  std::vector<double> hertz;
  std::vector<std::complex<double>> inverse;  // 1 / Z_measured
  std::vector<TLnBounds> bounds;

  int inputs() const { return int(bounds.size()); }
  int values() const { return int(2 * hertz.size()); }

  std::vector<double> Values(const Eigen::VectorXd& x) const {
    std::vector<double> v(bounds.size());
    for (std::size_t i = 0; i < v.size(); ++i)
      v[i] = std::exp(std::clamp(x[i], bounds[i].low, bounds[i].high));
    return v;
  }

  int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& f) const {
    const std::vector<double> v = Values(x);
    for (std::size_t j = 0; j < hertz.size(); ++j) {
      const std::complex<double> r = CircuitImpedance(kind, v, hertz[j]) * inverse[j] - 1.0;
      const bool finite = std::isfinite(r.real()) && std::isfinite(r.imag());
      f[2 * j] = finite ? r.real() : kPenalty;
      f[2 * j + 1] = finite ? r.imag() : kPenalty;
    }
    return 0;
  }
};

TResiduals ResidualsFor(TCircuitKind kind, const TSamples& samples) {
  TResiduals r{kind, {}, {}, {}};
  for (const TImpedanceSample& s : samples) {
    const std::complex<double> inv = 1.0 / s.Z;
    if (!std::isfinite(inv.real()) || !std::isfinite(inv.imag())) continue;
    r.hertz.push_back(s.Hertz);
    r.inverse.push_back(inv);
  }
  for (const char* name : ParameterNames(kind)) r.bounds.push_back(BoundsOf(name));
  return r;
}

struct TRun {
  Eigen::VectorXd x;
  double rss;
};

// One Levenberg-Marquardt descent, stopped by its own tests, the evaluation
// cap or the deadline, whichever comes first.
TRun Descend(const TResiduals& residuals, const std::vector<double>& start, int maxEvaluations,
             TClock::time_point deadline) {
  Eigen::VectorXd x(start.size());
  for (std::size_t i = 0; i < start.size(); ++i) x[i] = std::log(start[i]);
  Eigen::NumericalDiff<TResiduals> diff(residuals);
  Eigen::LevenbergMarquardt<Eigen::NumericalDiff<TResiduals>> lm(diff);
  lm.parameters.maxfev = std::max(1, maxEvaluations);
  using namespace Eigen::LevenbergMarquardtSpace;
  Status status = lm.minimizeInit(x);
  if (status == ImproperInputParameters) return {x, std::numeric_limits<double>::infinity()};
  do {
    status = lm.minimizeOneStep(x);
  } while (status == Running && TClock::now() < deadline);
  for (int i = 0; i < x.size(); ++i) {
    x[i] = std::isfinite(x[i]) ? std::clamp(x[i], residuals.bounds[i].low, residuals.bounds[i].high)
                               : residuals.bounds[i].low;
  }
  Eigen::VectorXd f(residuals.values());
  residuals(x, f);
  return {x, f.squaredNorm()};
}

}  // namespace

const char* RefusalText(TFitRefusal refusal) {
  switch (refusal) {
    case TFitRefusal::NoPoints:
      return "no point holds a value";
    case TFitRefusal::TooFewPoints:
      return "too few points for the circuit";
    case TFitRefusal::NoSolution:
      return "no finite solution";
  }
  return "";
}

TFitResult FitCircuit(const TSamples& samples, TCircuitKind kind, const TFitLimits& limits) {
  const TClock::time_point deadline = TClock::now() + limits.Time;
  const TSamples ordered = ByFrequency(samples);
  const TResiduals residuals = ResidualsFor(kind, ordered);
  if (residuals.hertz.empty()) return TFitRefusal::NoPoints;
  if (residuals.hertz.size() < residuals.bounds.size()) return TFitRefusal::TooFewPoints;

  std::optional<TRun> best;
  const auto starts = StartValues(kind, ordered, FindResonances(ordered));
  for (const auto& start : starts) {
    const int share = limits.MaxEvaluations / int(starts.size());
    TRun run = Descend(residuals, start, share, deadline);
    if (std::isfinite(run.rss) && (!best || run.rss < best->rss)) best = run;
  }
  if (!best) return TFitRefusal::NoSolution;
  const double points = double(residuals.hertz.size());
  const double n = 2 * points;
  const double k = double(residuals.bounds.size());
  const double bic = n * std::log(std::max(best->rss / n, kVarianceFloor)) + k * std::log(n);
  return TCircuitFit{TCircuit(kind, residuals.Values(best->x)), std::sqrt(best->rss / points), bic};
}

TChoiceResult ChooseCircuit(const TSamples& samples, const TFitLimits& limits) {
  std::vector<std::pair<TCircuitKind, TFitResult>> tried;
  for (TCircuitKind kind : kCircuitKinds)
    tried.emplace_back(kind, FitCircuit(samples, kind, limits));
  const TCircuitFit* best = nullptr;
  for (const auto& [kind, result] : tried) {
    const auto* fit = std::get_if<TCircuitFit>(&result);
    if (!fit) continue;
    const bool larger =
        best && ParameterNames(kind).size() > ParameterNames(best->Circuit.Kind()).size();
    if (!best || fit->Bic < best->Bic - (larger ? kBicMargin : 0.0)) best = fit;
  }
  // Every circuit refused: the simplest one's reason stands for all.
  if (!best) return std::get<TFitRefusal>(tried.front().second);
  const TCircuitFit chosen = *best;
  return TModelChoice{chosen, std::move(tried)};
}

TFitResult ChosenFit(const TChoiceResult& choice) {
  if (const auto* chosen = std::get_if<TModelChoice>(&choice)) return chosen->Chosen;
  return std::get<TFitRefusal>(choice);
}

}  // namespace doz::analysis
