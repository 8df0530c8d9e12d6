#include "Status_bar.h"

#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <qdrawutil.h>

namespace doz {

namespace {
constexpr int BAR_HEIGHT = 20;
constexpr int TEXT_MARGIN = 3;

// Line breaks and tabs stand as spaces on a one-line panel, as drawText
// shows them.
QString OneLine(QString text) {
  for (QChar& c : text)
    if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
  return text;
}

}  // namespace

QRect StatusPanelRect(const std::vector<int>& widths, int panel, int height) {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += std::max(0, widths[i]);
  return QRect(left, 0, std::max(0, widths[panel]), height);
}

TStatusBar::TStatusBar(int panels, int initialWidth, QWidget* parent)
    : QWidget(parent), panels_(std::max(0, panels)), glyphs_(this) {
  for (TPanel& p : panels_) p.width = initialWidth;
  // Filled in its own colour, the window's: a panel written for every point
  // of a sweep repaints the bar alone, not the window beneath it as well.
  setAutoFillBackground(true);
}

TStatusBar::~TStatusBar() = default;

int TStatusBar::PanelCount() const { return static_cast<int>(panels_.size()); }

bool TStatusBar::HasPanel(int panel) const { return panel >= 0 && panel < PanelCount(); }

void TStatusBar::SetPanelText(int panel, const QString& text) {
  if (!HasPanel(panel) || panels_[panel].text == text) return;
  panels_[panel].text = text;
  panels_[panel].line.reset();
  update(StatusPanelRect(Widths(), panel, height()));
}

// A wider or narrower panel moves the panels to its right: the bar is
// repainted from it to where the last panel ended before or ends now, not
// the empty rest of the bar.
void TStatusBar::SetPanelWidth(int panel, int width) {
  if (!HasPanel(panel) || panels_[panel].width == width) return;
  const int endBefore = sizeHint().width();
  panels_[panel].width = width;
  const int left = StatusPanelRect(Widths(), panel, height()).left();
  update(QRect(left, 0, std::max(0, std::max(endBefore, sizeHint().width()) - left), height()));
}

// A text with a line break or a tab is measured as it is, not as the one
// line it is drawn as.
int TStatusBar::TextWidth(const QString& text) const {
  if (text.isEmpty() || OneLine(text) != text) return fontMetrics().horizontalAdvance(text);
  for (int i = 0; i < PanelCount(); ++i) {
    if (panels_[i].text != text) continue;
    return qRound(Line(i).Advance());
  }
  return fontMetrics().horizontalAdvance(text);
}

const TShapedLine& TStatusBar::Line(int panel) const {
  const TPanel& p = panels_[panel];
  const QFont shown(font(), this);
  if (p.line && p.font == shown && p.direction == layoutDirection()) return *p.line;
  p.font = shown;
  p.direction = layoutDirection();
  p.line = glyphs_.Shape(OneLine(p.text), shown, p.direction);
  return *p.line;
}

// What drawText does for a left-aligned, vertically centred single line,
// without shaping the text again for every paint.
void TStatusBar::DrawText(QPainter& painter, const QRect& inside, int panel) const {
  if (panels_[panel].text.isEmpty()) return;
  const TShapedLine& line = Line(panel);
  const QRectF box(inside);
  const qreal height = line.Ascent() + line.Descent();
  const qreal top = box.y() + (box.height() - height) / 2;
  const bool clip = !box.contains(QRectF(box.x(), top, line.NaturalWidth(), height));
  painter.save();
  if (clip) painter.setClipRect(box, Qt::IntersectClip);
  line.Draw(painter, QPointF(box.x(), top));
  painter.restore();
}

QString TStatusBar::PanelText(int panel) const {
  return HasPanel(panel) ? panels_[panel].text : QString();
}

int TStatusBar::PanelWidth(int panel) const { return HasPanel(panel) ? panels_[panel].width : 0; }

QSize TStatusBar::sizeHint() const {
  const std::vector<int> widths = Widths();
  if (widths.empty()) return QSize(0, BAR_HEIGHT);
  return QSize(StatusPanelRect(widths, PanelCount() - 1, BAR_HEIGHT).right() + 1, BAR_HEIGHT);
}

std::vector<int> TStatusBar::Widths() const {
  std::vector<int> widths;
  widths.reserve(panels_.size());
  for (const TPanel& p : panels_) widths.push_back(p.width);
  return widths;
}

void TStatusBar::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const std::vector<int> widths = Widths();
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect box = StatusPanelRect(widths, i, height());
    if (box.left() >= width()) break;
    if (box.width() == 0 || !box.intersects(event->rect())) continue;
    qDrawShadePanel(&painter, box, palette(), true, 1);
    const QRect inside = box.adjusted(TEXT_MARGIN, 1, -TEXT_MARGIN, -1);
    painter.setPen(palette().color(QPalette::WindowText));
    DrawText(painter, inside, i);
  }
}

}  // namespace doz
