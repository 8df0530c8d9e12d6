#include "Fit_problem.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace doz::analysis {
namespace {

constexpr double kNoEffect = 1e5;
// No value beyond e^±kLnLimit: its impedance stays finite at any frequency
// the unit reports.
constexpr double kLnLimit = 300.0;

}  // namespace

TFitProblem::TFitProblem(const TCircuitModel& model, const TFitData& data)
    : model_(model), data_(data), low_(model.Size()), high_(model.Size()) {
  for (const TFitPoint& p : data.Points) omegas_.push_back(p.Omega);
  double zMin = 1.0, zMax = 1.0, wMin = 1.0, wMax = 1.0;
  if (!data.Samples.empty()) {
    const auto [lo, hi] = std::minmax_element(
        data.Samples.begin(), data.Samples.end(),
        [](const TImpedanceSample& a, const TImpedanceSample& b) { return a.Ohms < b.Ohms; });
    zMin = lo->Ohms / kNoEffect;
    zMax = hi->Ohms * kNoEffect;
    wMin = data.Points.front().Omega;
    wMax = data.Points.back().Omega;
  }
  for (std::size_t i = 0; i < model.Size(); ++i) {
    switch (model.KindOf(i)) {
      case TElementKind::R:
        low_[i] = std::log(zMin), high_[i] = std::log(zMax);
        break;
      case TElementKind::L:
        low_[i] = std::log(zMin / wMax), high_[i] = std::log(zMax / wMin);
        break;
      case TElementKind::C:
        low_[i] = std::log(1.0 / (wMax * zMax)), high_[i] = std::log(1.0 / (wMin * zMin));
        break;
    }
    const auto e = Eigen::Index(i);
    low_[e] = std::isfinite(low_[e]) ? std::clamp(low_[e], -kLnLimit, kLnLimit) : -kLnLimit;
    high_[e] = std::isfinite(high_[e]) ? std::clamp(high_[e], low_[e], kLnLimit) : kLnLimit;
  }
}

bool TFitProblem::Evaluate(const Eigen::VectorXd& x, Eigen::VectorXd& r,
                           Eigen::MatrixXd* jacobian) const {
  const std::size_t k = model_.Size(), m = omegas_.size();
  std::array<double, kMaxCircuitElements> values{};
  for (std::size_t i = 0; i < k; ++i) values[i] = std::exp(x[Eigen::Index(i)]);
  thread_local std::vector<std::complex<double>> z, slopes;
  z.resize(m);
  slopes.resize(jacobian ? k * m : 0);
  model_.Impedances(std::span(values.data(), k), omegas_, z, slopes);
  const double wp = data_.PhaseWeight;
  for (std::size_t j = 0; j < m; ++j) {
    const TFitPoint& p = data_.Points[j];
    const std::complex<double> ratio = z[j] * p.Inverse;
    r[Eigen::Index(2 * j)] = p.MagnitudeWeight * (ratio.real() - 1.0);
    r[Eigen::Index(2 * j + 1)] = wp * ratio.imag();
  }
  if (!r.allFinite()) return false;
  if (!jacobian) return true;
  for (std::size_t i = 0; i < k; ++i) {
    double* column = jacobian->col(Eigen::Index(i)).data();
    for (std::size_t j = 0; j < m; ++j) {
      const std::complex<double> d = slopes[i * m + j] * data_.Points[j].Inverse;
      column[2 * j] = data_.Points[j].MagnitudeWeight * d.real();
      column[2 * j + 1] = wp * d.imag();
    }
  }
  return jacobian->allFinite();
}

double TFitProblem::RelativeError(const Eigen::VectorXd& x) const {
  std::vector<double> values(model_.Size());
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = std::exp(x[Eigen::Index(i)]);
  std::vector<std::complex<double>> z(omegas_.size());
  model_.Impedances(values, omegas_, z);
  // Each point's error held below 1e150, so that a circuit wrong by any
  // factor still has a finite error.
  constexpr double kWorst = 1e150;
  double sum = 0;
  for (std::size_t j = 0; j < z.size(); ++j) {
    const double e = std::abs(z[j] * data_.Points[j].Inverse - 1.0);
    sum += std::pow(std::isfinite(e) ? std::min(e, kWorst) : kWorst, 2);
  }
  return std::sqrt(sum / double(std::max<std::size_t>(1, z.size())));
}

}  // namespace doz::analysis
