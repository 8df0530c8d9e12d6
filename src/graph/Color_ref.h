// The one place where the settings' 0x00BBGGRR colour values meet Qt colours.
#pragma once

#include <QColor>

#include "Doz_setting.h"

namespace doz {

QColor ColorFromRef(TColorRef ref);
// The colour's red, green and blue in the settings' byte order; alpha is dropped.
TColorRef RefFromColor(const QColor& color);

}  // namespace doz
