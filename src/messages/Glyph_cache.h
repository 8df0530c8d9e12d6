// Shapes one-line texts as QTextLayout does, from glyphs shaped once per
// character. A sweep rewrites its read-out for every point, and the new text
// differs from the last in a few digits: shaping the whole of it again cost
// more than the rest of the point's work together.
//
// A text is composed from its characters only where that gives what shaping
// the whole gives: left to right, no marks, controls or surrogates, and each
// pair of neighbouring characters once found to shape as the two apart. A
// pair that kerns or joins into a ligature does not, and a text holding one
// is laid out whole.
#pragma once

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <memory>
#include <vector>

#include "Shaped_line.h"

class QPaintDevice;
class QTextLayout;

namespace doz {

// The text laid out on one line that is never wrapped.
std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const QFont& font,
                                        Qt::LayoutDirection direction, QPaintDevice* device);

class TGlyphCache {
 public:
  // Texts are shaped for the device, as a layout made for it shapes them.
  explicit TGlyphCache(QPaintDevice* device) : device_(device) {}

  TShapedLine Shape(const QString& text, const QFont& font, Qt::LayoutDirection direction);

 private:
  struct TGlyph {
    QRawFont font;
    quint32 index = 0;
    QPointF offset;  // from the pen position on the baseline
  };
  struct TCharShape {
    std::vector<TGlyph> glyphs;
    qreal advance = 0;
    qreal ascent = 0;
    qreal descent = 0;
  };

  bool Composable(const QString& text, Qt::LayoutDirection direction) const;
  bool PairsAgree(const QString& text);
  bool PairAgrees(QChar a, QChar b);
  const TCharShape& CharShape(QChar c);
  TShapedLine Compose(const QString& text);
  void UseFont(const QFont& font);

  QPaintDevice* device_;
  QFont font_;
  QHash<char16_t, TCharShape> chars_;
  QHash<quint32, bool> pairs_;  // both characters' codes: whether they agree
};

}  // namespace doz
