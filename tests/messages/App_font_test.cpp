#include "App_font.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>
#include <gtest/gtest.h>

namespace doz {
namespace {

TEST(AppFont, JapaneseTextHasGlyphsAtTwelvePixels) {
  const QFont font = AppFont();
  EXPECT_EQ(font.families(),
            (QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")}));
  EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
  const QFontMetrics metrics(font);
  const QString texts[] = {QStringLiteral("測定開始"), QStringLiteral("データ１"),
                           QStringLiteral("１０Hz～100kHz"), QStringLiteral("COMポートの設定")};
  for (const QString& text : texts) {
    for (const QChar c : text) EXPECT_TRUE(metrics.inFont(c)) << text.toStdString();
  }
  EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("測定開始")), 4 * 8);
}

}  // namespace
}  // namespace doz
