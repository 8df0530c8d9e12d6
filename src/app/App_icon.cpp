#include "App_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace doz {

QIcon AppIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);
  p.setPen(QPen(QColor(0xc0, 0xc0, 0xc0), 1));
  p.drawLine(8, 32, 56, 32);
  p.drawLine(22, 8, 22, 56);
  p.drawLine(40, 8, 40, 56);
  QPainterPath r(QPointF(8, 46));
  r.cubicTo(16, 46, 18, 44, 21, 30);
  r.cubicTo(23, 20, 24, 20, 26, 34);
  r.cubicTo(28, 46, 34, 47, 42, 46);
  r.cubicTo(50, 45, 53, 36, 56, 14);
  QPainterPath theta(QPointF(8, 26));
  theta.cubicTo(14, 22, 18, 18, 22, 26);
  theta.cubicTo(25, 34, 26, 40, 32, 36);
  theta.cubicTo(40, 30, 48, 20, 56, 18);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::blue, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(r);
  p.setPen(QPen(Qt::red, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(theta);
  return QIcon(pixmap);
}

}  // namespace doz
