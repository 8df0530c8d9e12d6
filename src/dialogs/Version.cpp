#include "Version.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace doz {

namespace {
constexpr int CLIENT_WIDTH = 290;
constexpr int CLIENT_HEIGHT = 170;
// Picture of the curve: four decades with the corner frequency in the second.
constexpr double DECADES = 4.0;
constexpr double CORNER_DECADE = 1.5;

// |Z| / R of R parallel to C at x decades above the start, in 0..1.
double RelativeImpedance(double decade) {
  const double ratio = std::pow(10.0, decade - CORNER_DECADE);
  return 1.0 / std::sqrt(1.0 + ratio * ratio);
}
}  // namespace

QPolygon VersionCurve(const QRect& box, int points) {
  points = std::max(points, 2);
  const double lowest = std::log10(RelativeImpedance(DECADES));
  QPolygon curve;
  for (int i = 0; i < points; ++i) {
    const double along = static_cast<double>(i) / (points - 1);
    // Logarithmic |Z| axis: 0 at the top, `lowest` at the bottom.
    const double down = std::log10(RelativeImpedance(along * DECADES)) / lowest;
    curve << QPoint(box.left() + static_cast<int>(along * (box.width() - 1)),
                    box.top() + static_cast<int>(down * (box.height() - 1)));
  }
  return curve;
}

TFormVersion::TFormVersion(QWidget* parent) : TFixedDialog(QStringLiteral("Do-Z"), parent) {
  setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
  setCursor(Qt::PointingHandCursor);
}

void TFormVersion::FormClick() { Confirm(); }

void TFormVersion::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FormClick();
}

void TFormVersion::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, CLIENT_HEIGHT);
  sky.setColorAt(0.0, QColor(0x1f, 0x3a, 0x68));
  sky.setColorAt(1.0, QColor(0x0b, 0x14, 0x26));
  painter.fillRect(rect(), sky);

  const QRect plot(150, 30, 120, 80);
  painter.setPen(QPen(QColor(0x5a, 0x6e, 0x8c), 1));
  painter.drawRect(plot);
  painter.setPen(QPen(QColor(0x4f, 0xc3, 0xf7), 2));
  painter.drawPolyline(VersionCurve(plot.adjusted(2, 2, -2, -2), 60));

  QFont name = font();
  name.setPixelSize(40);
  name.setBold(true);
  painter.setFont(name);
  painter.setPen(Qt::white);
  painter.drawText(QRect(16, 30, 130, 50), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Do-Z"));
  QFont version = font();
  version.setPixelSize(16);
  painter.setFont(version);
  painter.drawText(QRect(18, 80, 120, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("v1.1"));
  painter.setFont(font());
  painter.setPen(QColor(0xc8, 0xd2, 0xe0));
  painter.drawText(QRect(16, 130, 258, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("インピーダンス測定  Ru-Z / Du-D2"));
}

}  // namespace doz
