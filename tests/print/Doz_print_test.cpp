#include "Doz_print.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "App_font.h"
#include "Curve_stats.h"
#include "Graph_rig.h"
#include "Page_probe.h"
#include "Sample_curves.h"
#include "Temp_dir.h"

namespace doz::test {
namespace {

// ---- Layout arithmetic -------------------------------------------------------

struct TLayoutCase {
  const char* name;
  int dpiX, dpiY, widthMm, heightMm;
  QPageLayout::Orientation orientation;
  // Frame left, top, graph width, height, frame right, bottom, plot width,
  // height, left, top, right, bottom.
  std::array<int, 12> expected;
};

// Expected values worked by hand: mm x 0.0393700787 x dpi, truncated.
const TLayoutCase kLayoutCases[] = {
    // 200 mm wide at 600 dpi: 10 mm = 236, 15 mm = 354, 5 mm = 118, 190 mm = 4488, 30 mm = 708.
    {"portrait 200 mm at 600 dpi", 600, 600, 200, 287, QPageLayout::Portrait,
     {236, 354, 4488, 3366, 4724, 3720, 3780, 3130, 590, 472, 4370, 3602}},
    // Landscape A4 at 300 dpi: the width follows the 210 mm side, 190 mm = 2244.
    {"landscape A4 at 300 dpi", 300, 300, 297, 210, QPageLayout::Landscape,
     {118, 177, 2244, 1683, 2362, 1860, 1890, 1565, 295, 236, 2185, 1801}},
    // Landscape ignores the long side entirely.
    {"landscape with a longer page", 300, 300, 420, 210, QPageLayout::Landscape,
     {118, 177, 2244, 1683, 2362, 1860, 1890, 1565, 295, 236, 2185, 1801}},
    // Unequal resolutions: widths follow dpiX, heights dpiY (15 mm = 177, 10 mm = 118, 5 mm = 59
    // at 300 dpi), the graph height still 3/4 of the graph width.
    {"portrait 600 x 300 dpi", 600, 300, 200, 287, QPageLayout::Portrait,
     {236, 177, 4488, 3366, 4724, 3543, 3780, 3248, 590, 236, 4370, 3484}},
};

TEST(PrintLayout, FramesAndPlotOfTheExamplePages) {
  for (const TLayoutCase& c : kLayoutCases) {
    const TPrintLayout l = PrintLayout(c.dpiX, c.dpiY, c.widthMm, c.heightMm, c.orientation);
    const std::array<int, 12> got = {l.FrameLeft,  l.FrameTop,   l.GraphWidth, l.GraphHeight,
                                     l.FrameRight, l.FrameBottom, l.PlotWidth, l.PlotHeight,
                                     l.PlotLeft,   l.PlotTop,    l.PlotRight,  l.PlotBottom};
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(PrintLayout, MillimetresTextScaleAndTextRowsTruncate) {
  EXPECT_EQ(MmToPixels(10, 600), 236);    // 236.22
  EXPECT_EQ(MmToPixels(25.4, 600), 599);  // 0.0393700787 is a hair below 1/25.4
  EXPECT_EQ(MmToPixels(0, 600), 0);
  EXPECT_FLOAT_EQ(PrintTextScale(600, 96.0), 6.25f);
  EXPECT_FLOAT_EQ(PrintTextScale(300, 120.0), 2.5f);
  EXPECT_FLOAT_EQ(PrintTextScale(600, 0.0), 6.25f);  // no screen: 96 pixels per inch
  EXPECT_EQ(PrintTextRowY(3720, 6.25f, 20), 3845);
  EXPECT_EQ(PrintTextRowY(3720, 6.25f, 80), 4220);
  EXPECT_EQ(PrintTextRowY(1000, 1.5625f, 60), 1093);  // 93.75 truncated
  EXPECT_EQ(PrintTextRowY(1000, 1.5625f, 20), 1031);  // 31.25 truncated
}

TEST(PrintLayout, OrientationFromThePrinterOrFromTheShapeOfAnImage) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageOrientation(QPageLayout::Landscape);
  EXPECT_EQ(PageOrientation(printer), QPageLayout::Landscape);
  printer.setPageOrientation(QPageLayout::Portrait);
  EXPECT_EQ(PageOrientation(printer), QPageLayout::Portrait);
  EXPECT_EQ(PageOrientation(PaperPage(50, true)), QPageLayout::Landscape);
  EXPECT_EQ(PageOrientation(PaperPage(50, false)), QPageLayout::Portrait);
}

// ---- The composed page -------------------------------------------------------

double ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchY() : 96.0;
}

// A loudspeaker measurement with one flat reference, scaled as the window
// scales measured and reference curves together.
class PrintedPage : public testing::Test {
 protected:
  PrintedPage() {
    rig.owner.setFont(AppFont());
    FillSpeaker(rig.meas, 1, TSpeaker{});
    FillFlat(rig.refs[0], 1, 6000.0, -40.0);
    const TCurveStats m = MeasuredCurveStats(rig.meas, 1);
    const TCurveStats r =
        ReferenceCurveStats({&rig.refs[0], nullptr, nullptr, nullptr, nullptr}, 1);
    rig.range.MaxR = std::max(m.maxR, r.maxR);
    rig.range.MinR = std::min(m.minR, r.minR);
    rig.range.MaxTheta = std::max(m.maxAbsPhase, r.maxAbsPhase);
    rig.range.MinTheta = -rig.range.MaxTheta;
  }

