#include "Synthetic_sweep.h"

#include <cmath>
#include <numbers>
#include <random>

#include "Point_record.h"

namespace doz::test {

TCalcData SyntheticSweep(const analysis::TCircuit& circuit, int band, const TNoise& noise) {
  TCalcData data;
  ClearCalcData(data);
  std::mt19937_64 g(noise.Seed);
  std::normal_distribution<double> gauss;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    const double hertz = unitsim::GridFrequency(i);
    const std::complex<double> z = circuit.Impedance(hertz);
    data.Freq[i] = hertz;
    data.R[i] = std::abs(z) * (1.0 + noise.Relative * gauss(g));
    data.Theta[i] = std::arg(z) * 180.0 / std::numbers::pi + noise.Degrees * gauss(g);
  }
  data.Valid = 1;
  return data;
}

}  // namespace doz::test
