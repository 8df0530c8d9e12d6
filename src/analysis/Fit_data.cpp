#include "Fit_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace doz::analysis {
namespace {

// One sigma of a whole-ohm rounding: a uniform error of ±0.5 Ω.
const double kRoundingOhms = 0.5 / std::sqrt(3.0);
// The noise is read off the second differences of neighbouring points:
// Gaussian noise of sigma s gives differences of sigma s·√6, and their median
// size is 0.6745 of that.
const double kMedianToSigma = 1.0 / (0.6745 * std::sqrt(6.0));
// Fewer differences than this say too little; the assumed noise stands.
constexpr std::size_t kMinDifferences = 16;
constexpr double kAssumedRelative = 0.002;
constexpr double kAssumedDegrees = 0.1;
// Below these a fit is held to a precision that no unit delivers.
constexpr double kFloorRelative = 0.0005;
constexpr double kFloorDegrees = 0.01;
// |Z| from which the rounding is small beside any real noise (0.1 %).
constexpr double kRoundingFree = 300.0;
// Phase differences beyond this are wraps at ±180°, not noise.
constexpr double kWrapDegrees = 45.0;

bool Clipped(const TImpedanceSample& s) { return s.Ohms >= kUnitMaxOhms || s.Ohms <= 0.0; }

std::optional<double> MedianSigma(std::vector<double> differences) {
  if (differences.size() < kMinDifferences) return std::nullopt;
  const auto middle = differences.begin() + differences.size() / 2;
  std::nth_element(differences.begin(), middle, differences.end());
  return *middle * kMedianToSigma;
}

void EstimateNoise(TFitData& d) {
  std::vector<double> magnitude, phase;
  const auto& s = d.Samples;
  for (std::size_t i = 1; i + 1 < s.size(); ++i) {
    const double dp = s[i - 1].Degrees - 2 * s[i].Degrees + s[i + 1].Degrees;
    if (std::fabs(dp) < kWrapDegrees) phase.push_back(std::fabs(dp));
    if (std::min({s[i - 1].Ohms, s[i].Ohms, s[i + 1].Ohms}) < kRoundingFree) continue;
    magnitude.push_back(std::fabs(std::log(s[i - 1].Ohms) - 2 * std::log(s[i].Ohms) +
                                  std::log(s[i + 1].Ohms)));
  }
  d.NoiseRelative = std::max(MedianSigma(magnitude).value_or(kAssumedRelative), kFloorRelative);
  d.NoiseDegrees = std::max(MedianSigma(phase).value_or(kAssumedDegrees), kFloorDegrees);
}

}  // namespace

TFitData FitDataOf(const std::vector<TImpedanceSample>& samples) {
  TFitData d;
  std::vector<TImpedanceSample> kept;
  for (const TImpedanceSample& s : samples) {
    if (Clipped(s)) {
      ++d.Clipped;
      continue;
    }
    const std::complex<double> inverse = 1.0 / s.Z;
    if (std::isfinite(inverse.real()) && std::isfinite(inverse.imag())) kept.push_back(s);
  }
  d.Samples = ByFrequency(std::move(kept));
  EstimateNoise(d);
  d.PhaseWeight = 180.0 / (std::numbers::pi * d.NoiseDegrees);
  for (const TImpedanceSample& s : d.Samples) {
    const double rounding = kRoundingOhms / s.Ohms;
    d.Points.push_back({2.0 * std::numbers::pi * s.Hertz, 1.0 / s.Z,
                        1.0 / std::hypot(d.NoiseRelative, rounding)});
  }
  return d;
}

}  // namespace doz::analysis
