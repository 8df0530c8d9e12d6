// The points of a data set that hold a value, as complex impedances.
#pragma once

#include <complex>
#include <vector>

#include "Doz_setting.h"

namespace doz::analysis {

struct TImpedanceSample {
  int Slot;
  double Hertz;
  double Ohms;     // |Z|
  double Degrees;  // phase angle
  std::complex<double> Z;
};

// Whether the slot holds a usable value: a resistance of at least 0 (-1
// marks a gap), a positive frequency (a stopped sweep leaves 0 Hz) and
// nothing that is not finite.
bool HoldsValue(const TCalcData& data, int slot);

// The band's points that hold a value, in slot order; none for a band
// outside 1..10. Z is exact where the phase is a multiple of 90°.
std::vector<TImpedanceSample> SamplesOf(const TCalcData& data, int band);

// The same points ordered by frequency, without |Z| = 0 (no relative
// measure exists there) and with one point per frequency.
std::vector<TImpedanceSample> ByFrequency(std::vector<TImpedanceSample> samples);

}  // namespace doz::analysis
