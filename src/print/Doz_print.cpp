#include "Doz_print.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>

#include "App_font.h"
#include "Graph_draw.h"
#include "Graph_rtf.h"

namespace doz {
namespace {

constexpr double kInchesPerMm = 0.0393700787;
constexpr double kFallbackScreenDpi = 96.0;
constexpr int kLabelPointSize = 9;
constexpr int kTitleRow = 20;
constexpr int kInfoRows[3] = {40, 60, 80};

double ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchY() : kFallbackScreenDpi;
}

// A slot is printed only where the renderer placed it on the page.
bool OnPage(int x, int y) { return x > 0 && y > 0; }

}  // namespace

float PageScale(const QPaintDevice& page) {
  return PrintTextScale(page.logicalDpiY(), ScreenDpi());
}

QFont PrintFont() {
  QFont font = AppFont();
  font.setPointSize(kLabelPointSize);
  return font;
}

void PrintPageTexts(QPainter& painter, const TPrintLayout& layout, float scale,
                    const TSettingData& setting, const QString& note) {
  // Text is placed by the top of its line, not by its baseline.
  const int ascent = painter.fontMetrics().ascent();
  const auto print = [&](int offset, const QString& text, int x) {
    painter.drawText(x, PrintTextRowY(layout.FrameBottom, scale, offset) + ascent, text);
  };
  const QString title = QStringLiteral("< Do-Z インピーダンス測定 >");
  print(kTitleRow, title, layout.PlotLeft);
  if (!note.isEmpty()) {
    const QFontMetrics metrics = painter.fontMetrics();
    print(kTitleRow, note,
          layout.PlotLeft + metrics.horizontalAdvance(title) +
              metrics.horizontalAdvance(QStringLiteral("　")));
  }
  for (int i = 0; i < 3; ++i) {
    if (!setting.pstr[i].empty())
      print(kInfoRows[i], QString::fromStdString(setting.pstr[i]), layout.PlotLeft);
  }
}

int MmToPixels(double mm, int dpi) { return static_cast<int>(mm * kInchesPerMm * dpi); }

TPrintLayout PrintLayout(int dpiX, int dpiY, int pageWidthMm, int pageHeightMm,
                         QPageLayout::Orientation orientation) {
  TPrintLayout l;
  l.FrameLeft = MmToPixels(10, dpiX);
  l.FrameTop = MmToPixels(15, dpiY);
  l.GraphWidth = orientation == QPageLayout::Landscape ? MmToPixels(pageHeightMm - 20, dpiX)
                                                       : MmToPixels(pageWidthMm - 10, dpiX);
  l.GraphHeight = 3 * l.GraphWidth / 4;
  l.FrameRight = l.FrameLeft + l.GraphWidth;
  l.FrameBottom = l.FrameTop + l.GraphHeight;
  l.PlotWidth = l.GraphWidth - MmToPixels(30, dpiX);
  l.PlotHeight = l.GraphHeight - MmToPixels(10, dpiY);
  l.PlotLeft = l.FrameLeft + MmToPixels(15, dpiX);
  l.PlotTop = l.FrameTop + MmToPixels(5, dpiY);
  l.PlotRight = l.PlotLeft + l.PlotWidth;
  l.PlotBottom = l.PlotTop + l.PlotHeight;
  return l;
}

float PrintTextScale(int dpiY, double screenDpi) {
  return static_cast<float>(dpiY / (screenDpi > 0 ? screenDpi : kFallbackScreenDpi));
}

int PrintTextRowY(int frameBottom, float scale, int offset) {
  return static_cast<int>(frameBottom + offset * static_cast<double>(scale));
}

QPageLayout::Orientation PageOrientation(const QPaintDevice& page) {
  if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(&page))
    return paged->pageLayout().orientation();
  return page.widthMM() > page.heightMM() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

