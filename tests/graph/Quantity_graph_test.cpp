// The quantity graph painted into images: the curves in their colours with
// their gaps, nothing outside its area, the point a click picks, and the
// zoom that the data keep or reset.
#include "Quantity_graph.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "Color_ref.h"
#include "Model_curve.h"
#include "Synthetic_sweep.h"

namespace doz::test {
namespace {

const QRect kArea(20, 10, 600, 400);

struct TColumns {
  int count = 0;
  int left = 1 << 30;
  int right = -1;
};

TColumns Pixels(const QImage& image, const QRect& plot, const QColor& color) {
  TColumns found;
  for (int y = plot.top(); y <= plot.bottom(); ++y)
    for (int x = plot.left(); x <= plot.right(); ++x)
      if (image.pixelColor(x, y) == color) {
        ++found.count;
        found.left = std::min(found.left, x);
        found.right = std::max(found.right, x);
      }
  return found;
}

class QuantityGraphTest : public ::testing::Test {
 protected:
  QuantityGraphTest() {
    font.setPixelSize(12);
    coil = SyntheticSweep(Circuit(kCoil), 1, {0, 0, 1});
    inductor = SyntheticSweep(Circuit("rl:R=1000,L=100m"), 1, {0, 0, 1});
    input.Band = 1;
    input.Measured = &coil;
    input.References[2] = &inductor;
  }
  QImage Painted(const TQuantityGraph& graph) const {
    QImage image(kArea.right() + 20, kArea.bottom() + 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    graph.Paint(painter, kArea, {font, 1.0});
    return image;
  }
  QRect Plot() const {
    QImage probe(1, 1, QImage::Format_RGB32);
    return TQuantityGraph::PlotRect(kArea, {font, 1.0}, &probe);
  }
  // Where the measured point of a slot is drawn.
  QPointF PixelOf(const TQuantityGraph& graph, int slot, TQuantity q) const {
    const TQuantityAxes axes = graph.Axes(Plot().size());
    const TQuantityPoint p = QuantitySeries(coil, 1, q)[slot - BandFirstIndex(1)];
    return TQuantityGraph::ToPixels({AxisFraction(axes.X, p.X), AxisFraction(axes.Y, p.Y)}, Plot());
  }

  static constexpr const char* kCoil = "coil:R=6800,L=2.5,C=400p";
  QFont font;
  TSettingData setting;
  TCalcData coil, inductor;
  TQuantityInput input;
};

TEST_F(QuantityGraphTest, CurvesInTheirColoursWithTheirGapsAndTheModelDashedOver) {
  TQuantityGraph graph;
  graph.SetData(input, TQuantity::Ls, setting);
  const QImage image = Painted(graph);
  const QRect plot = Plot();
  const QColor measured = ColorFromRef(setting.PenColor_R);
  const TColumns ls = Pixels(image, plot, measured);
  // Up to the resonance near 5 kHz, where the coil turns capacitive; none beyond.
  const TQuantityAxes axes = graph.Axes(plot.size());
  const auto column = [&](double hertz) {
    return TQuantityGraph::ToPixels({AxisFraction(axes.X, hertz), 0}, plot).x();
  };
  EXPECT_GT(ls.count, plot.width() / 2);
  EXPECT_LE(ls.left, plot.left() + 1);
  EXPECT_GT(ls.right, column(4000));
  EXPECT_LT(ls.right, column(5100));
  EXPECT_GT(Pixels(image, plot, ColorFromRef(setting.PenColor_R_Ref[2])).count, plot.width() / 2);
  // Only the area is painted, the plot in a black frame.
  EXPECT_EQ(image.pixelColor(kArea.left() - 1, kArea.top() + 5), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(kArea.right() + 1, kArea.bottom()), QColor(Qt::red));
  EXPECT_EQ(image.pixelColor(plot.left() - 1, plot.center().y()), QColor(Qt::black));

  // The capacitive side has Cs instead, and the inductor none.
  graph.SetData(input, TQuantity::Cs, setting);
  const QImage cs = Painted(graph);
  EXPECT_GT(Pixels(cs, plot, measured).left, column(4900));
  EXPECT_EQ(Pixels(cs, plot, ColorFromRef(setting.PenColor_R_Ref[2])).count, 0);

  // The fitted model over the measured curve, wider and dashed: along the
  // flat inductance below 1 kHz, columns of the dashes' width alternate with
  // the measured curve's single pixels.
  const TCalcData model = analysis::ModelCurve(Circuit(kCoil), coil, 1);
  TQuantityInput withModel = input;
  withModel.Model = &model;
  graph.SetData(withModel, TQuantity::Ls, setting);
  const QImage dashed = Painted(graph);
  const int row = static_cast<int>(PixelOf(graph, BandFirstIndex(1) + 150, TQuantity::Ls).y());
  const auto wide = [&](int x) {
    int n = 0;
    for (int y = row - 4; y <= row + 4; ++y) n += dashed.pixelColor(x, y) == measured;
    return n > 1;
  };
  int runs = 0;
  for (int x = column(100); x < column(1000); ++x) runs += wide(x) && !wide(x + 1);
  EXPECT_GT(runs, 5) << "dashes along the row";
}

TEST_F(QuantityGraphTest, ClickPicksTheNearestMeasuredPointShown) {
  TQuantityGraph graph;
  EXPECT_EQ(graph.NearestMeasured(Plot().center(), Plot()), -1);  // nothing measured
  graph.SetData(input, TQuantity::Rs, setting);
  for (int slot : {BandFirstIndex(1), BandFirstIndex(1) + 300, BandLastIndex(1)}) {
    const QPointF at = PixelOf(graph, slot, TQuantity::Rs);
    EXPECT_EQ(graph.NearestMeasured(at, Plot()), slot);
  }
  // Zoomed onto the band's lower two decades, the points above 1 kHz are not
  // shown: a click at the plot's right edge picks the last that is.
  graph.ZoomTo({0, 0}, {0.5, 1}, Plot().size());
  const int picked = graph.NearestMeasured(QPointF(Plot().right(), Plot().bottom()), Plot());
  EXPECT_GT(picked, BandFirstIndex(1));
  EXPECT_LE(coil.Freq[picked], 1000);
  EXPECT_GT(coil.Freq[picked], 900);
}

TEST_F(QuantityGraphTest, ZoomStaysWhileTheCurvesDoAndNyquistKeepsEqualScales) {
  TQuantityGraph graph;
  const QSize size = Plot().size();
  graph.SetData(input, TQuantity::Ls, setting);
  const TQuantityAxes whole = graph.Axes(size);
  graph.ZoomAbout({0.25, 0.5}, 0.5, true, false, size);
  const TQuantityAxes zoomed = graph.Axes(size);
  EXPECT_EQ(zoomed.Y, whole.Y);  // the wheel over the frequency axis
  EXPECT_NEAR(AxisFraction(zoomed.X, AxisValue(whole.X, 0.25)), 0.25, 1e-12);
  EXPECT_NEAR(std::log10(zoomed.X.Hi / zoomed.X.Lo), 2.0, 1e-9);

  const TCalcData model = analysis::ModelCurve(Circuit(kCoil), coil, 1);
  TQuantityInput withModel = input;
  withModel.Model = &model;
  graph.SetData(withModel, TQuantity::Ls, setting);  // a model does not rescale
  EXPECT_EQ(graph.Axes(size), zoomed);
  TCalcData changed = coil;
  changed.R[300] *= 2;
  withModel.Measured = &changed;
  graph.SetData(withModel, TQuantity::Ls, setting);
  EXPECT_FALSE(graph.Zoomed());
  graph.ZoomAbout({0.5, 0.5}, 0.5, true, true, size);
  graph.SetData(withModel, TQuantity::Xs, setting);
  EXPECT_FALSE(graph.Zoomed());
  graph.ZoomAbout({0.5, 0.5}, 0.5, true, true, size);
  graph.ShowWhole();
  EXPECT_FALSE(graph.Zoomed());

  // A Nyquist plot zooms both axes and stays at equal scales.
  graph.SetData(input, TQuantity::Nyquist, setting);
  const auto perPixel = [&](const TAxisRange& a, int pixels) { return (a.Hi - a.Lo) / pixels; };
  for (int step = 0; step < 3; ++step) {
    const TQuantityAxes a = graph.Axes(size);
    EXPECT_FALSE(a.X.Log || a.Y.Log);
    EXPECT_NEAR(perPixel(a.X, size.width()) / perPixel(a.Y, size.height()), 1.0, 1e-9) << step;
    if (step == 0) graph.ZoomAbout({0.2, 0.5}, 0.5, true, false, size);
    if (step == 1) graph.ZoomTo({0.1, 0.1}, {0.9, 0.3}, size);
  }
}

}  // namespace
}  // namespace doz::test
