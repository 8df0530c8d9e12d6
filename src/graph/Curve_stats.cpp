#include "Curve_stats.h"

#include <algorithm>

namespace doz {
namespace {

struct TAccumulator {
  TCurveStats stats;
  double maxTheta = 0.0;
  double minTheta = 0.0;

  void Add(const TCalcData& calc, int band) {
    if (!IsValidBand(band)) return;
    for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
      if (calc.R[i] == -1.0) continue;
      if (calc.R[i] > stats.maxR) stats.maxR = calc.R[i];
      if (calc.R[i] < stats.minR) stats.minR = calc.R[i];
      if (calc.Theta[i] > maxTheta) maxTheta = calc.Theta[i];
      if (calc.Theta[i] < minTheta) minTheta = calc.Theta[i];
    }
  }

  TCurveStats Result() {
    stats.maxAbsPhase = -minTheta > maxTheta ? -minTheta : maxTheta;
    return stats;
  }
};

}  // namespace

TCurveStats MeasuredCurveStats(const TCalcData& calc, int band) {
  TAccumulator a;
  a.Add(calc, band);
  return a.Result();
}

TCurveStats ReferenceCurveStats(const TRefSets& sets, int band) {
  TAccumulator a;
  for (const TCalcData* set : sets)
    if (set) a.Add(*set, band);
  return a.Result();
}

TCurveStats Combined(const TCurveStats& a, const TCurveStats& b) {
  return {std::max(a.maxR, b.maxR), std::min(a.minR, b.minR),
          std::max(a.maxAbsPhase, b.maxAbsPhase)};
}

void ApplyCurveLimits(TGraphRange& range, const TCurveStats& stats) {
  if (IsValidBand(range.Band)) {
    range.StartFreq = BandStartFreq(range.Band);
    range.StopFreq = BandStopFreq(range.Band);
  }
  range.MaxR = stats.maxR;
  range.MinR = stats.minR;
  range.MaxTheta = stats.maxAbsPhase;
  range.MinTheta = -stats.maxAbsPhase;
}

int PointIndexAt(const TCalcData& calc, int band, double f) {
  if (!IsValidBand(band)) return -1;
  const auto& F = calc.Freq;
  const int a = BandFirstIndex(band);
  const int b = BandLastIndex(band);
  if (F[a] <= f && f < F[a + 1]) return a;
  if (F[b - 1] < f && f <= F[b]) return b;
  for (int j = a + 1; j <= b - 1; ++j)
    if ((F[j - 1] + F[j]) / 2 <= f && f < (F[j] + F[j + 1]) / 2) return j;
  return -1;
}

void SelectCurveSets(TGraphRange& range, bool smoothed, const TCalcData& calc,
                     const TCalcData& ave, const TRefSets& refCalc, const TRefSets& refAve) {
  range.PlotMeas = smoothed ? &ave : &calc;
  range.PlotRef = smoothed ? refAve : refCalc;
}

}  // namespace doz
