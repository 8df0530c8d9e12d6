#include "Lead_compensation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Fit_data.h"
#include "Impedance_sample.h"

namespace doz::analysis {
namespace {

using TComplex = std::complex<double>;

// A corrected resistance below zero by more than this share of |Z| (plus the
// unit's whole-ohm rounding) is not noise: the correction does not fit.
constexpr double kNegativeShare = 0.01;
constexpr double kRoundingOhms = 0.5;
// A device this much beyond the leads' stray impedance is lost in the
// noise: the correction's divisor is then below what the unit resolves.
constexpr double kSmallestDivisor = 1e-3;

TComplex ZAt(const TCalcData& set, int slot) {
  return std::polar(set.R[slot], set.Theta[slot] * std::numbers::pi / 180.0);
}

bool Finite(TComplex z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

}  // namespace

TCompensationFault TLeadCompensation::Covers(const TCalcData& measured, int band) const {
  if (!IsValidBand(band)) return TCompensationFault::None;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    if (!HoldsValue(measured, i)) continue;
    for (const auto* half : {&open_, &short_}) {
      if (*half && !HoldsValue(**half, i)) return TCompensationFault::NotCovered;
    }
  }
  return TCompensationFault::None;
}

std::optional<TComplex> TLeadCompensation::Correct(int slot, TComplex zm) const {
  const TComplex zs = short_ && HoldsValue(*short_, slot) ? ZAt(*short_, slot) : TComplex();
  TComplex yo;
  if (open_ && HoldsValue(*open_, slot) && open_->R[slot] < kUnitMaxOhms)
    yo = 1.0 / (ZAt(*open_, slot) - zs);
  const TComplex divisor = 1.0 - (zm - zs) * yo;
  const TComplex z = (zm - zs) / divisor;
  if (!Finite(z) || !Finite(yo) || std::abs(divisor) < kSmallestDivisor) return std::nullopt;
  if (z.real() < -(kNegativeShare * std::abs(z) + kRoundingOhms)) return std::nullopt;
  return z;
}

bool TLeadCompensation::ApplyPoint(TCalcData& calc, TCalcData& ave, int slot) const {
  bool lost = false;
  if (HoldsValue(calc, slot) && calc.R[slot] < kUnitMaxOhms) {
    const auto z = Correct(slot, ZAt(calc, slot));
    lost = !z;
    calc.R[slot] = z ? std::abs(*z) : -1.0;
    calc.Theta[slot] = z ? std::arg(*z) * 180.0 / std::numbers::pi : 0.0;
  }
  ave.R[slot] = calc.R[slot];
  ave.Theta[slot] = calc.Theta[slot];
  ave.Freq[slot] = calc.Freq[slot];
  return lost;
}

int TLeadCompensation::Apply(TCalcData& calc, TCalcData& ave, int band) const {
  if (!IsValidBand(band)) return 0;
  const int first = BandFirstIndex(band), last = BandLastIndex(band);
  int lost = 0;
  for (int i = first; i <= last; ++i) lost += ApplyPoint(calc, ave, i) ? 1 : 0;
  // The five-point mean of the corrected points, narrowing at the band's
  // ends as the measurement's own mean does, over the points with a value.
  for (int i = first; i <= last; ++i) {
    if (!HoldsValue(calc, i)) continue;
    const int reach = std::min({2, i - first, last - i});
    double r = 0, theta = 0;
    int n = 0;
    for (int j = i - reach; j <= i + reach; ++j) {
      if (!HoldsValue(calc, j)) continue;
      r += calc.R[j], theta += calc.Theta[j], ++n;
    }
    ave.R[i] = r / n;
    ave.Theta[i] = theta / n;
  }
  return lost;
}

}  // namespace doz::analysis
