#include "Impedance_sample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace doz::analysis {

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
    const double radians = data.Theta[i] * std::numbers::pi / 180.0;
    samples.push_back({i, data.Freq[i], data.R[i], data.Theta[i], std::polar(data.R[i], radians)});
  }
  return samples;
}

std::vector<TImpedanceSample> ByFrequency(std::vector<TImpedanceSample> samples) {
  std::erase_if(samples, [](const TImpedanceSample& s) { return !(s.Ohms > 0.0); });
  std::stable_sort(samples.begin(), samples.end(),
                   [](const TImpedanceSample& a, const TImpedanceSample& b) { return a.Hertz < b.Hertz; });
  samples.erase(std::unique(samples.begin(), samples.end(),
                            [](const TImpedanceSample& a, const TImpedanceSample& b) {
                              return a.Hertz == b.Hertz;
                            }),
                samples.end());
  return samples;
}

}  // namespace doz::analysis
