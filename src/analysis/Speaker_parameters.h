// A loudspeaker's Thiele–Small parameters from the fit of its impedance, and
// its mechanical ones from a second sweep with a known mass added to the cone
// or in a closed box of known volume.
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "Circuit.h"
#include "Circuit_presets.h"

namespace doz::analysis {

// Air at 20 °C: density (kg/m³) and speed of sound (m/s).
inline constexpr double kAirDensity = 1.204;
inline constexpr double kSoundSpeed = 343.0;

struct TThieleSmall {
  double Fs;   // Hz, 1 / (2π √(Lces Cmes))
  double Qms;  // Res √(Cmes / Lces)
  double Qes;  // Re √(Cmes / Lces)
  double Qts;  // Qms Qes / (Qms + Qes)
  double Re;   // Ω
  double Le;   // H
};

// From a circuit with the parameters Re, Le, Res, Lces and Cmes (the speaker
// presets); nothing for any other.
std::optional<TThieleSmall> ThieleSmallOf(const TCircuit& circuit);
// fs, Qms, Qes and Qts, as the speaker presets derive them.
std::vector<TDerivedValue> SpeakerFigures(const TCircuit& circuit);

struct TMechanical {
  std::optional<double> Mms;  // kg, moving mass
  std::optional<double> Cms;  // m/N, suspension compliance
  std::optional<double> Bl;   // T·m, force factor
  std::optional<double> Vas;  // m³, the air volume of the compliance
};

enum class TSecondSweepFault {
  NotPositive,  // a mass, a volume or a cone area of 0 or less
  NotLower,     // the added mass did not lower the resonance
  NotHigher,    // the box did not raise it (nor fs·Qes)
};

using TMechanicalResult = std::variant<TMechanical, TSecondSweepFault>;

// Mms = M / ((fs/fs')² - 1), Cms = 1 / ((2π fs)² Mms), Bl = √(2π fs Mms Re / Qes),
// and with the cone area Sd (m²) Vas = ρ c² Sd² Cms.
TMechanicalResult AddedMass(const TThieleSmall& free, const TThieleSmall& loaded, double kilograms,
                            std::optional<double> sd);
// Vas = Vb ((fc Qec) / (fs Qes) - 1), fc and Qec the boxed sweep's fs and Qes;
// with Sd: Cms = Vas / (ρ c² Sd²), Mms = 1 / ((2π fs)² Cms) and Bl as above.
TMechanicalResult ClosedBox(const TThieleSmall& free, const TThieleSmall& boxed, double cubicMetres,
                            std::optional<double> sd);

}  // namespace doz::analysis
