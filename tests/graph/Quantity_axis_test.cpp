// The quantity graph's arithmetic: ranges and ticks of linear and
// logarithmic axes, tick texts, zoom steps, equal scales, the quantities of
// known circuits with their gaps, and curves cut to the plot.
#include "Quantity_axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Quantity_series.h"
#include "Synthetic_sweep.h"

namespace doz {
namespace {

TEST(QuantityAxis, NiceStepsAndWholeRanges) {
  const std::pair<double, double> steps[] = {{0.7, 1},   {1, 1},  {1.01, 2},    {2.5, 5},
                                             {0.2, 0.2}, {7, 10}, {3e-9, 5e-9}, {114e3, 200e3}};
  for (const auto& [rough, nice] : steps) EXPECT_DOUBLE_EQ(NiceStep(rough), nice) << rough;

  struct TCase {
    double lo, hi;
    TAxisRange range;
  };
  const double none = std::numeric_limits<double>::infinity();
  const TCase cases[] = {
      {1, 9.9, {0, 10, false}},  // less than a decade: linear from 0
      {2.5, 14, {0, 15, false}},
      {1, 10, {1, 10, true}},  // a decade: logarithmic, 1-2-5 bounds
      {0.03, 470, {0.02, 500, true}},
      {-160e3, 410e3, {-200e3, 600e3, false}},  // Xs through zero
      {-3, -1, {-3, 0, false}},
      {5, 5, {0, 5, false}},
      {0, 0, {0, 1, false}},
      {none, -none, {0, 1, false}},  // no values
  };
  for (const TCase& c : cases) {
    const TAxisRange r = WholeValueRange(c.lo, c.hi);
    EXPECT_EQ(r.Log, c.range.Log) << c.lo << " " << c.hi;
    EXPECT_NEAR(r.Lo, c.range.Lo, 1e-12 * std::fabs(c.range.Hi)) << c.lo << " " << c.hi;
    EXPECT_NEAR(r.Hi, c.range.Hi, 1e-12 * std::fabs(c.range.Hi)) << c.lo << " " << c.hi;
  }
  EXPECT_FALSE(WholeLinearRange(1, 1000).Log);
}

TEST(QuantityAxis, TicksOfBothKinds) {
  // The band's frequency axis gives the main graph's series where they fit.
  const TAxisRange band{10, 100000, true};
  EXPECT_EQ(AxisTicks(band, 9).Labels,
            (std::vector<double>{10, 30, 100, 300, 1e3, 3e3, 1e4, 3e4, 1e5}));
  EXPECT_EQ(AxisTicks(band, 5).Labels, (std::vector<double>{10, 100, 1e3, 1e4, 1e5}));
  const TAxisTicks log = AxisTicks(band, 20);
  EXPECT_EQ(log.Labels.size(), 17u);  // 1, 2, 3, 5 per decade
  EXPECT_NE(std::find(log.Grid.begin(), log.Grid.end(), TGridLine{15, false}), log.Grid.end());
  EXPECT_NE(std::find(log.Grid.begin(), log.Grid.end(), TGridLine{1000, true}), log.Grid.end());
  EXPECT_EQ(log.Grid.front().Value, 15);  // none at the bounds

  const TAxisTicks linear = AxisTicks({-200e3, 600e3, false}, 10);
  EXPECT_EQ(linear.Labels.size(), 9u);
  EXPECT_DOUBLE_EQ(linear.Step, 100e3);
  for (const TGridLine& g : linear.Grid) EXPECT_EQ(g.Major, g.Value == 0.0) << g.Value;
  // Too narrow for two labels of a decade series: linear steps on its scale.
  const TAxisTicks narrow = AxisTicks({2.1, 2.9, true}, 6);
  EXPECT_GT(narrow.Step, 0.0);
  EXPECT_GE(narrow.Labels.size(), 2u);

  // Any axis: at most the labels asked for, in order, within its bounds.
  std::mt19937 rng(20250301);
  std::uniform_real_distribution<double> exponent(-14, 9), decades(0.05, 12);
  for (int n = 0; n < 400; ++n) {
    const double lo = std::pow(10.0, exponent(rng));
    const TAxisRange axis{n % 2 ? -lo : lo, lo * std::pow(10.0, decades(rng)), n % 4 == 0};
    const int most = 2 + n % 12;
    const TAxisTicks t = AxisTicks(axis, most);
    ASSERT_LE(int(t.Labels.size()), most) << axis.Lo << " " << axis.Hi << " " << axis.Log;
    ASSERT_TRUE(std::is_sorted(t.Labels.begin(), t.Labels.end()));
    const double slack = 1e-9 * (axis.Hi - axis.Lo);
    for (double v : t.Labels) ASSERT_TRUE(v >= axis.Lo - slack && v <= axis.Hi + slack) << v;
  }
}

TEST(QuantityAxis, TickTexts) {
  struct TCase {
    double value, step;
    const char* text;
  };
  const TCase cases[] = {
      {1500, 500, "1.5k"},  {2000, 500, "2k"},     {-200e3, 100e3, "-200k"},
      {0.5, 0.1, "500m"},   {1.2, 0.2, "1.2"},     {2e-6, 0, "2µ"},
      {3e-12, 0, "3p"},     {100, 0, "100"},       {999.9999999, 0, "1k"},
      {0, 1, "0"},          {-1e-17, 1, "0"},      {0.30000000000000004, 0.1, "300m"},
      {2.5e12, 0, "2500G"}, {7.5e6, 2.5e6, "7.5M"}};
  for (const TCase& c : cases) EXPECT_EQ(TickText(c.value, c.step), c.text) << c.value;
}

TEST(QuantityAxis, ZoomKeepsTheAnchorAndStopsWhereBoundsMerge) {
  for (const TAxisRange axis : {TAxisRange{0, 10, false}, TAxisRange{10, 100000, true}}) {
    const double anchor = 0.3;
    const double value = AxisValue(axis, anchor);
    const TAxisRange in = ZoomAbout(axis, anchor, 0.5);
    EXPECT_NEAR(AxisFraction(in, value), anchor, 1e-12);
    EXPECT_NEAR(AxisFraction(in, axis.Lo), -0.3 / 0.5 + 0.3, 1e-12);
    const TAxisRange back = ZoomAbout(in, anchor, 2.0);
    EXPECT_NEAR(back.Lo, axis.Lo, 1e-9 * axis.Hi);
    EXPECT_NEAR(back.Hi, axis.Hi, 1e-9 * axis.Hi);
    // Endless zooming in stops short of bounds a drawing cannot tell apart.
    TAxisRange deep = axis;
    for (int i = 0; i < 200; ++i) deep = ZoomAbout(deep, 0.7, 0.5);
    EXPECT_TRUE(Resolvable(deep));
    EXPECT_EQ(ZoomAbout(axis, 0.5, 0.0), axis);
    // A dragged rectangle in either order; one of no size changes nothing.
    EXPECT_EQ(AxisBetween(axis, 0.75, 0.25), AxisBetween(axis, 0.25, 0.75));
    EXPECT_NEAR(AxisBetween(axis, 0.25, 0.75).Lo, AxisValue(axis, 0.25), 1e-9);
    EXPECT_EQ(AxisBetween(axis, 0.4, 0.4), axis);
  }
}

TEST(QuantityAxis, EqualAspectWidensTheAxisWithFewerUnitsPerPixel) {
  TAxisRange x{0, 10, false}, y{0, 10, false};
  EqualAspect(x, y, 200, 100);
  EXPECT_EQ(y, (TAxisRange{0, 10, false}));
  EXPECT_EQ(x, (TAxisRange{-5, 15, false}));
  TAxisRange tallX{0, 10, false}, tallY{-1, 1, false};
  EqualAspect(tallX, tallY, 100, 100);
  EXPECT_DOUBLE_EQ(tallY.Hi - tallY.Lo, 10);
  EXPECT_DOUBLE_EQ(tallY.Lo + tallY.Hi, 0);
}

TEST(QuantitySeries, NamesInAnyCase) {
  for (TQuantity q : kQuantities) {
    EXPECT_EQ(QuantityNamed(QuantityName(q)), q);
    std::string upper = QuantityName(q);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(QuantityNamed(upper), q);
  }
  EXPECT_FALSE(QuantityNamed("Z"));
  EXPECT_FALSE(QuantityNamed(""));
}

// A coil (R + L) ∥ C is inductive below its resonance near 5 kHz and
// capacitive above: Ls there, Cs beyond, and a slot without value breaks
// both.
TEST(QuantitySeries, QuantitiesOfAKnownCoilWithItsGaps) {
  TCalcData coil = test::SyntheticSweep(test::Circuit("coil:R=6800,L=2.5,C=400p"), 1, {0, 0, 1});
  const int hole = BandFirstIndex(1) + 100;
  coil.R[hole] = -1.0;
  const std::vector<TQuantityPoint> ls = QuantitySeries(coil, 1, TQuantity::Ls);
  const std::vector<TQuantityPoint> cs = QuantitySeries(coil, 1, TQuantity::Cs);
  ASSERT_EQ(ls.size(), std::size_t(BandDataNum(1)));
  for (std::size_t i = 0; i < ls.size(); ++i) {
    EXPECT_EQ(ls[i].Slot, BandFirstIndex(1) + int(i));
    if (ls[i].Slot == hole) {
      EXPECT_FALSE(ls[i].Defined || cs[i].Defined);
      continue;
    }
    EXPECT_NE(ls[i].Defined, cs[i].Defined) << ls[i].Slot;  // one or the other
    const double hertz = coil.Freq[ls[i].Slot];
    EXPECT_EQ(ls[i].Defined, hertz < 5000) << hertz;
    // Low down the capacitance takes R²C off the inductance.
    if (ls[i].Defined && hertz < 100) {
      EXPECT_NEAR(ls[i].Y, 2.5 - 6800.0 * 6800.0 * 400e-12, 0.002);
    }
  }
  const auto runs = DrawableRuns(ls, {10, 100000, true}, {0, 20, false});
  ASSERT_EQ(runs.size(), 2u);  // split at the hole, ended at the resonance
  EXPECT_EQ(runs[0], std::make_pair(0, 100));
  const std::vector<TQuantityPoint> nyquist = QuantitySeries(coil, 1, TQuantity::Nyquist);
  EXPECT_NEAR(nyquist[0].X, 6800, 1);
  EXPECT_LT(nyquist[0].Y, 0);  // inductive: -Im Z below zero
  EXPECT_TRUE(QuantitySeries(coil, 11, TQuantity::Rs).empty());
}

TEST(QuantitySeries, RunsEndWhereAnAxisCannotPlaceAPoint) {
  std::vector<TQuantityPoint> points;
  const double ys[] = {1, 2, -1, 3, 0, 4, 5};
  for (int i = 0; i < 7; ++i) points.push_back({i, i != 5, 10.0 + i, ys[i]});
  const TAxisRange x{1, 100, true};
  using TRuns = std::vector<std::pair<int, int>>;
  EXPECT_EQ(DrawableRuns(points, x, {-2, 6, false}), (TRuns{{0, 5}, {6, 7}}));
  EXPECT_EQ(DrawableRuns(points, x, {0.1, 10, true}), (TRuns{{0, 2}, {3, 4}, {6, 7}}));
}

TEST(QuantitySeries, CurvesAreCutAtTheEdgeAlongThemselves) {
  const double m = 0.05;
  using TLine = std::vector<TFractionPoint>;
  const TLine inside = {{0.1, 0.1}, {0.5, 0.9}, {0.9, 0.2}};
  EXPECT_EQ(ClippedPieces(inside, m), std::vector<TLine>{inside});
  // Out far beyond the right edge and back: two pieces, cut on the edge.
  const TLine out = {{0.5, 0.5}, {1e12, 0.5 + 1e12}, {0.6, 0.4}, {0.7, 0.4}};
  const auto pieces = ClippedPieces(out, m);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].front(), out[0]);
  EXPECT_NEAR(pieces[0].back().Y, 1 + m, 1e-9);
  EXPECT_NEAR(pieces[0].back().X - 0.5, pieces[0].back().Y - 0.5, 1e-9);  // along the line
  EXPECT_EQ(pieces[1].size(), 3u);
  EXPECT_EQ(pieces[1].back(), out[3]);
  EXPECT_TRUE(ClippedPieces({{2, 2}, {3, 5}}, m).empty());
}

}  // namespace
}  // namespace doz
