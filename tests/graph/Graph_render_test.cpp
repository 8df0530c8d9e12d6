#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <optional>
#include <random>
#include <set>

#include "Graph_rig.h"
#include "Sample_curves.h"

namespace doz::test {
namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kTeal(0, 128, 128), kPurple(128, 0, 128);

// Band 10 on a 498 x 310 bitmap, 1000-ohm and +-100-degree axes: a flat
// measurement at 420 ohms (row 179) and +33 degrees (row 103).
constexpr int kRRow = 179;
constexpr int kThetaRow = 103;

struct TCurveRig : TGraphRig {
  explicit TCurveRig(qreal ratio = 1.0) : TGraphRig(10, 500, 312, ratio) {
    range.MaxR = 800;
    FillFlat(meas, 10, 420, 33);
  }
  void Redraw(void (TGraph_RTF::*draw)()) {
    graph->Clear();
    (graph.get()->*draw)();
  }
};

TEST(GraphGrid, FrequencyDecadesGreyOthersSilverNoneAtTheBounds) {
  TGraphRig rig;
  rig.graph->Clear();
  EXPECT_EQ(rig.Pixel(249, 10), kGrey);    // 1000 Hz
  EXPECT_EQ(rig.Pixel(270, 10), kSilver);  // 1500 Hz
  EXPECT_EQ(rig.Pixel(0, 10), kWhite);     // 10 Hz, the low bound
  int lines = 0;
  for (int x = 0; x < 498; ++x) lines += rig.Pixel(x, 10) != kWhite;
  EXPECT_EQ(lines, 39);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(rig.Pixel(5, i * 31), i == 5 ? kGrey : kSilver) << i;
  EXPECT_EQ(rig.Pixel(5, 30), kWhite);
  EXPECT_EQ(rig.box->Image(), &rig.graph->Bitmap());
}

TEST(GraphGrid, LogarithmicGridReplacesTheLinearOne) {
  TGraphRig rig;
  rig.setting.flog = 1;  // 1 k to 200 k
  rig.graph->Clear();
  EXPECT_EQ(rig.Pixel(5, 175), kGrey);    // 10 k
  EXPECT_EQ(rig.Pixel(5, 40), kGrey);     // 100 k
  EXPECT_EQ(rig.Pixel(5, 134), kSilver);  // 20 k
  EXPECT_EQ(rig.Pixel(5, 155), kWhite);   // no linear middle line
  rig.range.MinR = 5000000;               // nothing valid: no span
  rig.range.MaxR = 0;
  rig.graph->Clear();
  EXPECT_EQ(RowsOf(rig.graph->Bitmap(), 5, kWhite), 310);
}

TEST(GraphCurves, EmptyPointLeavesTwoSegmentGapsInBothCurves) {
  TCurveRig rig;
  rig.meas.R[40] = -1;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  for (int x = rig.X(39) + 1; x < rig.X(41); ++x) {
    EXPECT_NE(rig.Pixel(x, kRRow), kBlue) << x;
    EXPECT_NE(rig.Pixel(x, kThetaRow), kRed) << x;
  }
  for (int x : {rig.X(39) - 1, rig.X(41) + 1}) {
    EXPECT_EQ(rig.Pixel(x, kRRow), kBlue) << x;
    EXPECT_EQ(rig.Pixel(x, kThetaRow), kRed) << x;
  }
  rig.meas.R[42] = -1;  // point 41 alone has no segment at all, not even a dot
  rig.setting.fwide = 1;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  EXPECT_NE(rig.Pixel(rig.X(41), kRRow), kBlue);
}

TEST(GraphCurves, ValuesBeyondTheAxesArePinnedToTheEdges) {
  TCurveRig rig;
  rig.meas.R[40] = 5000;
  rig.meas.Theta[60] = -500;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  EXPECT_EQ(rig.Pixel(rig.X(40), 0), kBlue);
  EXPECT_EQ(rig.Pixel(rig.X(60), 309), kRed);
}

TEST(GraphCurves, SlotsAStoppedSweepNeverReachedDrawNothing) {
  TCurveRig rig;
  for (int i = 0; i <= 50; ++i) {  // rising curves, so a stray line shows
    rig.meas.R[i] = 105 + 10 * i;
    rig.meas.Theta[i] = i - 20;
  }
  for (int i = 51; i <= 94; ++i) rig.meas.R[i] = rig.meas.Theta[i] = rig.meas.Freq[i] = 0;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  const int rRow = LinearResistanceToY(rig.meas.R[50], 1000, 310);
  const int thetaRow = PhaseToY(rig.meas.Theta[50], 100, 310);
  EXPECT_EQ(rig.Pixel(rig.X(50) - 1, rRow), kBlue);
  for (int x = 0; x < rig.X(45); ++x) {
    EXPECT_NE(rig.Pixel(x, rRow), kBlue) << x;
    EXPECT_NE(rig.Pixel(x, thetaRow), kRed) << x;
  }
}

TEST(GraphCurves, LaterCurvesPaintOverEarlierOnes) {
  // Every curve on row 179: -15.8 degrees maps there too.
  const struct {
    void (TGraph_RTF::*draw)();
    bool refValid, rOnly, log;
    std::optional<QColor> top;  // none: no reference pixel anywhere
  } cases[] = {{&TGraph_RTF::DrawAll, true, false, false, kPurple},
               {&TGraph_RTF::DrawAll, false, false, false, kRed},
               {&TGraph_RTF::DrawAll, true, true, false, kTeal},
               {&TGraph_RTF::DrawMeasurement, true, false, false, kRed},
               {&TGraph_RTF::DrawReferences, true, false, false, kPurple},
               {&TGraph_RTF::DrawReferences, true, true, false, kTeal},
               {&TGraph_RTF::DrawReferences, false, false, false, std::nullopt},
               {&TGraph_RTF::DrawAll, false, false, true, std::nullopt}};
  for (const auto& c : cases) {
    TCurveRig rig;
    rig.range.MinR = 100;
    FillFlat(rig.meas, 10, 420, -15.8);
    FillFlat(rig.refs[0], 10, 420, -15.8);
    rig.refs[0].Valid = c.refValid;
    rig.setting.fronly = c.rOnly;
    rig.setting.flog = c.log;
    rig.Redraw(c.draw);
    if (c.top) {
      EXPECT_EQ(rig.Pixel(rig.X(20), kRRow), *c.top);
    } else {
      EXPECT_EQ(StrayPixels(rig.graph->Bitmap(), kTeal, -1), 0);
      EXPECT_EQ(StrayPixels(rig.graph->Bitmap(), kPurple, -1), 0);
    }
  }
}

TEST(GraphCurves, WidePenThickensMeasuredCurvesOnly) {
  for (bool wide : {false, true}) {
    TCurveRig rig;
    rig.setting.fwide = wide;
    FillFlat(rig.refs[0], 10, 650, -50);
    rig.Redraw(&TGraph_RTF::DrawAll);
    const int x = rig.X(20);
    EXPECT_EQ(RowsOf(rig.graph->Bitmap(), x, kBlue), wide ? 3 : 1);
    EXPECT_EQ(RowsOf(rig.graph->Bitmap(), x, kRed), wide ? 3 : 1);
    EXPECT_EQ(RowsOf(rig.graph->Bitmap(), x, kTeal), 1);
    EXPECT_EQ(RowsOf(rig.graph->Bitmap(), x, kPurple), 1);

    QImage paper(996, 620, QImage::Format_RGB888);
    rig.graph->RenderForPrint(paper, false, true);
    EXPECT_EQ(RowsOf(paper, 2 * x, kBlue), wide ? 8 : 5);
    EXPECT_EQ(RowsOf(paper, 2 * x, kRed), wide ? 8 : 5);
    EXPECT_EQ(RowsOf(paper, 2 * x, kTeal), 5);
    rig.graph->RenderForPrint(paper, true, false);
    EXPECT_EQ(RowsOf(paper, 2 * x, kBlue), wide ? 8 : 5);
    EXPECT_EQ(RowsOf(paper, 2 * x, kRed) + RowsOf(paper, 2 * x, kTeal), 0);
  }
}

TEST(GraphCurves, ZeroResistanceOnTheLogAxisKeepsItsPhase) {
  TCurveRig rig;
  rig.setting.flog = 1;
  rig.range.MinR = 100;  // 100 to 1000 ohms: 420 on row 116
  rig.meas.R[40] = 0;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  for (int x = rig.X(39) + 1; x < rig.X(41); ++x) EXPECT_NE(rig.Pixel(x, 116), kBlue) << x;
  EXPECT_EQ(rig.Pixel(rig.X(39) - 1, 116), kBlue);
  EXPECT_EQ(rig.Pixel(rig.X(40), kThetaRow), kRed);
  rig.range.MinR = 5000000;
  rig.range.MaxR = 0;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  EXPECT_EQ(StrayPixels(rig.graph->Bitmap(), kBlue, -1), 0);
  EXPECT_EQ(rig.Pixel(rig.X(40), kThetaRow), kRed);
}

TEST(GraphCurves, RunningSweepDrawsItsSegmentsWhateverTheValidFlag) {
  TCurveRig rig;
  rig.meas.Valid = 0;
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  EXPECT_EQ(StrayPixels(rig.graph->Bitmap(), kBlue, -1), 0);

  rig.graph->Clear();
  rig.graph->DrawMeasurementUpTo(10);
  EXPECT_EQ(rig.Pixel(rig.X(9), kRRow), kBlue);
  EXPECT_NE(rig.Pixel(rig.X(11), kRRow), kBlue);
  EXPECT_EQ(rig.Pixel(rig.X(9), kThetaRow), kRed);

  rig.graph->Clear();
  rig.graph->DrawMeasurementSegment(31);
  EXPECT_EQ(rig.Pixel(rig.X(30), kRRow), kBlue);
  EXPECT_NE(rig.Pixel(rig.X(30) - 1, kRRow), kBlue);
  EXPECT_NE(rig.Pixel(rig.X(31) + 1, kRRow), kBlue);

  rig.graph->Clear();
  rig.graph->DrawMeasurementSegment(0);
  rig.graph->DrawMeasurementUpTo(0);
  rig.graph->DrawMeasurementSegment(DATA_MAX + 10);
  EXPECT_EQ(StrayPixels(rig.graph->Bitmap(), kBlue, -1), 0);
  rig.graph->DrawMeasurementUpTo(100000);
  EXPECT_EQ(rig.Pixel(rig.X(93), kRRow), kBlue);
}

TEST(GraphCurves, NewSegmentReachesTheScreen) {
  TCurveRig rig;
  rig.owner.show();
  rig.graph->Clear();
  QCoreApplication::processEvents();
  rig.graph->DrawMeasurementSegment(31);
  QCoreApplication::processEvents();
  // What the window system shows, not the renderer's own image.
  const QImage screen = rig.owner.screen()->grabWindow(rig.owner.winId()).toImage();
  const QPoint box = rig.box->pos() + QPoint(1, 1);
  EXPECT_EQ(screen.pixelColor(box + QPoint(rig.X(30), kRRow)), kBlue);
  EXPECT_EQ(screen.pixelColor(box + QPoint(rig.X(30), kThetaRow)), kRed);
}

// Point by point, as a sweep draws it, with each point's few boxes sent to
// the screen: what the window system shows is the renderer's whole image,
// for the thin and the wide pen, steep segments and flat ones.
TEST(GraphCurves, SegmentsPointByPointReachTheScreenWhole) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> ohms(0, 800), degrees(-90, 90);
  for (std::uint8_t wide : {0, 1}) {
    SCOPED_TRACE(wide ? "wide" : "thin");
    TCurveRig rig;
    rig.setting.fwide = wide;
    for (int i = BandFirstIndex(10); i <= BandLastIndex(10); ++i) {
      rig.meas.R[i] = i % 9 == 0 ? rig.meas.R[i - 1] : ohms(random);
      rig.meas.Theta[i] = degrees(random);
    }
    rig.owner.show();
    rig.graph->Clear();
    QCoreApplication::processEvents();
    for (int k = BandFirstIndex(10) + 1; k <= BandLastIndex(10); ++k) {
      rig.graph->DrawMeasurementSegment(k);
      QCoreApplication::processEvents();
    }
    const QImage& image = rig.graph->Bitmap();
    const QImage screen = rig.owner.screen()->grabWindow(rig.owner.winId()).toImage();
    const QRect inner(rig.box->pos() + QPoint(1, 1), image.size());
    EXPECT_EQ(screen.copy(inner).convertToFormat(QImage::Format_RGB32),
              image.convertToFormat(QImage::Format_RGB32));
  }
}

