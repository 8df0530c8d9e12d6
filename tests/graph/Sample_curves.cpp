#include "Sample_curves.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace doz::test {
namespace {

constexpr int kDecadeSlots[] = {0, 94, 215, 367, 555};

template <class TPoint>
void FillBand(TCalcData& set, int band, TPoint point) {
  ClearCalcData(set);
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    set.Freq[i] = GridFrequency(i);
    point(set.Freq[i], set.R[i], set.Theta[i]);
  }
  set.Valid = 1;
}

}  // namespace

double GridFrequency(int slot) {
  int d = 0;
  while (d < 3 && slot > kDecadeSlots[d + 1]) ++d;
  const double fraction =
      static_cast<double>(slot - kDecadeSlots[d]) / (kDecadeSlots[d + 1] - kDecadeSlots[d]);
  return 10.0 * std::pow(10.0, d + fraction);
}

void FillSpeaker(TCalcData& set, int band, const TSpeaker& s) {
  const double w0 = 2.0 * std::numbers::pi * s.fs;
  const double c = s.q / (s.peak * w0);
  const double l = 1.0 / (w0 * w0 * c);
  FillBand(set, band, [&](double f, double& r, double& theta) {
    const std::complex<double> jw(0.0, 2.0 * std::numbers::pi * f);
    const std::complex<double> z =
        s.re + jw * s.le + 1.0 / (1.0 / s.peak + jw * c + 1.0 / (jw * l));
    r = std::round(std::abs(z));
    theta = std::round(std::arg(z) * 18000.0 / std::numbers::pi) / 100.0;
  });
}

void FillFlat(TCalcData& set, int band, double r, double theta) {
  FillBand(set, band, [&](double, double& pr, double& pt) {
    pr = r;
    pt = theta;
  });
}

}  // namespace doz::test