TDoZ_Print::TDoZ_Print(const TGraph_RTF& graph, QPaintDevice& page, const TSettingData& setting,
                       const TLabelLayout& labels)
    : TDoZ_Print(graph.Range(), page, setting, labels) {}

TDoZ_Print::TDoZ_Print(const TGraphRange& range, QPaintDevice& page, const TSettingData& setting,
                       const TLabelLayout& labels)
    : range_(range), page_(page), setting_(setting), labels_(labels) {}

bool TDoZ_Print::Print(bool rOnly, bool withRefs) {
  const int dpiX = page_.logicalDpiX();
  const int dpiY = page_.logicalDpiY();
  const float scale = PageScale(page_);
  const TPrintLayout layout =
      PrintLayout(dpiX, dpiY, page_.widthMM(), page_.heightMM(), PageOrientation(page_));
  if (layout.PlotWidth <= 0 || layout.PlotHeight <= 0) return false;

  QImage plot(layout.PlotWidth, layout.PlotHeight, QImage::Format_RGB888);
  if (plot.isNull()) return false;
  RenderPlot(plot, range_, setting_, rOnly, withRefs);

  QPainter painter;
  if (!painter.begin(&page_)) return false;
  painter.setPen(Qt::black);  // the labels and texts are black on paper
  painter.drawImage(QPoint(layout.PlotLeft, layout.PlotTop), plot);
  // One device pixel around the plot: the columns and rows just outside it.
  const QRect frame(QPoint(layout.PlotLeft - 1, layout.PlotTop - 1),
                    QPoint(layout.PlotRight, layout.PlotBottom));
  painter.fillRect(frame.left(), frame.top(), frame.width(), 1, Qt::black);
  painter.fillRect(frame.left(), frame.bottom(), frame.width(), 1, Qt::black);
  painter.fillRect(frame.left(), frame.top(), 1, frame.height(), Qt::black);
  painter.fillRect(frame.right(), frame.top(), 1, frame.height(), Qt::black);

  painter.setFont(PrintFont());
  const TPrintGeometry geometry{layout.PlotLeft,
                                layout.PlotTop,
                                layout.PlotRight,
                                layout.PlotBottom,
                                layout.PlotWidth,
                                layout.PlotHeight,
                                scale,
                                static_cast<int>(kLabelPointSize * scale)};
  PrintLabels(painter, geometry);
  PrintPageTexts(painter, layout, scale, setting_, note_);
  return painter.end();
}

template <std::size_t N, class TPositions>
void TDoZ_Print::PrintAxis(QPainter& painter, int firstSlot, TPositions positions) const {
  std::array<int, N> x;
  std::array<int, N> y;
  x.fill(-1);
  y.fill(-1);
  positions(x, y);
  const int ascent = painter.fontMetrics().ascent();
  for (std::size_t i = 0; i < N; ++i) {
    if (OnPage(x[i], y[i]))
      painter.drawText(x[i], y[i] + ascent, QString::fromStdString(labels_[firstSlot + i].Text));
  }
}

// The label places the renderer gives the printed plot, for the settings'
// axis type; no phase labels when resistance only is on.
void TDoZ_Print::PrintLabels(QPainter& painter, const TPrintGeometry& geometry) const {
  const TPlotScale scale = MakePlotScale(range_, geometry.Width, geometry.Height);
  PrintAxis<12>(painter, RESISTANCE_SLOT, [&](auto& x, auto& y) {
    if (setting_.flog)
      LogResistancePrintPositions(labels_, scale, geometry, x, y);
    else
      LinearResistancePrintPositions(labels_, geometry, x, y);
  });
  PrintAxis<12>(painter, PHASE_SLOT, [&](auto& x, auto& y) {
    if (!setting_.fronly) PhasePrintPositions(labels_, geometry, x, y);
  });
  PrintAxis<11>(painter, FREQ_SLOT,
                [&](auto& x, auto& y) { FreqPrintPositions(labels_, scale, geometry, x, y); });
}

}  // namespace doz
