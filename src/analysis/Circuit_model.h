// The equivalent circuits: their names, parameters and impedance. The one
// definition that fitting, the simulated unit and the tests all use.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace doz::analysis {

enum class TCircuitKind {
  Rl,           // R + L
  Rc,           // R + C
  Rlc,          // R + L + C
  RlcParallel,  // R ∥ L ∥ C
  Coil,         // (R + L) ∥ C: a winding with its self-capacitance
  Bvd,          // (R1 + L1 + C1) ∥ C0: a piezo or quartz resonator
};

// Simplest first: the order in which a model choice weighs them.
constexpr std::array<TCircuitKind, 6> kCircuitKinds = {
    TCircuitKind::Rl,          TCircuitKind::Rc,   TCircuitKind::Rlc,
    TCircuitKind::RlcParallel, TCircuitKind::Coil, TCircuitKind::Bvd};

// "rl", "rc", "rlc", "rlc-parallel", "coil", "bvd".
const char* CircuitName(TCircuitKind kind);
std::optional<TCircuitKind> CircuitNamed(std::string_view name);
// How the parts are connected, for people: "(R + L) ∥ C".
const char* CircuitDiagram(TCircuitKind kind);
// Parameter names in order ("R", "L", "C"; "R1", "L1", "C1", "C0").
std::span<const char* const> ParameterNames(TCircuitKind kind);
// "Ω", "H" or "F" after the parameter's first letter.
const char* ParameterUnit(std::string_view name);

// Impedance at the frequency, the values in SI units in ParameterNames order.
std::complex<double> CircuitImpedance(TCircuitKind kind, std::span<const double> values,
                                      double hertz);

class TCircuit {
 public:
  TCircuit(TCircuitKind kind, std::vector<double> values);

  // "coil:R=6800,L=2.5,C=400p": every parameter once, each positive and
  // finite, SI prefixes allowed. Nothing, and the reason in error, otherwise.
  static std::optional<TCircuit> Parse(std::string_view text, std::string& error);

  TCircuitKind Kind() const { return kind_; }
  const std::vector<double>& Values() const { return values_; }
  std::complex<double> Impedance(double hertz) const;

 private:
  TCircuitKind kind_;
  std::vector<double> values_;
};

}  // namespace doz::analysis
