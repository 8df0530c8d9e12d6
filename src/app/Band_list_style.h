// The look of the band selector: the toolkit's own, with a narrow drop-down
// arrow, so that every band label shows whole in the list's 105 pixels at the
// window's 12-pixel font.
#pragma once

#include <QProxyStyle>

namespace doz {

class TBandListStyle : public QProxyStyle {
  Q_OBJECT
 public:
  // Frame and arrow widths in pixels.
  static constexpr int kFrame = 1;
  static constexpr int kArrow = 8;

  TBandListStyle();

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl part, const QWidget* widget) const override;
};

}  // namespace doz
