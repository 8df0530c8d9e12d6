// A circuit against the measured points as a least-squares problem: over the
// logarithms of the values (which keeps them positive and puts a factor of
// two anywhere on one footing), the residuals Z_model/Z_measured - 1, their
// real part (the relative error of |Z|) and imaginary part (the phase error
// in radians) each weighed by its standard error.
#pragma once

#include <vector>

#include "Circuit_model.h"
#include "Fit_data.h"
#include "Levenberg_marquardt.h"

namespace doz::analysis {

class TFitProblem : public TLeastSquaresProblem {
 public:
  TFitProblem(const TCircuitModel& model, const TFitData& data);

  int Residuals() const override { return int(2 * data_.Points.size()); }
  int Parameters() const override { return int(model_.Size()); }
  bool Evaluate(const Eigen::VectorXd& x, Eigen::VectorXd& r,
                Eigen::MatrixXd* jacobian) const override;

  // The range each ln value keeps to: a part whose impedance stays a hundred
  // thousand times below (in series) or above (across) every |Z| measured
  // has no effect that the unit could show.
  const Eigen::VectorXd& Low() const { return low_; }
  const Eigen::VectorXd& High() const { return high_; }

  // sqrt(mean |Z_model/Z_measured - 1|²) without weights: the error people read.
  double RelativeError(const Eigen::VectorXd& x) const;

 private:
  const TCircuitModel& model_;
  const TFitData& data_;
  std::vector<double> omegas_;
  Eigen::VectorXd low_;
  Eigen::VectorXd high_;
};

}  // namespace doz::analysis
