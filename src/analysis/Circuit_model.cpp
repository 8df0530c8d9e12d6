#include "Circuit_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Si_number.h"

namespace doz::analysis {
namespace {

using TComplex = std::complex<double>;

struct TCircuitInfo {
  TCircuitKind kind;
  const char* name;
  const char* diagram;
  std::array<const char*, 4> parameters;
  std::size_t count;
};

constexpr TCircuitInfo kInfo[] = {
    {TCircuitKind::Rl, "rl", "R + L", {"R", "L"}, 2},
    {TCircuitKind::Rc, "rc", "R + C", {"R", "C"}, 2},
    {TCircuitKind::Rlc, "rlc", "R + L + C", {"R", "L", "C"}, 3},
    {TCircuitKind::RlcParallel, "rlc-parallel", "R ∥ L ∥ C", {"R", "L", "C"}, 3},
    {TCircuitKind::Coil, "coil", "(R + L) ∥ C", {"R", "L", "C"}, 3},
    {TCircuitKind::Bvd, "bvd", "(R1 + L1 + C1) ∥ C0", {"R1", "L1", "C1", "C0"}, 4},
};

const TCircuitInfo& InfoOf(TCircuitKind kind) {
  return *std::find_if(std::begin(kInfo), std::end(kInfo),
                       [kind](const TCircuitInfo& i) { return i.kind == kind; });
}

TComplex Inductor(double henry, double omega) { return {0.0, omega * henry}; }
TComplex Capacitor(double farad, double omega) { return {0.0, -1.0 / (omega * farad)}; }
TComplex Parallel(TComplex a, TComplex b) { return 1.0 / (1.0 / a + 1.0 / b); }

}  // namespace

const char* CircuitName(TCircuitKind kind) { return InfoOf(kind).name; }

std::optional<TCircuitKind> CircuitNamed(std::string_view name) {
  for (const TCircuitInfo& i : kInfo) {
    if (name == i.name) return i.kind;
  }
  return std::nullopt;
}

const char* CircuitDiagram(TCircuitKind kind) { return InfoOf(kind).diagram; }

std::span<const char* const> ParameterNames(TCircuitKind kind) {
  const TCircuitInfo& info = InfoOf(kind);
  return {info.parameters.data(), info.count};
}

const char* ParameterUnit(std::string_view name) {
  if (name.starts_with('L')) return "H";
  if (name.starts_with('C')) return "F";
  return "Ω";
}

TComplex CircuitImpedance(TCircuitKind kind, std::span<const double> v, double hertz) {
  const double w = 2.0 * std::numbers::pi * hertz;
  switch (kind) {
    case TCircuitKind::Rl:
      return v[0] + Inductor(v[1], w);
    case TCircuitKind::Rc:
      return v[0] + Capacitor(v[1], w);
    case TCircuitKind::Rlc:
      return v[0] + Inductor(v[1], w) + Capacitor(v[2], w);
    case TCircuitKind::RlcParallel:
      // Summed as admittances: no division by a vanishing branch.
      return 1.0 / TComplex(1.0 / v[0], w * v[2] - 1.0 / (w * v[1]));
    case TCircuitKind::Coil:
      return Parallel(v[0] + Inductor(v[1], w), Capacitor(v[2], w));
    case TCircuitKind::Bvd:
      return Parallel(v[0] + Inductor(v[1], w) + Capacitor(v[2], w), Capacitor(v[3], w));
  }
  return {};
}

TCircuit::TCircuit(TCircuitKind kind, std::vector<double> values)
    : kind_(kind), values_(std::move(values)) {
  values_.resize(ParameterNames(kind).size(), 0.0);
}

TComplex TCircuit::Impedance(double hertz) const { return CircuitImpedance(kind_, values_, hertz); }

std::optional<TCircuit> TCircuit::Parse(std::string_view text, std::string& error) {
  const std::size_t colon = text.find(':');
  const auto kind = CircuitNamed(text.substr(0, colon));
  if (colon == std::string_view::npos || !kind) {
    error = "a circuit is MODEL:NAME=VALUE,... with MODEL one of rl rc rlc rlc-parallel coil bvd";
    return std::nullopt;
  }
  const auto names = ParameterNames(*kind);
  std::vector<std::optional<double>> values(names.size());
  std::string_view rest = text.substr(colon + 1);
  for (bool more = true; more;) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    more = comma != std::string_view::npos;
    rest = more ? rest.substr(comma + 1) : std::string_view();
    const std::size_t eq = item.find('=');
    const auto name = std::find(names.begin(), names.end(), item.substr(0, eq));
    const auto value = eq == std::string_view::npos ? std::nullopt : ParseSi(item.substr(eq + 1));
    if (name == names.end() || !value || *value <= 0.0 || values[name - names.begin()]) {
      error = "'" + std::string(item) + "' is not a parameter of " + CircuitName(*kind) +
              " with a positive value (once each)";
      return std::nullopt;
    }
    values[name - names.begin()] = *value;
  }
  std::vector<double> result;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!values[i]) {
      error = std::string(CircuitName(*kind)) + " needs " + names[i] + "=VALUE";
      return std::nullopt;
    }
    result.push_back(*values[i]);
  }
  return TCircuit(*kind, std::move(result));
}

}  // namespace doz::analysis
