#include "Curve_stats.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Sample_curves.h"

namespace doz {
namespace {

using test::FillFlat;

TEST(CurveStats, MeasuredStatisticsSkipEmptyPointsAndStayInTheBand) {
  TCalcData set;
  ClearCalcData(set);
  EXPECT_EQ(MeasuredCurveStats(set, 10).maxR, 0);
  EXPECT_EQ(MeasuredCurveStats(set, 10).minR, 5000000);
  EXPECT_EQ(MeasuredCurveStats(set, 10).maxAbsPhase, 0);

  FillFlat(set, 10, 500, 10);
  set.R[95] = 1e9;  // first slot past band 10
  set.Theta[95] = -170;
  set.R[3] = 0;
  set.R[7] = -1;
  set.Theta[7] = 150;
  set.R[8] = 2000;
  set.Theta[9] = -40;
  EXPECT_EQ(MeasuredCurveStats(set, 10).maxR, 2000);
  EXPECT_EQ(MeasuredCurveStats(set, 10).minR, 0);
  EXPECT_EQ(MeasuredCurveStats(set, 10).maxAbsPhase, 40);
  set.Theta[9] = -10;  // a tie keeps the positive side
  EXPECT_EQ(MeasuredCurveStats(set, 10).maxAbsPhase, 10);
  EXPECT_EQ(MeasuredCurveStats(set, 1).maxR, 1e9);
}

TEST(CurveStats, ReferenceStatisticsCoverLoadedSetsOnly) {
  TCalcData a, b, unloaded;
  FillFlat(a, 1, 800, -30);
  FillFlat(b, 1, 3000, 20);
  FillFlat(unloaded, 1, 90000, 80);
  // Set 1 is not loaded: a null entry.
  const TCurveStats loaded = ReferenceCurveStats({&a, nullptr, &b, nullptr, nullptr}, 1);
  EXPECT_EQ(loaded.maxR, 3000);
  EXPECT_EQ(loaded.minR, 800);
  EXPECT_EQ(loaded.maxAbsPhase, 30);
  const TCurveStats none = ReferenceCurveStats({}, 1);
  EXPECT_EQ(none.maxR, 0);
  EXPECT_EQ(none.minR, 5000000);
  const TCurveStats all = Combined(loaded, ReferenceCurveStats({&unloaded}, 1));
  EXPECT_EQ(all.maxR, 90000);
  EXPECT_EQ(all.minR, 800);
  EXPECT_EQ(all.maxAbsPhase, 80);
}

TEST(PointIndexAt, ClicksAtTheEdgesOfEachRule) {
  for (int band : {10, 3}) {
    TCalcData set;
    FillFlat(set, band, 100, 0);
    const auto& F = set.Freq;
    const int a = BandFirstIndex(band);
    const int b = BandLastIndex(band);
    const int j = a + 40;
    const double mid = (F[j - 1] + F[j]) / 2;
    const struct {
      double f;
      int index;
    } clicks[] = {{F[a], a},
                  {std::nextafter(F[a], 0), -1},
                  {std::nextafter(F[a + 1], 0), a},
                  {F[a + 1], a + 1},
                  {F[b - 1], b - 1},
                  {std::nextafter(F[b - 1], 1e9), b},
                  {F[b], b},
                  {std::nextafter(F[b], 1e9), -1},
                  {mid, j},
                  {std::nextafter(mid, 0), j - 1}};
    for (const auto& c : clicks) EXPECT_EQ(PointIndexAt(set, band, c.f), c.index) << c.f;
  }
  TCalcData empty;
  ClearCalcData(empty);
  EXPECT_EQ(PointIndexAt(empty, 1, 1000), -1);
  FillFlat(empty, 1, 100, 0);  // a band outside the table reads nothing
  EXPECT_EQ(PointIndexAt(empty, 0, 1000), -1);
  EXPECT_EQ(MeasuredCurveStats(empty, 11).maxR, 0);
}

}  // namespace
}  // namespace doz
