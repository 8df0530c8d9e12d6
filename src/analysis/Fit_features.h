// What start values are read from: the ends of the band, the resonances,
// the typical sizes of the impedance.
#pragma once

#include <complex>
#include <optional>
#include <vector>

#include "Impedance_sample.h"
#include "Resonance_finder.h"

namespace doz::analysis {

double Omega(double hertz);

// The mean impedance and angular frequency of the first or last few points,
// and the part that alone would explain it, where it can.
struct TEnd {
  double w = 0;
  std::complex<double> z;

  std::optional<double> SeriesL() const;
  std::optional<double> SeriesC() const;
  std::optional<double> ParallelL() const;
  std::optional<double> ParallelC() const;
  std::optional<double> Rs() const;
  std::optional<double> Rp() const;
  // The part that would give the whole |Z| on its own.
  double L() const { return std::abs(z) / w; }
  double C() const { return 1.0 / (w * std::abs(z)); }
};

struct TFitFeatures {
  std::vector<TImpedanceSample> Samples;  // by frequency, at least one, |Z| > 0
  std::vector<TResonance> Found;          // where the phase passes zero
  TEnd Low;
  TEnd High;
  double MedianOhms = 1.0;
  double MedianRs = 1.0;
  // Where |Z| or the phase turns (a peak or a valley over a few neighbours
  // on either side, clear of the noise): where some part of a circuit
  // resonates or takes over from another, phase zero or not.
  std::vector<TImpedanceSample> Turns;

  // The strongest resonance of the kind above the frequency, among those
  // found and, where none is, the inner extremes of |Z| (of |Z|·f for a
  // circuit that falls as 1/f around its resonances).
  const TResonance* Strongest(TResonanceKind kind, bool capacitive = false,
                              double aboveHertz = 0) const;
  // Median of Xs/ω (inductive) or -1/(ω Xs) over the points that have one.
  double MedianSeries(bool inductive, double fallback) const;

 private:
  friend TFitFeatures FeaturesOf(std::vector<TImpedanceSample> samples);
  std::vector<TResonance> extremes_[2];  // plain and |Z|·f
};

// samples: ordered by frequency, at least one, every |Z| positive.
TFitFeatures FeaturesOf(std::vector<TImpedanceSample> samples);

// L and C that resonate at w0, one of them given.
inline double Partner(double w0, double part) { return 1.0 / (w0 * w0 * part); }

}  // namespace doz::analysis
