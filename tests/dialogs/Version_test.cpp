#include "Version.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

#include "Scripted_prompter.h"

namespace doz {
namespace {

TEST(VersionCurve, FallsFromTopLeftToBottomRightInsideItsBox) {
  const QRect boxes[] = {{0, 0, 120, 80}, {150, 30, 116, 76}, {5, 5, 2, 2}};
  for (const QRect& box : boxes) {
    for (int points : {2, 3, 60, 500}) {
      SCOPED_TRACE(testing::Message() << points << " points");
      const QPolygon curve = VersionCurve(box, points);
      ASSERT_EQ(curve.size(), points);
      EXPECT_EQ(curve.first(), box.topLeft());
      EXPECT_EQ(curve.last(), box.bottomRight());
      for (int i = 0; i < curve.size(); ++i) {
        EXPECT_TRUE(box.contains(curve[i])) << i;
        if (i == 0) continue;
        EXPECT_GE(curve[i].x(), curve[i - 1].x());
        EXPECT_GE(curve[i].y(), curve[i - 1].y());
      }
    }
  }
  EXPECT_EQ(VersionCurve(QRect(0, 0, 10, 10), 0).size(), 2);
}

TEST(VersionCurve, IsFlatBeforeTheCornerAndSteepAfterIt) {
  const QPolygon curve = VersionCurve(QRect(0, 0, 401, 401), 401);
  EXPECT_LT(curve[100].y(), 40);   // one decade below the corner: almost flat
  EXPECT_GT(curve[300].y(), 200);  // past the corner: falling
}

TEST(VersionWindow, FixedPictureOfItsOwnSize) {
  TFormVersion form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Do-Z"));
  EXPECT_EQ(form.size(), QSize(290, 170));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  const QImage picture = form.grab().toImage();
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3)
    for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
  EXPECT_GT(colours.size(), 20u);
}

TEST(VersionWindow, ALeftClickAnywhereClosesIt) {
  const QPoint points[] = {{1, 1}, {145, 85}, {288, 168}, {200, 60}};
  for (const QPoint& at : points) {
    TFormVersion form;
    form.show();
    QTest::mouseClick(&form, Qt::RightButton, {}, at);
    EXPECT_TRUE(form.isVisible());
    QTest::mouseClick(&form, Qt::LeftButton, {}, at);
    EXPECT_FALSE(form.isVisible()) << at.x() << "," << at.y();
    EXPECT_EQ(form.result(), QDialog::Accepted);
  }
}

TEST(VersionWindow, ShownThroughThePrompterAndClosedByAClick) {
  test::TScriptedPrompter prompter;
  TFormVersion form;
  prompter.modalActions.push_back([](QDialog& d) {
    QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(20, 150));
    return d.result();
  });
  EXPECT_EQ(prompter.RunModal(form), QDialog::Accepted);
  EXPECT_EQ(prompter.Records().back().caption, QStringLiteral("Do-Z"));
}

}  // namespace
}  // namespace doz
