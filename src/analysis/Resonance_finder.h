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

// The rules a resonance meets, on the measured points and on a fitted
// circuit's curve alike.
struct TResonanceRules {
  // A phase within this band of zero says nothing about its sign: noise.
  static constexpr double DeadBandDegrees = 2.0;
  // Steps larger than this are a wrap at ±180°, not a pass through zero.
  static constexpr double MaxStepDegrees = 180.0;
  // How far (as a frequency ratio) the extreme of |Z| may lie from the zero
  // of the phase: they part as the quality falls.
  static constexpr double MaxExtremeShift = 2.0;
  // A resonance whose width at 3 dB spans fewer grid steps than this is
  // resolved too coarsely for its width to be read off the points.
  static constexpr double NarrowSteps = 3.0;

  // +1 or -1 beyond the dead band, 0 within it.
  static int PhaseSign(double degrees) {
    return degrees > DeadBandDegrees ? 1 : degrees < -DeadBandDegrees ? -1 : 0;
  }
};

// Lowest frequency first. A phase that stays within ±2° (noise about zero,
// a plain resistance) gives none, and neither does an extremum of |Z| at an
// end of the data: it may lie beyond it.
std::vector<TResonance> FindResonances(const std::vector<TImpedanceSample>& samples);

}  // namespace doz::analysis
