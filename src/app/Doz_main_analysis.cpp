// The analysis menu: the non-modal analysis window beside the main window.
#include <QScreen>
#include <algorithm>

#include "Analysis_window.h"
#include "Doz_main.h"

namespace doz {
namespace {

// To the right of the main window, pushed back onto the screen where it
// would leave it.
void PlaceBeside(QWidget& window, const QWidget& main) {
  if (!main.screen()) return;
  const QRect room = main.screen()->availableGeometry();
  const QRect frame = main.frameGeometry();
  const QSize size = window.frameGeometry().size();
  const int x = std::max(room.left(), std::min(frame.right() + 1, room.right() + 1 - size.width()));
  const int y = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - size.height()));
  window.move(x, y);
}

}  // namespace

TFormAnalysis& TFormMain::mAnalysisWindow() {
  if (!FormAnalysis) {
    FormAnalysis = new TFormAnalysis(*this);
    PlaceBeside(*FormAnalysis, *this);
  }
  return *FormAnalysis;
}

void TFormMain::MenuAnalysis_WindowClick() {
  TFormAnalysis& window = mAnalysisWindow();
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace doz
