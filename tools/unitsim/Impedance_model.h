// The simulated unit's device under test: a loudspeaker-like circuit (a
// resistance, a mechanical resonance, an inductive rise) scaled to the
// kilo-ohm range the application shows, or a given equivalent circuit, plus
// measurement noise.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <random>

#include "Circuit.h"

namespace doz::unitsim {

struct TMeasuredPoint {
  double Ohms;     // magnitude of the impedance
  double Degrees;  // its phase angle
};

class TImpedanceModel {
 public:
  // The speaker's values vary with the seed within plausible ranges; a given
  // circuit replaces the speaker.
  explicit TImpedanceModel(std::uint64_t seed, std::optional<analysis::TCircuit> circuit = {});

  std::complex<double> Impedance(double hertz) const;
  // One reading with noise; the unit's own averaging leaves a quarter of it.
  TMeasuredPoint Measure(double hertz, bool averaging, std::mt19937_64& noise) const;

  double ResonanceHz() const { return resonanceHz_; }

 private:
  double resistance_;   // ohms, the circuit's resistance
  double resonanceHz_;  // mechanical resonance
  double peakOhms_;     // added at resonance
  double quality_;
  double inductance_;   // henry
  std::optional<analysis::TCircuit> circuit_;
};

}  // namespace doz::unitsim
