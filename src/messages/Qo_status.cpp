#include "Qo_status.h"

#include "Status_panels.h"

namespace doz {

int StatusPanelWidth(int textWidth) { return textWidth > 100 ? textWidth + 20 : 110; }

TQo_Status::TQo_Status(TStatusPanels& statusBar, const QString& name, int lastPanel)
    : statusBar_(statusBar), name_(name), lastPanel_(lastPanel) {}

void TQo_Status::SetPanelText(const QString& text, int panel) {
  if (panel < 0 || panel > lastPanel_ || panel >= statusBar_.PanelCount()) return;
  statusBar_.SetPanelText(panel, text);
  statusBar_.SetPanelWidth(panel, StatusPanelWidth(statusBar_.TextWidth(text)));
}

void TQo_Status::ClearPanel(int panel) { SetPanelText(QString(), panel); }

void TQo_Status::Show(TStatusText text) {
  SetPanelText(QString::fromStdString(StatusText(text, name_.toStdString())), StatusPanel(text));
}

void TQo_Status::ShowSessionStatus(TStatusText text, const std::string& serial,
                                   const std::string& version) {
  if (text != TStatusText::UnitInfo) return Show(text);
  ShowUnitInfo(name_, QString::fromStdString(serial), QString::fromStdString(version));
}

void TQo_Status::ShowUnitInfo(const QString& model, const QString& serial,
                              const QString& version) {
  SetPanelText(QString::fromStdString(
                   UnitInfoText(model.toStdString(), serial.toStdString(), version.toStdString())),
               StatusPanel(TStatusText::UnitInfo));
}

void TQo_Status::ShowUnitNotFound() { Show(TStatusText::UnitNotFound); }
void TQo_Status::ShowModelNotFound() { Show(TStatusText::ModelNotFound); }
void TQo_Status::ShowPortOpenError() { Show(TStatusText::PortOpenError); }
void TQo_Status::ShowReceiveError() { Show(TStatusText::ReceiveError); }
void TQo_Status::ShowCommandSendError() { Show(TStatusText::CommandSendError); }
void TQo_Status::ShowResponseError() { Show(TStatusText::ResponseError); }
void TQo_Status::ShowNotCalibrated() { Show(TStatusText::NotCalibrated); }
void TQo_Status::ShowMeasuring() { Show(TStatusText::Measuring); }
void TQo_Status::ShowReceiving() { Show(TStatusText::Receiving); }
void TQo_Status::ShowCalculating() { Show(TStatusText::Calculating); }
void TQo_Status::ShowMeasureFinished() { Show(TStatusText::MeasureFinished); }
void TQo_Status::ShowCalcError() { Show(TStatusText::CalcError); }
void TQo_Status::ShowMeasureStopped() { Show(TStatusText::MeasureStopped); }
void TQo_Status::ShowStartError() { Show(TStatusText::StartError); }
void TQo_Status::ShowStartError(const QString& reason) {
  if (reason.isEmpty()) return ShowStartError();
  const std::string startError = StatusText(TStatusText::StartError, name_.toStdString());
  SetPanelText(reason + QStringLiteral(" / ") + QString::fromStdString(startError),
               StatusPanel(TStatusText::StartError));
}

void TQo_Status::ShowSaveError() { Show(TStatusText::SaveError); }
void TQo_Status::ShowExportDone() { Show(TStatusText::ExportDone); }

}  // namespace doz
