// The window's icon: the installed desktop icon (desktop/doz.svg) drawn with
// the same strokes, so no image plug-in is needed.
#pragma once

#include <QIcon>

namespace doz {

QIcon AppIcon();

}  // namespace doz
