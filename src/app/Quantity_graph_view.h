// The quantity graph on screen: paints it in the window's font and zooms as
// plotting programs do. The wheel over an axis zooms that axis, over the
// plot both; a rectangle dragged with the left button becomes the plot; a
// double click shows the whole band again. A click picks the measured point
// nearest to it.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "Quantity_graph.h"

namespace doz {

class TQuantityGraphView : public QWidget {
  Q_OBJECT

 public:
  explicit TQuantityGraphView(QWidget* parent = nullptr);

  // New curves, quantity or mark, painted at the next repaint.
  void SetData(const TQuantityInput& input, TQuantity quantity, const TSettingData& setting,
               int markedSlot);
  const TQuantityGraph& Graph() const { return graph_; }
  // Where the plot lies in the widget.
  QRect PlotRect() const;

  // The slot of the measured point a click picked.
  std::function<void(int slot)> OnPointPicked;

  QSize sizeHint() const override { return {480, 360}; }
  QSize minimumSizeHint() const override { return {320, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  TQuantityStyle Style() const;

  TQuantityGraph graph_;
  std::optional<QPoint> pressedAt_;  // the left button is down since there
  QPoint dragTo_;
};

}  // namespace doz
