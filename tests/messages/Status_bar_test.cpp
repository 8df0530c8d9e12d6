#include "Status_bar.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPaintEvent>
#include <qdrawutil.h>
#include <gtest/gtest.h>

#include "App_font.h"
#include "Qo_status.h"

namespace doz {
namespace {

TEST(StatusBar, PanelsStandSideBySideInTheirWidths) {
  const std::vector<int> widths{110, 50, 0, -5, 30};
  const QRect expected[] = {{0, 0, 110, 20}, {110, 0, 50, 20}, {160, 0, 0, 20},
                            {160, 0, 0, 20}, {160, 0, 30, 20}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(StatusPanelRect(widths, i, 20), expected[i]) << i;
}

// Starts with empty panels of the given width, and writes outside them
// change nothing.
TEST(StatusBar, StartsEmptyAndIgnoresWritesOutsideItsPanels) {
  TStatusBar bar(3, 50, nullptr);
  EXPECT_EQ(bar.PanelCount(), 3);
  EXPECT_EQ(bar.sizeHint(), QSize(150, 20));
  for (int panel : {-1, 3, 99}) {
    bar.SetPanelText(panel, QStringLiteral("x"));
    bar.SetPanelWidth(panel, 999);
    EXPECT_TRUE(bar.PanelText(panel).isEmpty());
    EXPECT_EQ(bar.PanelWidth(panel), 0);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(bar.PanelText(i).isEmpty());
    EXPECT_EQ(bar.PanelWidth(i), 50);
  }
  bar.SetPanelText(2, QStringLiteral("測定中です"));
  bar.SetPanelWidth(2, 77);
  EXPECT_EQ(bar.PanelText(2), QStringLiteral("測定中です"));
  EXPECT_EQ(bar.PanelWidth(2), 77);
}

TEST(StatusBar, MeasuresInItsOwnFont) {
  TStatusBar bar(3, 50, nullptr);
  bar.setFont(AppFont());
  const QString text = QStringLiteral("データ受信エラーです");
  EXPECT_EQ(bar.TextWidth(text), QFontMetrics(AppFont()).horizontalAdvance(text));
  QFont big = AppFont();
  big.setPixelSize(24);
  bar.setFont(big);
  EXPECT_GT(bar.TextWidth(text), QFontMetrics(AppFont()).horizontalAdvance(text));
  EXPECT_EQ(bar.TextWidth(QString()), 0);
}

TEST(StatusBar, StatusServiceSizesRealPanelsToTheirText) {
  TStatusBar bar(3, 50, nullptr);
  bar.setFont(AppFont());
  TQo_Status status(bar, QStringLiteral("Do-Z"), 2);
  status.ShowModelNotFound();
  const int measured = bar.TextWidth(bar.PanelText(0));
  ASSERT_GT(measured, 100);
  EXPECT_EQ(bar.PanelWidth(0), measured + 20);
  status.ShowMeasuring();
  EXPECT_EQ(bar.PanelWidth(1), 110);
}

// Pixels of the bar inside a rectangle, for comparing two renderings.
QImage Render(TStatusBar& bar, const QRect& area) {
  bar.resize(400, 20);
  return bar.grab().toImage().copy(area);
}

TEST(StatusBar, TextIsClippedToItsPanel) {
  TStatusBar empty(3, 60, nullptr);
  TStatusBar crowded(3, 60, nullptr);
  crowded.SetPanelText(0, QString(80, u'W'));
  const QRect secondPanel(60, 0, 60, 20);
  EXPECT_EQ(Render(crowded, secondPanel), Render(empty, secondPanel));
  const QRect firstPanel(0, 0, 60, 20);
  EXPECT_NE(Render(crowded, firstPanel), Render(empty, firstPanel));
}

// A bar that keeps what each paint was asked to cover.
class TWatchedBar : public TStatusBar {
 public:
  using TStatusBar::TStatusBar;
  QRegion painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    painted += event->region();
    TStatusBar::paintEvent(event);
  }
};

// A sweep writes a read-out many times a second: a new text repaints its
// panel only; a new width the panels from it to where the last one ends.
TEST(StatusBar, WritesRepaintOnlyWhatMoved) {
  TWatchedBar bar(3, 50, nullptr);
  bar.resize(600, 20);
  bar.show();
  QApplication::processEvents();
  bar.painted = QRegion();
  bar.SetPanelText(1, QStringLiteral("測定中"));
  QApplication::processEvents();
  EXPECT_EQ(bar.painted, QRegion(50, 0, 50, 20));
  bar.painted = QRegion();
  bar.SetPanelWidth(1, 80);
  QApplication::processEvents();
  EXPECT_EQ(bar.painted, QRegion(50, 0, 130, 20));
  bar.painted = QRegion();
  bar.SetPanelWidth(1, 20);
  QApplication::processEvents();
  EXPECT_EQ(bar.painted, QRegion(50, 0, 130, 20)) << "the panels' old end is cleared too";
}

// The bar as it looks drawn with drawText, which shapes its text at every
// paint: the reference for the bar's own drawing, which shapes it once.
class TDrawTextBar : public QWidget {
 public:
  std::vector<std::pair<QString, int>> panels;  // text, width

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    int left = 0;
    for (const auto& [text, width] : panels) {
      const QRect box(left, 0, width, height());
      left += width;
      qDrawShadePanel(&painter, box, palette(), true, 1);
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(box.adjusted(3, 1, -3, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       text);
    }
  }
};

// Read-outs, the unit's line, a text wider than its panel (clipped), one
// with a line break, an empty one; in the application's font and a larger
// one. Each is measured as the font's metrics measure it.
TEST(StatusBar, TextsLookAndMeasureAsDrawTextMakesThem) {
  const std::vector<std::pair<QString, int>> panels = {
      {QStringLiteral("Do-Z/ SN=0001/ 1.10"), 130},
      {QStringLiteral("周波数：999.9[Hz] / 8.123[kΩ] / -12.34[deg]"), 300},
      {QStringLiteral("Ru-Z, Du-D2 が見つかりませんでした"), 60},
      {QStringLiteral("二行\nの文"), 80},
      {QString(), 40}};
  QFont big = AppFont();
  big.setPixelSize(17);
  for (const QFont& font : {AppFont(), big}) {
    TStatusBar bar(int(panels.size()), 0, nullptr);
    TDrawTextBar reference;
    reference.panels = panels;
    for (QWidget* w : {static_cast<QWidget*>(&bar), static_cast<QWidget*>(&reference)}) {
      w->setFont(font);
      w->resize(700, 20);
    }
    for (int i = 0; i < int(panels.size()); ++i) {
      bar.SetPanelText(i, panels[i].first);
      bar.SetPanelWidth(i, panels[i].second);
      EXPECT_EQ(bar.TextWidth(panels[i].first), QFontMetrics(font).horizontalAdvance(panels[i].first))
          << i;
    }
    EXPECT_EQ(bar.grab().toImage(), reference.grab().toImage()) << font.pixelSize();
  }
}

}  // namespace
}  // namespace doz
