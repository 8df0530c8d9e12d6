#include "Impedance_model.h"

#include <cmath>
#include <numbers>

namespace doz::unitsim {
namespace {

constexpr double kNoiseOhms = 0.004;    // relative, one sigma, without averaging
constexpr double kNoiseDegrees = 0.3;   // one sigma, without averaging
constexpr double kAveragedShare = 0.25;
constexpr double kMaxOhms = 16777215.0;

// Uniform in [0, 1) from the top 53 bits: the same on every platform, which
// the standard distributions do not promise.
double Uniform(std::mt19937_64& g) { return double(g() >> 11) * 0x1.0p-53; }

double Between(std::mt19937_64& g, double low, double high) { return low + (high - low) * Uniform(g); }

// Box-Muller, one value of two; the other is dropped to keep the draws simple.
double Gaussian(std::mt19937_64& g) {
  const double u = 1.0 - Uniform(g);  // (0, 1]
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * Uniform(g));
}

}  // namespace

TImpedanceModel::TImpedanceModel(std::uint64_t seed, TDevice device)
    : device_(std::move(device)) {
  std::mt19937_64 g(seed);
  resistance_ = Between(g, 3000.0, 5000.0);
  resonanceHz_ = Between(g, 50.0, 150.0);
  peakOhms_ = Between(g, 20000.0, 40000.0);
  quality_ = Between(g, 3.0, 8.0);
  // The inductive rise equals the resistance somewhere between 3 and 8 kHz.
  inductance_ = resistance_ / (2.0 * std::numbers::pi * Between(g, 3000.0, 8000.0));
}

std::complex<double> TImpedanceModel::Impedance(double hertz) const {
  using TComplex = std::complex<double>;
  const double w = 2.0 * std::numbers::pi * hertz;
  TComplex device;
  switch (device_.Kind) {
    case TDevice::TKind::Speaker: {
      const double detune = hertz / resonanceHz_ - resonanceHz_ / hertz;
      const TComplex motional = peakOhms_ / TComplex(1.0, quality_ * detune);
      device = resistance_ + TComplex(0.0, w * inductance_) + motional;
      break;
    }
    case TDevice::TKind::Circuit:
      device = device_.Circuit->Impedance(hertz);
      break;
    case TDevice::TKind::Open:
      device = INFINITY;
      break;
    case TDevice::TKind::Short:
      break;
  }
  if (!device_.Leads) return device;
  // The stray capacitance across the device, as admittances: open ends add
  // nothing, shorted ones leave the leads alone.
  const TLeads& leads = *device_.Leads;
  const TComplex series(leads.R, w * leads.L);
  if (device == 0.0) return series;
  const TComplex across = (std::isinf(device.real()) ? 0.0 : 1.0 / device) + TComplex(0.0, w * leads.C);
  return across == 0.0 ? TComplex(INFINITY) : series + 1.0 / across;
}

TMeasuredPoint TImpedanceModel::Measure(double hertz, bool averaging, std::mt19937_64& noise) const {
  const std::complex<double> z = Impedance(hertz);
  const double share = averaging ? kAveragedShare : 1.0;
  // Open ends read as the unit's largest |Z|, with the phase of a tiny
  // capacitance.
  if (!std::isfinite(std::abs(z))) return {kMaxOhms, -90.0};
  const double ohms = std::abs(z) * (1.0 + share * kNoiseOhms * Gaussian(noise));
  const double degrees = std::arg(z) * 180.0 / std::numbers::pi + share * kNoiseDegrees * Gaussian(noise);
  return {ohms, degrees};
}

}  // namespace doz::unitsim
