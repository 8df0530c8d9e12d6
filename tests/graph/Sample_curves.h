// Data sets for the graph tests and benchmarks: the common frequency grid,
// a loudspeaker-like impedance and flat curves.
#pragma once

#include "Doz_setting.h"

namespace doz::test {

// Frequency of a slot of the common grid, log-spaced within each decade.
double GridFrequency(int slot);

// A series resistance, a parallel resonance and a series inductance.
struct TSpeaker {
  double re = 1500.0;    // ohms
  double peak = 9000.0;  // resonance resistance, ohms
  double fs = 45.0;      // resonance, Hz
  double q = 4.0;
  double le = 0.012;  // henry
};

// Every slot of the band: resistance in whole ohms, phase in hundredths of
// a degree, grid frequency; the other slots stay empty. Valid flag 1.
void FillSpeaker(TCalcData& set, int band, const TSpeaker& speaker);
void FillFlat(TCalcData& set, int band, double r, double theta);

}  // namespace doz::test
