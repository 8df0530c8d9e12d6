#include "Status_bar.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
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

}  // namespace
}  // namespace doz
