// The application font: the face the window was designed with, or the IPA
// proportional Gothic that stands in for it on Debian, 12 pixels high.
#pragma once

#include <QFont>

namespace doz {

QFont AppFont();

}  // namespace doz
