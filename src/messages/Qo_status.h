// The status service: the catalogue's texts on their panels, each panel
// sized to its text.
#pragma once

#include <QString>
#include <string>

#include "Text_catalogue.h"

namespace doz {

class TStatusPanels;

// Width of a panel for a text of that many pixels: the text plus 20 when it
// is wider than 100 pixels, else 110 (an empty panel included).
int StatusPanelWidth(int textWidth);

class TQo_Status {
 public:
  // lastPanel: highest panel index that may be written (the window passes 2).
  TQo_Status(TStatusPanels& statusBar, const QString& name, int lastPanel);

  // Writes the text and sizes the panel (StatusPanelWidth of the text's
  // width in the panels' font). A panel above lastPanel, or one the panels
  // do not have, is ignored.
  void SetPanelText(const QString& text, int panel);
  void ClearPanel(int panel);
  // A catalogue text on its own panel (the unit's identity: ShowUnitInfo).
  void Show(TStatusText text);
  // A text the measurement session names: its unit line is the unit's
  // serial number and version, under this service's name as the model.
  void ShowSessionStatus(TStatusText text, const std::string& serial, const std::string& version);

  void ShowUnitInfo(const QString& model, const QString& serial, const QString& version);
  void ShowUnitNotFound();
  void ShowModelNotFound();
  void ShowPortOpenError();
  void ShowReceiveError();
  void ShowCommandSendError();
  void ShowResponseError();
  void ShowNotCalibrated();
  void ShowMeasuring();
  void ShowReceiving();
  void ShowCalculating();
  void ShowMeasureFinished();
  void ShowCalcError();
  void ShowMeasureStopped();
  void ShowStartError();
  // The start error after the reason a failed start gave on the same panel
  // (empty: none), both kept: reason " / " start error.
  void ShowStartError(const QString& reason);
  void ShowSaveError();
  void ShowExportDone();

 private:
  TStatusPanels& statusBar_;
  QString name_;
  int lastPanel_;
};

}  // namespace doz
