// The version window: one picture with the name and version; a click
// anywhere closes it.
#pragma once

#include <QPolygon>
#include <QRect>

#include "Fixed_dialog.h"

namespace doz {

// The picture's impedance curve: |Z| of a resistor with a parallel capacitor
// over a logarithmic frequency axis, falling from the top left of `box` to
// its bottom right; `points` of them, at least 2.
QPolygon VersionCurve(const QRect& box, int points);

class TFormVersion : public TFixedDialog {
  Q_OBJECT
 public:
  explicit TFormVersion(QWidget* parent = nullptr);

  void FormClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace doz
