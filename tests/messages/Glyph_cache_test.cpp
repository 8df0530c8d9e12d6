#include "Glyph_cache.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <random>

#include "App_font.h"

namespace doz {
namespace {

QImage Drawn(const std::function<void(QPainter&)>& draw) {
  QImage image(500, 40, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(Qt::black);
  draw(painter);
  return image;
}

// Each text as the cache shapes it against the same text laid out whole:
// the same advance, height and pixels.
void ExpectShapedAsLaidOut(TGlyphCache& cache, QWidget& device, const QFont& font,
                           const QStringList& texts, Qt::LayoutDirection direction) {
  for (const QString& text : texts) {
    const TShapedLine shaped = cache.Shape(text, font, direction);
    const auto layout = LayOutLine(text, font, direction, &device);
    const QTextLine line = layout->lineAt(0);
    EXPECT_EQ(shaped.Advance(), line.horizontalAdvance()) << text.toStdString();
    EXPECT_EQ(shaped.NaturalWidth(), line.naturalTextWidth()) << text.toStdString();
    EXPECT_EQ(shaped.Ascent() + shaped.Descent(), line.ascent() + line.descent()) << text.toStdString();
    EXPECT_EQ(Drawn([&](QPainter& p) { shaped.Draw(p, QPointF(20, 5)); }),
              Drawn([&](QPainter& p) { line.draw(&p, QPointF(20, 5)); }))
        << text.toStdString();
  }
}

// A sweep's read-outs, seeded, and the texts a status bar shows.
TEST(GlyphCache, ReadOutsLookAndMeasureAsLaidOutWhole) {
  QWidget device;
  TGlyphCache cache(&device);
  std::mt19937 random(17);
  std::uniform_real_distribution<double> unit(0, 1);
  QStringList texts = {QStringLiteral("Do-Z/ SN=0001/ 1.10"), QStringLiteral("測定中です"),
                       QStringLiteral("周波数：10.00[Hz]...100.0k[Hz]")};
  for (int i = 0; i < 200; ++i)
    texts << QStringLiteral("周波数：%1[Hz] / %2[kΩ] / %3[deg]")
                 .arg(10 + 1e5 * unit(random), 0, 'f', 2)
                 .arg(1e3 * unit(random), 0, 'f', 3)
                 .arg(180 * unit(random) - 90, 0, 'f', 2);
  ExpectShapedAsLaidOut(cache, device, QFont(AppFont(), &device), texts, Qt::LeftToRight);
}

// Texts that shaping one character at a time would get wrong are laid out
// whole: kerning pairs and ligatures, right to left, combining marks, spaces
// at an end, a right-to-left line.
TEST(GlyphCache, TextsThatShapeAsAWholeAreLaidOutWhole) {
  QWidget device;
  QFont font(QStringLiteral("DejaVu Sans"), &device);
  font.setPixelSize(18);
  if (QFontInfo(font).family() != QStringLiteral("DejaVu Sans")) GTEST_SKIP() << "no DejaVu Sans";
  const QFontMetricsF metrics(font, &device);
  ASSERT_LT(metrics.horizontalAdvance(QStringLiteral("AV")),
            metrics.horizontalAdvance(u'A') + metrics.horizontalAdvance(u'V'))
      << "the font kerns, or this test shows nothing";
  TGlyphCache cache(&device);
  const QStringList texts = {QStringLiteral("AVATAR To Wa"), QStringLiteral("office ffi"),
                             QStringLiteral("AB AV"),        QStringLiteral("مرحبا 12"),
                             QStringLiteral("cafe\u0301"),   QStringLiteral(" edge "),
                             QStringLiteral("AB")};
  ExpectShapedAsLaidOut(cache, device, font, texts, Qt::LeftToRight);
  ExpectShapedAsLaidOut(cache, device, font, texts, Qt::RightToLeft);
}

}  // namespace
}  // namespace doz
