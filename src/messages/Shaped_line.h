// One line of text as glyphs placed on it: what QTextLine draws, kept so a
// paint draws the glyphs without shaping the text again.
#pragma once

#include <QGlyphRun>
#include <QList>
#include <QPointF>

class QPainter;
class QTextLayout;

namespace doz {

class TShapedLine {
 public:
  TShapedLine() = default;
  // runs: glyph positions from the line's left end, the baseline at ascent.
  TShapedLine(QList<QGlyphRun> runs, qreal advance, qreal naturalWidth, qreal ascent,
              qreal descent);
  // The first line of a laid-out text.
  static TShapedLine FromLayout(const QTextLayout& layout);

  // As QTextLine's horizontalAdvance, naturalTextWidth, ascent and descent.
  qreal Advance() const { return advance_; }
  qreal NaturalWidth() const { return naturalWidth_; }
  qreal Ascent() const { return ascent_; }
  qreal Descent() const { return descent_; }
  const QList<QGlyphRun>& Runs() const { return runs_; }

  // Draws the line with its top left corner at topLeft, in the painter's pen.
  void Draw(QPainter& painter, const QPointF& topLeft) const;

 private:
  QList<QGlyphRun> runs_;
  qreal advance_ = 0;
  qreal naturalWidth_ = 0;
  qreal ascent_ = 0;
  qreal descent_ = 0;
};

}  // namespace doz
