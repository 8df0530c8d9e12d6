#include "Glyph_cache.h"

#include <QTextLayout>
#include <algorithm>
#include <tuple>

namespace doz {
namespace {

// Enough for every text a window shows; past it the cache starts again.
constexpr qsizetype kMostChars = 2048;
constexpr qsizetype kMostPairs = 65536;

// Characters that stand left to right in a left-to-right line whatever
// their neighbours, each as one cluster of its own.
bool Plain(QChar c) {
  if (c.isSurrogate() || c.isMark() || c.category() == QChar::Other_Control ||
      c.category() == QChar::Other_Format)
    return false;
  switch (c.direction()) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirWS:
    case QChar::DirON:
      return true;
    default:
      return false;
  }
}

// The same face at the same size, though perhaps another engine of it: the
// toolkit's font cache may have made a new one since a glyph was shaped.
bool SameFace(const QRawFont& a, const QRawFont& b) {
  return a == b || (a.familyName() == b.familyName() && a.styleName() == b.styleName() &&
                    a.pixelSize() == b.pixelSize() && a.weight() == b.weight() &&
                    a.style() == b.style());
}

struct TPlaced {
  QRawFont font;
  quint32 index;
  QPointF position;
};

std::vector<TPlaced> Placed(const QList<QGlyphRun>& runs) {
  std::vector<TPlaced> placed;
  for (const QGlyphRun& run : runs) {
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < indexes.size(); ++i)
      placed.push_back({run.rawFont(), indexes[i], positions[i]});
  }
  std::sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) {
    return std::make_tuple(a.position.x(), a.index) < std::make_tuple(b.position.x(), b.index);
  });
  return placed;
}

bool SamePlaces(const std::vector<TPlaced>& a, const std::vector<TPlaced>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TPlaced& x, const TPlaced& y) {
    return x.index == y.index && x.position == y.position && SameFace(x.font, y.font);
  });
}

}  // namespace

std::unique_ptr<QTextLayout> LayOutLine(const QString& text, const QFont& font,
                                        Qt::LayoutDirection direction, QPaintDevice* device) {
  auto layout = std::make_unique<QTextLayout>(text, font, device);
  QTextOption option;
  option.setTextDirection(direction);
  option.setAlignment(Qt::AlignLeft);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  line.setLineWidth(0x01000000);
  line.setPosition(QPointF(0, 0));
  layout->endLayout();
  return layout;
}

TShapedLine TGlyphCache::Shape(const QString& text, const QFont& font, Qt::LayoutDirection direction) {
  UseFont(font);
  if (Composable(text, direction) && PairsAgree(text)) return Compose(text);
  return TShapedLine::FromLayout(*LayOutLine(text, font, direction, device_));
}

void TGlyphCache::UseFont(const QFont& font) {
  if (font == font_ && chars_.size() <= kMostChars && pairs_.size() <= kMostPairs) return;
  font_ = font;
  chars_.clear();
  pairs_.clear();
}

bool TGlyphCache::Composable(const QString& text, Qt::LayoutDirection direction) const {
  if (direction != Qt::LeftToRight || text.isEmpty()) return false;
  return std::all_of(text.begin(), text.end(), Plain);
}

bool TGlyphCache::PairsAgree(const QString& text) {
  for (qsizetype i = 1; i < text.size(); ++i)
    if (!PairAgrees(text[i - 1], text[i])) return false;
  return true;
}

bool TGlyphCache::PairAgrees(QChar a, QChar b) {
  const quint32 key = (quint32(a.unicode()) << 16) | b.unicode();
  const auto known = pairs_.constFind(key);
  if (known != pairs_.cend()) return *known;
  const QString pair = QString(a) + b;
  const auto layout = LayOutLine(pair, font_, Qt::LeftToRight, device_);
  const QTextLine whole = layout->lineAt(0);
  const TShapedLine composed = Compose(pair);
  const bool agrees = SamePlaces(Placed(whole.glyphRuns()), Placed(composed.Runs())) &&
                      whole.cursorToX(2) == composed.Advance() &&
                      whole.ascent() == composed.Ascent() && whole.descent() == composed.Descent();
  pairs_.insert(key, agrees);
  return agrees;
}

const TGlyphCache::TCharShape& TGlyphCache::CharShape(QChar c) {
  const auto known = chars_.constFind(c.unicode());
  if (known != chars_.cend()) return *known;
  const auto layout = LayOutLine(QString(c), font_, Qt::LeftToRight, device_);
  const QTextLine line = layout->lineAt(0);
  TCharShape shape;
  shape.advance = line.cursorToX(1);
  shape.ascent = line.ascent();
  shape.descent = line.descent();
  for (const TPlaced& glyph : Placed(line.glyphRuns()))
    shape.glyphs.push_back({glyph.font, glyph.index, glyph.position - QPointF(0, shape.ascent)});
  return *chars_.insert(c.unicode(), std::move(shape));
}

// The characters' glyphs side by side on one baseline, as low as the
// tallest needs it; a run for each stretch in one face.
TShapedLine TGlyphCache::Compose(const QString& text) {
  qreal ascent = 0;
  qreal descent = 0;
  for (QChar c : text) {
    ascent = std::max(ascent, CharShape(c).ascent);
    descent = std::max(descent, CharShape(c).descent);
  }
  QList<QGlyphRun> runs;
  QList<quint32> indexes;
  QList<QPointF> positions;
  QRawFont face;
  const auto endRun = [&] {
    if (indexes.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    runs.push_back(run);
    indexes.clear();
    positions.clear();
  };
  qreal x = 0;
  for (QChar c : text) {
    const TCharShape& shape = CharShape(c);
    for (const TGlyph& glyph : shape.glyphs) {
      if (!indexes.isEmpty() && !(glyph.font == face)) endRun();
      face = glyph.font;
      indexes.push_back(glyph.index);
      positions.push_back(QPointF(x, ascent) + glyph.offset);
    }
    x += shape.advance;
  }
  endRun();
  return TShapedLine(std::move(runs), x, x, ascent, descent);
}

}  // namespace doz
