// Resonances in the measured points: where the phase passes zero at a peak
// or a dip of |Z|.
#pragma once

#include <optional>
#include <vector>

#include "Impedance_sample.h"

namespace doz::analysis {

enum class TResonanceKind {
  Peak,  // parallel resonance: the phase falls through zero
  Dip,   // series resonance: the phase rises through zero
};

const char* ResonanceName(TResonanceKind kind);  // "peak", "dip"

struct TResonance {
  TResonanceKind Kind;
  double Hertz;             // where the phase passes zero, between grid points
  double Ohms;              // |Z| at the peak or the dip
  std::optional<double> Q;  // centre frequency over the bandwidth at 3 dB
};

// Lowest frequency first. A phase that stays within ±2° (noise about zero,
// a plain resistance) gives none.
std::vector<TResonance> FindResonances(const std::vector<TImpedanceSample>& samples);

}  // namespace doz::analysis
