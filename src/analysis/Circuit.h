// A circuit with values: a model and one value per parameter, in SI units.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Circuit_model.h"

namespace doz::analysis {

class TCircuit {
 public:
  TCircuit(TCircuitModel model, std::vector<double> values);

  // "coil:R=6800,L=2.5,C=400p" or "p(R1-L1,C1):R1=6.8k,L1=2.5,C1=400p": a
  // preset's name or a circuit string, then every parameter once, each
  // positive and finite, SI prefixes allowed. Nothing, and the reason in
  // error, otherwise.
  static std::optional<TCircuit> Parse(std::string_view text, std::string& error);

  const TCircuitModel& Model() const { return model_; }
  const std::vector<double>& Values() const { return values_; }
  // The preset's name where the circuit is one, else its string.
  std::string Name() const;
  std::optional<double> Value(std::string_view name) const;
  std::complex<double> Impedance(double hertz) const;

 private:
  TCircuitModel model_;
  std::vector<double> values_;
};

// "R1=6k,L1=0.3": values for some of the model's parameters (each once,
// positive, SI prefixes allowed), in the model's order, absent where not
// given. Nothing, and the reason in error, for anything else.
std::optional<std::vector<std::optional<double>>> ParseValues(std::string_view list,
                                                             const TCircuitModel& model,
                                                             std::string& error);

}  // namespace doz::analysis
