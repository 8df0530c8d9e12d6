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

// Test leads between the unit and the device: a series resistance and
// inductance, and a stray capacitance across their far ends.
struct TLeads {
  double R = 0.0;  // ohms
  double L = 0.0;  // henry
  double C = 0.0;  // farad
};

// What the unit measures: the loudspeaker-like curve, a given circuit, or
// the leads' ends left open or shorted together; through leads or not.
struct TDevice {
  enum class TKind { Speaker, Circuit, Open, Short };
  TKind Kind = TKind::Speaker;
  std::optional<analysis::TCircuit> Circuit;
  std::optional<TLeads> Leads;
};

struct TMeasuredPoint {
  double Ohms;     // magnitude of the impedance
  double Degrees;  // its phase angle
};

class TImpedanceModel {
 public:
  // The speaker's values vary with the seed within plausible ranges; the
  // device may replace the speaker.
  explicit TImpedanceModel(std::uint64_t seed, TDevice device = {});

  // Infinite for open ends without leads.
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
  TDevice device_;
};

}  // namespace doz::unitsim
