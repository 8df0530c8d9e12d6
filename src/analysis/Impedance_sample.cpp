#include "Impedance_sample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace doz::analysis {
namespace {

// |Z| at the angle, exact at every multiple of 90°: a phase of 0.00 or
// 90.00 degrees makes a reactance or a resistance of exactly 0, not a
// rounding residue.
std::complex<double> PolarDegrees(double ohms, double degrees) {
  const double turn = std::fmod(degrees, 360.0);
  const double quadrant = std::round(turn / 90.0);
  const double radians = (turn - 90.0 * quadrant) * std::numbers::pi / 180.0;
  const std::complex<double> z = std::polar(ohms, radians);
  switch ((int(quadrant) % 4 + 4) % 4) {
    case 1:
      return {-z.imag(), z.real()};
    case 2:
      return -z;
    case 3:
      return {z.imag(), -z.real()};
  }
  return z;
}

}  // namespace

bool HoldsValue(const TCalcData& data, int slot) {
  if (slot < 0 || slot >= DATA_MAX) return false;
  const double r = data.R[slot];
  const double f = data.Freq[slot];
  // The angular frequency must be finite too: every formula divides by it.
  return std::isfinite(r) && r >= 0.0 && std::isfinite(f) && f > 0.0 &&
         std::isfinite(2.0 * std::numbers::pi * f) && std::isfinite(data.Theta[slot]);
}

std::vector<TImpedanceSample> SamplesOf(const TCalcData& data, int band) {
  std::vector<TImpedanceSample> samples;
  if (!IsValidBand(band)) return samples;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    if (!HoldsValue(data, i)) continue;
    samples.push_back(
        {i, data.Freq[i], data.R[i], data.Theta[i], PolarDegrees(data.R[i], data.Theta[i])});
  }
  return samples;
}

std::vector<TImpedanceSample> ByFrequency(std::vector<TImpedanceSample> samples) {
  std::erase_if(samples, [](const TImpedanceSample& s) { return !(s.Ohms > 0.0); });
  std::stable_sort(
      samples.begin(), samples.end(),
      [](const TImpedanceSample& a, const TImpedanceSample& b) { return a.Hertz < b.Hertz; });
  samples.erase(std::unique(samples.begin(), samples.end(),
                            [](const TImpedanceSample& a, const TImpedanceSample& b) {
                              return a.Hertz == b.Hertz;
                            }),
                samples.end());
  return samples;
}

}  // namespace doz::analysis
