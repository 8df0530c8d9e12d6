// The station menu: the non-modal station window beside the main window.
#include "Doz_main.h"
#include "Station_window.h"

namespace doz {

TFormStation& TFormMain::mStationWindow() {
  if (!FormStation) FormStation = new TFormStation(*this);
  return *FormStation;
}

void TFormMain::MenuStation_ModeClick() {
  TFormStation& window = mStationWindow();
  window.show();
  window.raise();
  window.activateWindow();
}

void TFormMain::mMeasurementSaved(const std::string& path) {
  FileName = path;
  DataSaved = 1;
  ShowCaption(path);
}

}  // namespace doz
