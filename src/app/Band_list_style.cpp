#include "Band_list_style.h"

#include <QStyleFactory>
#include <QStyleOptionComplex>

namespace doz {

// A base style of its own: the proxy owns it, and the application's style
// stays untouched.
TBandListStyle::TBandListStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QRect TBandListStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                     SubControl part, const QWidget* widget) const {
  if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
    return QProxyStyle::subControlRect(control, option, part, widget);
  const QRect inner = option->rect.adjusted(kFrame, kFrame, -kFrame, -kFrame);
  const QRect arrow(inner.right() - kArrow + 1, inner.top(), kArrow, inner.height());
  if (part == SC_ComboBoxArrow) return arrow;
  return QRect(inner.left(), inner.top(), arrow.left() - inner.left(), inner.height());
}

}  // namespace doz
