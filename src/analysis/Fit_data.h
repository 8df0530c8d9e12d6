// The points a fit weighs, and how much each is worth: the unit's noise,
// estimated from the points themselves, and its whole-ohm rounding, which at
// a few ohms is several per cent of |Z| and leaves the phase to carry the
// information.
#pragma once

#include <complex>
#include <vector>

#include "Impedance_sample.h"

namespace doz::analysis {

// The unit's largest |Z|: a point there (or at 0 Ω) was clipped.
inline constexpr double kUnitMaxOhms = 16777215.0;

struct TFitPoint {
  double Omega;
  std::complex<double> Inverse;  // 1 / Z measured
  double MagnitudeWeight;        // 1 / the relative standard error of |Z|
};

struct TFitData {
  std::vector<TImpedanceSample> Samples;  // by frequency, one per frequency, none clipped
  std::vector<TFitPoint> Points;          // the same points
  int Clipped = 0;                        // points left out: |Z| at the unit's maximum or 0
  double NoiseRelative = 0;               // of |Z|, one sigma, beside the rounding
  double NoiseDegrees = 0;                // of the phase, one sigma
  double PhaseWeight = 0;                 // 1 / the phase's standard error in radians
};

TFitData FitDataOf(const std::vector<TImpedanceSample>& samples);

}  // namespace doz::analysis
