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

// Read off a fitted circuit, or off the measured points themselves.
enum class TResonanceSource { Model, Data };

const char* ResonanceSourceName(TResonanceSource source);  // "model", "data"

struct TResonance {
  TResonanceKind Kind;
  double Hertz;          // where the phase passes zero
  double Ohms;           // |Z| at that frequency
  double ExtremumHertz;  // the peak or dip of |Z| next to it
  double ExtremumOhms;
  std::optional<double> Q;  // from the width at 3 dB, or from the phase slope
  TResonanceSource Source = TResonanceSource::Data;
  // Narrower than about three grid steps: points that miss the top make a
  // Q from the data a lower bound.
  bool Narrow = false;
};

// Lowest frequency first. A phase that stays within ±2° (noise about zero,
// a plain resistance) gives none, and neither does an extremum of |Z| at an
// end of the data: it may lie beyond it.
std::vector<TResonance> FindResonances(const std::vector<TImpedanceSample>& samples);

}  // namespace doz::analysis
