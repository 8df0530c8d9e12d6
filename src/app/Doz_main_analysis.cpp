// The analysis menu: the non-modal analysis window beside the main window.
#include <QScreen>

#include "Analysis_window.h"
#include "Doz_main.h"

namespace doz {

TFormAnalysis& TFormMain::mAnalysisWindow() {
  if (!FormAnalysis) {
    FormAnalysis = new TFormAnalysis(*this);
    // Beside the main window when the screen has room for it there.
    const QRect frame = frameGeometry();
    const QPoint place(frame.right() + 1, frame.top());
    if (screen() &&
        screen()->availableGeometry().contains(QRect(place, FormAnalysis->frameGeometry().size())))
      FormAnalysis->move(place);
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
