#include "Levenberg_marquardt.h"

#include <Eigen/Cholesky>
#include <algorithm>
#include <cmath>
#include <limits>

namespace doz::analysis {
namespace {

constexpr double kInitialDamping = 1e-3;  // of each parameter's own curvature
constexpr double kRelativeGain = 1e-6;    // a step gaining less ends the descent
constexpr double kSmallStep = 1e-10;      // in the parameters' units
constexpr double kMaxDamping = 1e12;
constexpr int kSlowSteps = 5;
// A parameter this near a bound counts as on it.
constexpr double kOnBound = 1e-12;

struct TPoint {
  Eigen::VectorXd x;
  Eigen::VectorXd r;
  Eigen::MatrixXd j;
  double cost = std::numeric_limits<double>::infinity();
};

// JᵀJ, of which only the lower half is worked out and then mirrored.
Eigen::MatrixXd Curvature(const Eigen::MatrixXd& j) {
  Eigen::MatrixXd a = Eigen::MatrixXd::Zero(j.cols(), j.cols());
  a.selfadjointView<Eigen::Lower>().rankUpdate(j.transpose());
  return a.selfadjointView<Eigen::Lower>();
}

bool Evaluate(const TLeastSquaresProblem& problem, TPoint& p) {
  if (!problem.Evaluate(p.x, p.r, &p.j)) {
    p.cost = std::numeric_limits<double>::infinity();
    return false;
  }
  p.cost = p.r.squaredNorm();
  return std::isfinite(p.cost);
}

// Free: not pressed against a bound by the gradient g (of the cost / 2).
std::vector<int> FreeParameters(const TPoint& p, const Eigen::VectorXd& g,
                                const Eigen::VectorXd& low, const Eigen::VectorXd& high) {
  std::vector<int> free;
  for (int i = 0; i < p.x.size(); ++i) {
    const bool atLow = p.x[i] <= low[i] + kOnBound && g[i] > 0;
    const bool atHigh = p.x[i] >= high[i] - kOnBound && g[i] < 0;
    if (!atLow && !atHigh) free.push_back(i);
  }
  return free;
}

}  // namespace

double TLeastSquaresProblem::Cost(const Eigen::VectorXd& x) const {
  // Reused: the searches ask for thousands of costs.
  thread_local Eigen::VectorXd r;
  r.resize(Residuals());
  if (!Evaluate(x, r, nullptr)) return std::numeric_limits<double>::infinity();
  const double cost = r.squaredNorm();
  return std::isfinite(cost) ? cost : std::numeric_limits<double>::infinity();
}

TDescent Descend(const TLeastSquaresProblem& problem, Eigen::VectorXd start,
                 const Eigen::VectorXd& low, const Eigen::VectorXd& high, int maxEvaluations,
                 const std::stop_token& stop) {
  TPoint at;
  at.x = start.cwiseMax(low).cwiseMin(high);
  at.r.resize(problem.Residuals());
  at.j.resize(problem.Residuals(), problem.Parameters());
  TDescent result{at.x, std::numeric_limits<double>::infinity(), 1, false};
  if (maxEvaluations < 1 || !Evaluate(problem, at)) return result;
  Eigen::MatrixXd a = Curvature(at.j);
  Eigen::VectorXd g = at.j.transpose() * at.r;
  double damping = kInitialDamping;
  double growth = 2.0;
  int slow = 0;  // accepted steps in a row that gained next to nothing
  TPoint trial = at;
  while (result.Evaluations < maxEvaluations && damping < kMaxDamping) {
    if (stop.stop_requested()) {
      result.Stopped = true;
      break;
    }
    const std::vector<int> free = FreeParameters(at, g, low, high);
    if (free.empty()) break;
    const int n = int(free.size());
    Eigen::MatrixXd m(n, n);
    Eigen::VectorXd b(n);
    for (int i = 0; i < n; ++i) {
      b[i] = -g[free[i]];
      for (int k = 0; k < n; ++k) m(i, k) = a(free[i], free[k]);
      m(i, i) += damping * std::max(a(free[i], free[i]), 1e-12 * a.diagonal().maxCoeff());
    }
    const Eigen::VectorXd step = m.ldlt().solve(b);
    trial.x = at.x;
    for (int i = 0; i < n; ++i) trial.x[free[i]] += step[i];
    trial.x = trial.x.cwiseMax(low).cwiseMin(high);
    const Eigen::VectorXd taken = trial.x - at.x;
    if (!taken.allFinite() || taken.norm() < kSmallStep * (1.0 + at.x.norm())) break;
    ++result.Evaluations;
    Evaluate(problem, trial);
    // The gain the linear model promised for the step actually taken.
    const double predicted = -(2.0 * g.dot(taken) + taken.dot(a * taken));
    const double gain = at.cost - trial.cost;
    if (gain > 0 && predicted > 0) {
      const double rho = gain / predicted;
      std::swap(at, trial);
      a = Curvature(at.j);
      g = at.j.transpose() * at.r;
      damping *= std::max(1.0 / 3.0, 1.0 - std::pow(2.0 * rho - 1.0, 3));
      growth = 2.0;
      // Converged, or crawling along a valley that a poor model cannot leave.
      slow = gain < kRelativeGain * at.cost ? slow + 1 : 0;
      if (slow > 0 && (rho > 0.25 || slow >= kSlowSteps)) break;
    } else {
      damping *= growth;
      growth *= 2.0;
    }
  }
  result.X = at.x;
  result.Cost = at.cost;
  return result;
}

}  // namespace doz::analysis
