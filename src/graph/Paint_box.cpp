#include "Paint_box.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace doz {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted here; skip the background erase.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::ShowImage(const QImage* image) {
  image_ = image;
  update();
}

void TPaintBox::ShowImage(const QImage* image, const QRegion& changed) {
  image_ = image;
  update(changed.translated(1, 1));
}

void TPaintBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const QSizeF size = image_ ? image_->deviceIndependentSize() : QSizeF();
  const bool covered = image_ && size.width() >= inner.width() && size.height() >= inner.height();
  if (!covered) painter.fillRect(rect(), Qt::white);
  // Only the parts that need repainting are copied: a new point of a sweep
  // repaints a few small boxes, not the whole picture. The image's own
  // pixels are those of the screen.
  if (image_) {
    const qreal ratio = image_->devicePixelRatio();
    for (const QRect& part : event->region()) {
      const QRect target = inner.intersected(part);
      if (target.isEmpty()) continue;
      const QRectF source = QRectF(target.translated(-1, -1));
      painter.drawImage(QRectF(target), *image_,
                        QRectF(source.topLeft() * ratio, source.size() * ratio));
    }
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftPressed_ = true;
  const QPoint p = event->position().toPoint();
  if (OnMouseDown) OnMouseDown(p.x(), p.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool click = leftPressed_ && rect().contains(event->position().toPoint());
  leftPressed_ = false;
  if (click && OnClick) OnClick();
}

}  // namespace doz
