#include "Shaped_line.h"

#include <QPainter>
#include <QTextLayout>

namespace doz {

TShapedLine::TShapedLine(QList<QGlyphRun> runs, qreal advance, qreal naturalWidth, qreal ascent,
                         qreal descent)
    : runs_(std::move(runs)),
      advance_(advance),
      naturalWidth_(naturalWidth),
      ascent_(ascent),
      descent_(descent) {}

TShapedLine TShapedLine::FromLayout(const QTextLayout& layout) {
  if (layout.lineCount() == 0) return {};
  const QTextLine line = layout.lineAt(0);
  // The runs are placed from the layout's origin, where the line starts.
  return TShapedLine(line.glyphRuns(), line.horizontalAdvance(), line.naturalTextWidth(),
                     line.ascent(), line.descent());
}

void TShapedLine::Draw(QPainter& painter, const QPointF& topLeft) const {
  for (const QGlyphRun& run : runs_) painter.drawGlyphRun(topLeft, run);
}

}  // namespace doz
