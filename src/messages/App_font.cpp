#include "App_font.h"

#include <QStringList>

namespace doz {

QFont AppFont() {
  QFont font;
  // The second family also keeps Japanese readable where fontconfig would
  // otherwise pick a Latin-only face for the missing first one.
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  font.setPixelSize(12);
  return font;
}

}  // namespace doz
