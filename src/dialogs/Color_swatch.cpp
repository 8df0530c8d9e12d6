#include "Color_swatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace doz {

TColorSwatch::TColorSwatch(int width, int height, QWidget* parent) : QWidget(parent) {
  setFixedSize(width, height);
  setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(color_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

// A click is a left press and release both on the swatch.
void TColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) emit clicked();
}

}  // namespace doz
