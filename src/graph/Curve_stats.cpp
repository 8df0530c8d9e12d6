#include "Curve_stats.h"

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

TRefSets LoadedOnly(const TRefSets& sets, const TRefMask& loaded) {
  TRefSets only{};
  for (int k = 0; k < REF_MAX; ++k) only[k] = loaded[k] ? sets[k] : nullptr;
  return only;
}

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

double MeasuredMaxR(const TCalcData& calc, int band) { return MeasuredCurveStats(calc, band).maxR; }
double MeasuredMinR(const TCalcData& calc, int band) { return MeasuredCurveStats(calc, band).minR; }
double MeasuredMaxAbsPhase(const TCalcData& calc, int band) {
  return MeasuredCurveStats(calc, band).maxAbsPhase;
}

double ReferenceMaxR(const TRefSets& sets, const TRefMask& loaded, int band) {
  return ReferenceCurveStats(LoadedOnly(sets, loaded), band).maxR;
}
double ReferenceMinR(const TRefSets& sets, const TRefMask& loaded, int band) {
  return ReferenceCurveStats(LoadedOnly(sets, loaded), band).minR;
}
double ReferenceMaxAbsPhase(const TRefSets& sets, const TRefMask& loaded, int band) {
  return ReferenceCurveStats(LoadedOnly(sets, loaded), band).maxAbsPhase;
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

}  // namespace doz
