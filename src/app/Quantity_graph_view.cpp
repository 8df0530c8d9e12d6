#include "Quantity_graph_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "App_font.h"

namespace doz {
namespace {

// A press and release closer than this is a click, farther a rectangle.
constexpr int kDragPixels = 4;
// One notch of the wheel (120 eighths of a degree) zooms in by this much.
constexpr double kNotchFactor = 0.8;

bool IsDrag(const QPoint& from, const QPoint& to) {
  return std::abs(to.x() - from.x()) >= kDragPixels && std::abs(to.y() - from.y()) >= kDragPixels;
}

}  // namespace

TQuantityGraphView::TQuantityGraphView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setCursor(Qt::CrossCursor);
}

void TQuantityGraphView::SetData(const TQuantityInput& input, TQuantity quantity,
                                 const TSettingData& setting, int markedSlot) {
  graph_.SetData(input, quantity, setting);
  graph_.SetMarkedSlot(markedSlot);
  update();
}

TQuantityStyle TQuantityGraphView::Style() const { return {AppFont(), 1.0}; }

QRect TQuantityGraphView::PlotRect() const {
  return TQuantityGraph::PlotRect(rect(), Style(), this);
}

void TQuantityGraphView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  graph_.Paint(painter, rect(), Style());
  if (pressedAt_ && IsDrag(*pressedAt_, dragTo_)) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(*pressedAt_, dragTo_).normalized());
  }
}

void TQuantityGraphView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressedAt_ = event->position().toPoint();
  dragTo_ = *pressedAt_;
}

void TQuantityGraphView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressedAt_) return;
  dragTo_ = event->position().toPoint();
  update();
}

void TQuantityGraphView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressedAt_) return;
  const QPoint from = *pressedAt_;
  const QPoint to = event->position().toPoint();
  pressedAt_.reset();
  const QRect plot = PlotRect();
  if (plot.isEmpty()) return;
  if (IsDrag(from, to)) {
    graph_.ZoomTo(TQuantityGraph::ToFractions(from, plot), TQuantityGraph::ToFractions(to, plot),
                  plot.size());
    update();
    return;
  }
  const int slot = graph_.NearestMeasured(to, plot);
  if (slot >= 0 && OnPointPicked) OnPointPicked(slot);
}

void TQuantityGraphView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  graph_.ShowWhole();
  update();
}

// Over the plot both axes zoom, left of it the value axis, below it the
// frequency axis; the value under the wheel keeps its place.
void TQuantityGraphView::wheelEvent(QWheelEvent* event) {
  const QRect plot = PlotRect();
  const int notches = event->angleDelta().y();
  if (plot.isEmpty() || notches == 0) return;
  const QPointF at = event->position();
  const bool overX = at.x() >= plot.left();
  const bool overY = at.y() <= plot.bottom();
  if (!overX && !overY) return;
  const double factor = std::pow(kNotchFactor, notches / 120.0);
  graph_.ZoomAbout(TQuantityGraph::ToFractions(at, plot), factor, overX, overY, plot.size());
  update();
  event->accept();
}

}  // namespace doz