  // The labels as the window shows them, then the page.
  bool PrintOn(QPaintDevice& page, bool withRefs = false) {
    rig.graph->DrawScales();
    return TDoZ_Print(*rig.graph, page, rig.setting, rig.graph->Labels())
        .Print(rig.setting.fronly != 0, withRefs);
  }

  TPrintGeometry Geometry(const TPrintLayout& l, int dpiY) const {
    const float s = PrintTextScale(dpiY, ScreenDpi());
    return {l.PlotLeft,  l.PlotTop,    l.PlotRight, l.PlotBottom,
            l.PlotWidth, l.PlotHeight, s,           static_cast<int>(9 * s)};
  }

  TGraphRig rig;
};

// A4 at 150 dpi is 210 x 297 mm: plot at (147, 117), 1004 x 826 pixels
// (frame 59, 88; graph 1181 x 885; insets 88 and 29; less 177 and 59).
constexpr QRect kA4Plot150(147, 117, 1004, 826);

TEST_F(PrintedPage, PlotIsTheRenderedBitmapInsideAOnePixelFrame) {
  QImage page = PaperPage(150);
  ASSERT_TRUE(PrintOn(page));

  QImage plot(kA4Plot150.size(), QImage::Format_RGB888);
  rig.graph->RenderForPrint(plot, false, false);
  EXPECT_EQ(page.copy(kA4Plot150).convertToFormat(QImage::Format_RGB888), plot);

  const QRect frame = kA4Plot150.adjusted(-1, -1, 1, 1);
  const QRect edges[] = {{frame.left(), frame.top(), 1, frame.height()},
                         {frame.right(), frame.top(), 1, frame.height()},
                         {frame.left(), frame.top(), frame.width(), 1},
                         {frame.left(), frame.bottom(), frame.width(), 1}};
  for (const QRect& edge : edges)
    EXPECT_EQ(CountInk(page, IsDarkInk, edge), edge.width() * edge.height());
  // One pixel wide: the column and row beyond the frame are paper.
  const QRect beyond[] = {{frame.left() - 1, frame.top() + 1, 1, frame.height() - 2},
                          {frame.right() + 1, frame.top() + 1, 1, frame.height() - 2}};
  for (const QRect& strip : beyond) EXPECT_EQ(CountInk(page, IsWhitePaper, strip), strip.height());
}

TEST_F(PrintedPage, CurveChoiceFollowsTheFlags) {
  struct TCase {
    bool rOnly, withRefs;
  };
  for (const TCase c :
       {TCase{false, false}, TCase{true, false}, TCase{false, true}, TCase{true, true}}) {
    SCOPED_TRACE(testing::Message() << "rOnly " << c.rOnly << " withRefs " << c.withRefs);
    rig.setting.fronly = c.rOnly ? 1 : 0;
    QImage page = PaperPage(150);
    ASSERT_TRUE(PrintOn(page, c.withRefs));
    EXPECT_GT(CountInk(page, IsBlueInk, kA4Plot150), 0);
    EXPECT_EQ(CountInk(page, IsRedInk, kA4Plot150) > 0, !c.rOnly);
    EXPECT_EQ(CountInk(page, IsTealInk, kA4Plot150) > 0, c.withRefs);
    EXPECT_EQ(CountInk(page, IsPurpleInk, kA4Plot150) > 0, c.withRefs && !c.rOnly);
    // Text is black whatever the label colours on screen.
    for (auto ink : {IsBlueInk, IsRedInk, IsTealInk, IsPurpleInk})
      EXPECT_EQ(CountInk(page, ink) - CountInk(page, ink, kA4Plot150), 0);
  }
}

TEST_F(PrintedPage, LandscapeGraphFollowsTheShortSide) {
  QImage page = PaperPage(150, true);
  ASSERT_TRUE(PrintOn(page));
  // 190 mm at 150 dpi = 1122, less 30 mm (177): plot 945 wide from 147;
  // 3/4 of 1122 = 841, less 10 mm (59): 782 high from 117.
  const int middle = 117 + 782 / 2;
  EXPECT_TRUE(IsDarkInk(page.pixel(146, middle)));
  EXPECT_TRUE(IsDarkInk(page.pixel(147 + 945, middle)));
  EXPECT_TRUE(IsWhitePaper(page.pixel(147 + 946, middle)));
  EXPECT_TRUE(IsDarkInk(page.pixel(500, 117 + 782)));
  EXPECT_TRUE(IsWhitePaper(page.pixel(500, 117 + 783)));
}

// Sizes the label step by step until `placed` holds; false if no size up
// to 400 pixels does.
template <class TPlaced>
bool ResizeUntil(TLabelSlot& label, bool height, TPlaced placed) {
  for (int n = 1; n <= 400; ++n) {
    (height ? label.Size.Height : label.Size.Width) = n;
    if (placed()) return true;
  }
  return false;
}

TEST_F(PrintedPage, SlotsPlacedAtZeroOrBelowAreNotPrinted) {
  // Labels sized so that the renderer puts resistance tick 0 at x = 0, tick 1
  // left of the page and the phase unit at y = 0.
  rig.graph->DrawScales();
  TLabelLayout labels = rig.graph->Labels();
  const TPrintGeometry g = Geometry(PrintLayout(150, 150, 210, 297, QPageLayout::Portrait), 150);
  const auto resistanceX = [&](int slot) {
    std::array<int, 12> x, y;
    x.fill(-1), y.fill(-1);
    LinearResistancePrintPositions(labels, g, x, y);
    return x[slot];
  };
  const auto phaseUnit = [&] {
    std::array<int, 12> x, y;
    x.fill(-1), y.fill(-1);
    PhasePrintPositions(labels, g, x, y);
    return QPoint(x[11], y[11]);
  };
  ASSERT_TRUE(ResizeUntil(labels[RESISTANCE_SLOT], false, [&] { return resistanceX(0) == 0; }));
  ASSERT_TRUE(ResizeUntil(labels[RESISTANCE_SLOT + 1], false, [&] { return resistanceX(1) == -1; }));
  ASSERT_TRUE(ResizeUntil(labels[PHASE_UNIT_SLOT], true, [&] { return phaseUnit().y() == 0; }));
  ASSERT_GT(phaseUnit().x(), 0);

  QImage page = PaperPage(150);
  ASSERT_TRUE(TDoZ_Print(*rig.graph, page, rig.setting, labels).Print(false, false));
  EXPECT_EQ(CountInk(page, IsDarkInk, QRect(0, 0, 60, kA4Plot150.bottom())), 0);
  EXPECT_EQ(CountInk(page, IsDarkInk, QRect(0, 0, page.width(), 40)), 0);
  // The other resistance ticks are printed where they belong.
  EXPECT_GT(CountInk(page, IsDarkInk, QRect(60, 0, kA4Plot150.left() - 61, kA4Plot150.bottom())),
            0);
}

TEST_F(PrintedPage, StaleLabelsOfAnAxisWithoutSpanAreNotPrinted) {
  // Logarithmic axis without a span: the resistance labels keep the texts of
  // the linear axis, but the renderer gives them no place on the page.
  rig.graph->DrawScales();
  ASSERT_FALSE(rig.labels[0]->text().isEmpty());
  rig.setting.flog = 1;
  rig.range.MinR = 5000000;
  rig.range.MaxR = 0;
  QImage page = PaperPage(150);
  ASSERT_TRUE(PrintOn(page));
  EXPECT_FALSE(rig.labels[0]->text().isEmpty());
  EXPECT_EQ(CountInk(page, IsDarkInk, QRect(0, 0, kA4Plot150.left() - 1, kA4Plot150.bottom())), 0);
  // The phase axis is printed as before.
  EXPECT_GT(CountInk(page, IsDarkInk, QRect(kA4Plot150.right() + 2, 0, 200, 88 + 885)), 0);
}

TEST_F(PrintedPage, PrintJobThatCannotBeginIsAFailure) {
  TTempDir dir;
  const std::string path = dir.File("missing/page.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  EXPECT_FALSE(PrintOn(printer));
  EXPECT_FALSE(FileExists(path));
}

// ---- The PDF a printer gets --------------------------------------------------

// A4 at 600 dpi with 12-point margins: the printable area starts 100 pixels
// in, so page pixels are device pixels plus 100.
class PrintedPdf : public PrintedPage {
 protected:
  static constexpr int kDpi = 600;
  static constexpr int kMargin = 100;

  void SetUp() override {
    if (!HavePoppler()) GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) not installed";
  }

  std::string Print(bool withRefs = false) {
    const std::string path = dir.File("page.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setResolution(kDpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
    layout = PrintLayout(printer.logicalDpiX(), printer.logicalDpiY(), printer.widthMM(),
                         printer.heightMM(), QPageLayout::Portrait);
    EXPECT_TRUE(PrintOn(printer, withRefs));
    return path;
  }

  static double Pt(int devicePixel) { return (kMargin + devicePixel) * 72.0 / kDpi; }
  float Scale() const { return PrintTextScale(kDpi, ScreenDpi()); }
  double RowPt(int offset) const { return Pt(PrintTextRowY(layout.FrameBottom, Scale(), offset)); }

  TTempDir dir;
  TPrintLayout layout;
};

TEST_F(PrintedPdf, TitleAndInformationLinesKeepTheirRows) {
  using TLines = std::array<std::string, 3>;
  for (const TLines& lines :
       {TLines{"", "LINE-TWO", ""}, TLines{"ONE", "TWO", "THREE"}, TLines{"FIRST", "", "THIRD"}}) {
    SCOPED_TRACE(lines[0] + "|" + lines[1] + "|" + lines[2]);
    rig.setting.pstr = lines;
    const std::string pdf = Print();
    EXPECT_NE(PdfLayoutText(pdf).find("< Do-Z インピーダンス測定 >"), std::string::npos);
    const std::vector<TPdfWord> words = PdfWords(pdf);
    const TPdfWord* title = FindWord(words, "<");
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->xMin, Pt(layout.PlotLeft), 0.5);
    // Words sit at their row's top plus the font's own ascent difference.
    const double lift = title->yMin - RowPt(20);
    EXPECT_LT(std::abs(lift), 3.0);
    for (int i = 0; i < 3; ++i) {
      const double row = RowPt(40 + 20 * i) + lift;
      int inRow = 0;
      for (const TPdfWord& w : words) inRow += std::abs(w.yMin - row) < 1.0 ? 1 : 0;
      EXPECT_EQ(inRow, lines[i].empty() ? 0 : 1) << "row " << i + 1;
      if (lines[i].empty()) continue;
      const TPdfWord* word = FindWord(words, lines[i]);
      ASSERT_NE(word, nullptr);
      EXPECT_NEAR(word->yMin, row, 0.3);
      EXPECT_NEAR(word->xMin, Pt(layout.PlotLeft), 0.5);
    }
  }
}

TEST_F(PrintedPdf, AxisLabelsAtTheRenderersPlaces) {
  const std::string pdf = Print();
  const std::vector<TPdfWord> words = PdfWords(pdf);
  const TPdfWord* title = FindWord(words, "<");
  ASSERT_NE(title, nullptr);
  const double lift = title->yMin - RowPt(20);
  const TPrintGeometry g = Geometry(layout, kDpi);
  std::array<int, 12> rx, ry, px, py;
  std::array<int, 11> fx, fy;
  rx.fill(-1), ry.fill(-1), px.fill(-1), py.fill(-1), fx.fill(-1), fy.fill(-1);
  rig.graph->ResistanceLabelPositions(g, rx, ry);
  rig.graph->PhaseLabelPositions(g, px, py);
  rig.graph->FreqLabelPositions(g, fx, fy);
  int checked = 0;
  const auto expectAt = [&](int slot, int x, int y) {
    if (x <= 0 || y <= 0) return;
    const std::string text = rig.labels[slot]->text().toStdString();
    const std::string first = text.substr(0, text.find(' '));
    const bool found = std::any_of(words.begin(), words.end(), [&](const TPdfWord& w) {
      return w.text == first && std::abs(w.xMin - Pt(x)) < 0.5 &&
             std::abs(w.yMin - (Pt(y) + lift)) < 0.5;
    });
    EXPECT_TRUE(found) << "slot " << slot << " \"" << text << "\"";
    ++checked;
  };
  for (int i = 0; i < 12; ++i) expectAt(RESISTANCE_SLOT + i, rx[i], ry[i]);
  for (int i = 0; i < 12; ++i) expectAt(PHASE_SLOT + i, px[i], py[i]);
  for (int i = 0; i < 11; ++i) expectAt(FREQ_SLOT + i, fx[i], fy[i]);
  // 11 resistance and 11 phase ticks with their units, and the band's 9
  // frequency labels with theirs.
  EXPECT_EQ(checked, 12 + 12 + 10);
  for (const char* unit : {"[Ω]", "[deg]", "[Hz]", "100k", "10"})
    EXPECT_NE(FindWord(words, unit), nullptr) << unit;
}

TEST_F(PrintedPdf, PlotFrameAndCurvesOnThePaper) {
  const std::string pdf = Print(true);
  const QImage page = PdfPage(pdf, 100);
  ASSERT_FALSE(page.isNull());
  const auto at100 = [](int devicePixel) { return (kMargin + devicePixel) / 6.0; };
  const QRect plot(QPoint(at100(layout.PlotLeft), at100(layout.PlotTop)),
                   QPoint(at100(layout.PlotRight), at100(layout.PlotBottom)));
  const QRect around = plot.adjusted(-2, -2, 2, 2);
  for (auto ink : {IsBlueInk, IsRedInk, IsTealInk, IsPurpleInk}) {
    EXPECT_GT(CountInk(page, ink, plot), 20);
    EXPECT_EQ(CountInk(page, ink), CountInk(page, ink, around));
  }
  // The frame at full resolution: the corner pixels and their neighbours.
  const int left = kMargin + layout.PlotLeft - 1;
  const int top = kMargin + layout.PlotTop - 1;
  const QImage corner = PdfPage(pdf, kDpi, QRect(left - 10, top - 10, 60, 60), false);
  ASSERT_EQ(corner.size(), QSize(60, 60));
  EXPECT_EQ(CountInk(corner, IsDarkInk, QRect(10, 10, 1, 50)), 50);
  EXPECT_EQ(CountInk(corner, IsDarkInk, QRect(10, 10, 50, 1)), 50);
  EXPECT_EQ(CountInk(corner, IsWhitePaper, QRect(8, 12, 1, 48)), 48);
  const int right = kMargin + layout.PlotRight;
  const int bottom = kMargin + layout.PlotBottom;
  const QImage far = PdfPage(pdf, kDpi, QRect(right - 49, bottom - 49, 60, 60), false);
  EXPECT_EQ(CountInk(far, IsDarkInk, QRect(49, 0, 1, 50)), 50);
  EXPECT_EQ(CountInk(far, IsDarkInk, QRect(0, 49, 50, 1)), 50);
  EXPECT_EQ(CountInk(far, IsWhitePaper, QRect(51, 0, 1, 48)), 48);
  EXPECT_EQ(CountInk(far, IsWhitePaper, QRect(0, 51, 48, 1)), 48);
}

TEST_F(PrintedPdf, ResistanceOnlyPrintsNoPhaseLabels) {
  rig.setting.fronly = 1;
  const std::string pdf = Print(true);
  const std::vector<TPdfWord> words = PdfWords(pdf);
  EXPECT_EQ(FindWord(words, "[deg]"), nullptr);
  EXPECT_NE(FindWord(words, "[Ω]"), nullptr);
  EXPECT_EQ(std::count_if(words.begin(), words.end(),
                          [](const TPdfWord& w) { return w.text == "+" || w.text == "-"; }),
            0);
}

}  // namespace
}  // namespace doz::test
