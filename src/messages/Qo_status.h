// The one catalogue of the status bar's fixed texts.
#pragma once

#include <QString>

namespace doz {

class TStatusPanels;

class TQo_Status {
 public:
  // lastPanel: highest panel index that may be written (the window passes 2).
  TQo_Status(TStatusPanels& statusBar, const QString& name, int lastPanel);

  // Writes the text and sizes the panel: text width + 20 when wider than
  // 100 pixels, else 110. A panel above lastPanel is ignored.
  void SetPanelText(const QString& text, int panel);
  void ClearPanel(int panel);

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
  void ShowSaveError();
  void ShowExportDone();

 private:
  TStatusPanels& statusBar_;
  QString name_;
  int lastPanel_;
};

}  // namespace doz
