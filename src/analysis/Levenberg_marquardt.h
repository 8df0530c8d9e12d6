// Bounded least squares by Levenberg–Marquardt with the problem's own
// Jacobian. Its work is counted in evaluations, never timed, so that the
// same problem gives the same answer on any machine; a stop request may
// only end it early.
#pragma once

#include <Eigen/Core>
#include <stop_token>

namespace doz::analysis {

class TLeastSquaresProblem {
 public:
  virtual ~TLeastSquaresProblem() = default;
  virtual int Residuals() const = 0;
  virtual int Parameters() const = 0;
  // The residuals at x, and their Jacobian (Residuals × Parameters) when
  // asked for; false where anything is not finite.
  virtual bool Evaluate(const Eigen::VectorXd& x, Eigen::VectorXd& r,
                        Eigen::MatrixXd* jacobian) const = 0;
  // The sum of squared residuals at x; infinite where not finite.
  double Cost(const Eigen::VectorXd& x) const;
};

struct TDescent {
  Eigen::VectorXd X;
  double Cost = 0;  // sum of squared residuals at X
  int Evaluations = 0;
  bool Stopped = false;  // a stop was requested
};

// From the start (moved into [low, high]) downhill until the steps stop
// gaining or maxEvaluations evaluations are spent. Parameters pressed
// against a bound stay there while the slope pushes them out.
TDescent Descend(const TLeastSquaresProblem& problem, Eigen::VectorXd start,
                 const Eigen::VectorXd& low, const Eigen::VectorXd& high, int maxEvaluations,
                 const std::stop_token& stop = {});

}  // namespace doz::analysis
