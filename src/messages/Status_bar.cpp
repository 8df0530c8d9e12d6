#include "Status_bar.h"

#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <qdrawutil.h>

namespace doz {

namespace {
constexpr int BAR_HEIGHT = 20;
constexpr int TEXT_MARGIN = 3;
}  // namespace

QRect StatusPanelRect(const std::vector<int>& widths, int panel, int height) {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += std::max(0, widths[i]);
  return QRect(left, 0, std::max(0, widths[panel]), height);
}

TStatusBar::TStatusBar(int panels, int initialWidth, QWidget* parent)
    : QWidget(parent), panels_(std::max(0, panels), TPanel{QString(), initialWidth}) {}

int TStatusBar::PanelCount() const { return static_cast<int>(panels_.size()); }

bool TStatusBar::HasPanel(int panel) const { return panel >= 0 && panel < PanelCount(); }

void TStatusBar::SetPanelText(int panel, const QString& text) {
  if (!HasPanel(panel) || panels_[panel].text == text) return;
  panels_[panel].text = text;
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

int TStatusBar::TextWidth(const QString& text) const {
  return fontMetrics().horizontalAdvance(text);
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
    // drawText clips to the rectangle it is given.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     panels_[i].text);
  }
}

}  // namespace doz
