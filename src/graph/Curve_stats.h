// Statistics the graph is scaled from, and the point under a click. Pure
// functions over the unsmoothed sets of one band; a point whose resistance
// is -1 holds no value and is skipped.
#pragma once

#include <array>

#include "Doz_setting.h"

namespace doz {

using TRefSets = std::array<const TCalcData*, REF_MAX>;

// The start values stand when no point has a value.
struct TCurveStats {
  double maxR = 0.0;        // largest resistance
  double minR = 5000000.0;  // smallest resistance
  // The larger of the largest phase and the negated smallest phase, both
  // counted from 0.
  double maxAbsPhase = 0.0;
};

TCurveStats MeasuredCurveStats(const TCalcData& calc, int band);
// Over every point of every set; a null entry is a reference not loaded.
TCurveStats ReferenceCurveStats(const TRefSets& sets, int band);

// The sets a redraw plots: the smoothed ones with 平均処理 on, else the
// decoded ones; a null reference entry plots nothing.
void SelectCurveSets(TGraphRange& range, bool smoothed, const TCalcData& calc,
                     const TCalcData& ave, const TRefSets& refCalc, const TRefSets& refAve);

// The statistics of a measurement and its references together.
TCurveStats Combined(const TCurveStats& a, const TCurveStats& b);
// The graph scaled from statistics: the band's frequency range, the
// resistance limits and a phase axis symmetric about zero.
void ApplyCurveLimits(TGraphRange& range, const TCurveStats& stats);

// Index of the band point a click at frequency f selects, or -1: the first
// point from its own frequency up to the second's, the last point from just
// above the second-to-last frequency up to its own, else the lowest inner
// point whose half-way marks to its neighbours enclose f.
int PointIndexAt(const TCalcData& calc, int band, double f);

}  // namespace doz
