#include "Color_ref.h"

namespace doz {

QColor ColorFromRef(TColorRef ref) {
  return QColor(static_cast<int>(ref & 0xFFu), static_cast<int>((ref >> 8) & 0xFFu),
                static_cast<int>((ref >> 16) & 0xFFu));
}

TColorRef RefFromColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<TColorRef>(rgb.red()) | (static_cast<TColorRef>(rgb.green()) << 8) |
         (static_cast<TColorRef>(rgb.blue()) << 16);
}

}  // namespace doz