// At a pixel ratio of 2 the same picture comes in twice the pixels: halved,
// it is the ratio-1 picture, and every pixel is one of the graph's own
// colours, so its edges are sharp rather than a scaled-up blur.
TEST(GraphHiDpi, RatioTwoDrawsTheSamePictureInDevicePixels) {
  const auto draw = [](qreal ratio) {
    TCurveRig rig(ratio);
    rig.Redraw(&TGraph_RTF::DrawMeasurement);
    return rig.graph->Bitmap();
  };
  const QImage one = draw(1.0);
  const QImage two = draw(2.0);
  ASSERT_EQ(two.size(), one.size() * 2);
  EXPECT_EQ(two.devicePixelRatio(), 2.0);
  const QImage halved = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  int differing = 0;
  for (int y = 0; y < one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) differing += halved.pixel(x, y) != one.pixel(x, y);
  EXPECT_LT(differing, one.width() * one.height() / 200) << "within half a percent";
  const std::set<QRgb> palette = {kWhite.rgb(), kGrey.rgb(), kSilver.rgb(), kBlue.rgb(), kRed.rgb()};
  int blended = 0;
  for (int y = 0; y < two.height(); ++y)
    for (int x = 0; x < two.width(); ++x) blended += !palette.count(two.pixel(x, y));
  EXPECT_EQ(blended, 0);
}

