#include "Model_curve.h"

#include <cmath>
#include <numbers>

#include "Impedance_sample.h"

namespace doz::analysis {

TCalcData ModelCurve(const TCircuit& circuit, const TCalcData& measured, int band) {
  TCalcData curve;
  ClearCalcData(curve);
  for (const TImpedanceSample& s : SamplesOf(measured, band)) {
    const std::complex<double> z = circuit.Impedance(s.Hertz);
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) continue;
    curve.R[s.Slot] = std::abs(z);
    curve.Theta[s.Slot] = std::arg(z) * 180.0 / std::numbers::pi;
    curve.Freq[s.Slot] = s.Hertz;
  }
  curve.Valid = 1;
  return curve;
}

}  // namespace doz::analysis
