// The named circuits: each a circuit string with a diagram for people, the
// start values its physics suggests, and the figures derived from it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Circuit_model.h"
#include "Fit_features.h"

namespace doz::analysis {

class TCircuit;

// A figure computed from a fitted circuit's values (fs and the Q of a
// loudspeaker), in SI units.
struct TDerivedValue {
  std::string Name;
  double Value = 0.0;
  const char* Unit = "";
};

// Start values read off the data's features, in the circuit's parameter
// order; any that is not positive and finite is dropped by the fitter.
using TStartRule = std::vector<std::vector<double>> (*)(const TFitFeatures&);
using TDeriveRule = std::vector<TDerivedValue> (*)(const TCircuit&);

struct TPreset {
  const char* Name;     // "coil"
  const char* Circuit;  // "p(R-L,C)"
  const char* Diagram;  // "(R + L) ∥ C"
  const char* Purpose;  // "a winding with its self-capacitance"
  TStartRule Starts;
  TDeriveRule Derive = nullptr;
};

// Simplest first: the order in which the automatic choice weighs them.
std::span<const TPreset> Presets();
const TPreset* PresetNamed(std::string_view name);
// The preset written as exactly this circuit string, if any.
const TPreset* PresetOf(const TCircuitModel& model);

// What --model takes: a preset's name or a circuit string.
TModelParse ModelNamed(std::string_view text);

}  // namespace doz::analysis
