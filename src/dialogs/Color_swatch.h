// A small clickable colour field: filled with its colour, outlined in black.
#pragma once

#include <QColor>
#include <QWidget>

namespace doz {

class TColorSwatch : public QWidget {
  Q_OBJECT
 public:
  TColorSwatch(int width, int height, QWidget* parent);

  void SetColor(const QColor& color);
  QColor Color() const { return color_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor color_ = Qt::white;
  bool pressed_ = false;
};

}  // namespace doz