void Press(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  QMouseEvent event(type, at, w.mapToGlobal(at), button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(&w, &event);
}

// Paints row kRRow black across the picture and counts its calls.
struct TProbeOverlay : TGraphOverlay {
  mutable int calls = 0;
  void Draw(QPainter& painter, const TPlotScale& scale, const TGraphRange&,
            const TSettingData&) const override {
    ++calls;
    painter.fillRect(QRect(0, kRRow, scale.W, 1), Qt::black);
  }
};

TEST(GraphOverlay, DrawnOverTheCurvesOfWholePicturesOnScreenOnly) {
  TCurveRig rig;
  FillFlat(rig.refs[0], 10, 420, 33);
  auto probe = std::make_shared<TProbeOverlay>();
  rig.graph->SetOverlay(probe);
  for (auto draw :
       {&TGraph_RTF::DrawMeasurement, &TGraph_RTF::DrawReferences, &TGraph_RTF::DrawAll}) {
    rig.Redraw(draw);
    EXPECT_EQ(rig.Pixel(rig.X(40), kRRow), Qt::black);
  }
  rig.graph->Clear();
  rig.graph->DrawMeasurementUpTo(50);
  EXPECT_EQ(rig.Pixel(rig.X(40), kRRow), Qt::black);
  EXPECT_EQ(probe->calls, 4);
  rig.graph->DrawMeasurementSegment(60);  // one new point of a sweep
  QImage page(800, 500, QImage::Format_RGB32);
  rig.graph->RenderForPrint(page, false, true);
  EXPECT_EQ(probe->calls, 4);
  EXPECT_EQ(RowsOf(page, 400, Qt::black), 0);
  probe.reset();  // its owner let it go
  rig.Redraw(&TGraph_RTF::DrawMeasurement);
  EXPECT_EQ(rig.Pixel(rig.X(40), kRRow), kBlue);
}

TEST(GraphOverlay, PointMarksSitOnTheCurvesPointsWithAPlace) {
  TCurveRig rig;
  rig.meas.R[30] = -1;
  rig.graph->Clear();
  const QColor orange(0xFF, 0x80, 0x00);
  QImage image = rig.graph->Bitmap().copy();
  QPainter painter(&image);
  const TPlotScale scale = MakePlotScale(rig.range, image.width(), image.height());
  DrawPointMarks(painter, scale, rig.meas, {20, 30, -4, 9999}, TCurveKind::Resistance, false,
                 orange, 5);
  DrawPointMarks(painter, scale, rig.meas, {20}, TCurveKind::Phase, false, orange, 5);
  painter.end();
  for (int row : {kRRow, kThetaRow}) {
    EXPECT_EQ(image.pixelColor(rig.X(20) - 2, row - 2), orange) << row;
    EXPECT_EQ(image.pixelColor(rig.X(20) + 2, row + 2), orange) << row;
    EXPECT_NE(image.pixelColor(rig.X(20) + 3, row), orange) << row;
  }
  EXPECT_EQ(StrayPixels(image, orange, -1), 2 * 25);  // none where R is -1 or the slot is none
}

TEST(PaintBox, ShowsTheImageFramedAndReportsTheMouse) {
  TGraphRig rig;
  rig.graph->Clear();
  const QImage shot = rig.box->grab().toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), Qt::black);
  EXPECT_EQ(shot.pixelColor(499, 311), Qt::black);
  EXPECT_EQ(shot.pixelColor(1 + 249, 1 + 10), kGrey);

  TPaintBox bare;
  bare.resize(40, 30);
  EXPECT_EQ(bare.grab().toImage().pixelColor(10, 10), kWhite);
  std::vector<QPoint> downs;
  int clicks = 0;
  bare.OnMouseDown = [&](int x, int y) { downs.emplace_back(x, y); };
  bare.OnClick = [&] { ++clicks; };
  Press(bare, QEvent::MouseButtonPress, Qt::RightButton, {7, 9});
  Press(bare, QEvent::MouseButtonRelease, Qt::RightButton, {7, 9});
  Press(bare, QEvent::MouseButtonPress, Qt::LeftButton, {3, 4});
  Press(bare, QEvent::MouseButtonRelease, Qt::LeftButton, {3, 4});
  EXPECT_EQ(downs, (std::vector<QPoint>{{7, 9}, {3, 4}}));
  EXPECT_EQ(clicks, 1);
}

TEST(GraphLifecycle, ResizeFollowsTheBoxAndSurvivesAnEmptyOne) {
  TCurveRig rig;
  rig.box->resize(300, 200);
  rig.graph->Resize();
  EXPECT_EQ(rig.graph->Bitmap().size(), QSize(298, 198));
  rig.box->resize(1, 1);
  rig.graph->Resize();
  EXPECT_TRUE(rig.graph->Bitmap().isNull());
  rig.Redraw(&TGraph_RTF::DrawAll);
  rig.graph->DrawMeasurementSegment(5);
  EXPECT_EQ(rig.box->Image(), &rig.graph->Bitmap());
  rig.graph.reset();
  EXPECT_EQ(rig.box->Image(), nullptr);
}

}  // namespace
}  // namespace doz::test
