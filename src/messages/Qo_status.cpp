#include "Qo_status.h"

#include "Status_panels.h"

namespace doz {

namespace {
constexpr int UNIT_PANEL = 0;
constexpr int STATE_PANEL = 1;
}  // namespace

int StatusPanelWidth(int textWidth) { return textWidth > 100 ? textWidth + 20 : 110; }

TQo_Status::TQo_Status(TStatusPanels& statusBar, const QString& name, int lastPanel)
    : statusBar_(statusBar), name_(name), lastPanel_(lastPanel) {}

void TQo_Status::SetPanelText(const QString& text, int panel) {
  if (panel < 0 || panel > lastPanel_ || panel >= statusBar_.PanelCount()) return;
  statusBar_.SetPanelText(panel, text);
  statusBar_.SetPanelWidth(panel, StatusPanelWidth(statusBar_.TextWidth(text)));
}

void TQo_Status::ClearPanel(int panel) { SetPanelText(QString(), panel); }

void TQo_Status::ShowUnitInfo(const QString& model, const QString& serial,
                              const QString& version) {
  SetPanelText(model + QStringLiteral("/ SN=") + serial + QStringLiteral("/ ") + version,
               UNIT_PANEL);
}

void TQo_Status::ShowUnitNotFound() {
  SetPanelText(name_ + QStringLiteral(" が見つかりませんでした"), UNIT_PANEL);
}

void TQo_Status::ShowModelNotFound() {
  SetPanelText(QStringLiteral("Ru-Z, Du-D2 が見つかりませんでした"), UNIT_PANEL);
}

void TQo_Status::ShowPortOpenError() {
  SetPanelText(QStringLiteral("通信ポートが開けません"), UNIT_PANEL);
}

void TQo_Status::ShowReceiveError() {
  SetPanelText(QStringLiteral("データ受信エラーです"), UNIT_PANEL);
}

void TQo_Status::ShowCommandSendError() {
  SetPanelText(QStringLiteral("コマンド送信エラーです"), STATE_PANEL);
}

void TQo_Status::ShowResponseError() {
  SetPanelText(name_ + QStringLiteral(" 応答エラーです"), STATE_PANEL);
}

void TQo_Status::ShowNotCalibrated() {
  SetPanelText(name_ + QStringLiteral(" 未校正です"), STATE_PANEL);
}

void TQo_Status::ShowMeasuring() { SetPanelText(QStringLiteral("測定中です"), STATE_PANEL); }

void TQo_Status::ShowReceiving() {
  SetPanelText(QStringLiteral("データ受信中です"), STATE_PANEL);
}

void TQo_Status::ShowCalculating() { SetPanelText(QStringLiteral("計算中です"), STATE_PANEL); }

void TQo_Status::ShowMeasureFinished() {
  SetPanelText(QStringLiteral("測定終了しました"), STATE_PANEL);
}

void TQo_Status::ShowCalcError() {
  SetPanelText(QStringLiteral("データエラーで計算できませんでした"), STATE_PANEL);
}

void TQo_Status::ShowMeasureStopped() {
  SetPanelText(QStringLiteral("測定中止しました"), STATE_PANEL);
}

void TQo_Status::ShowStartError() {
  SetPanelText(QStringLiteral("測定開始できませんでした"), STATE_PANEL);
}

void TQo_Status::ShowSaveError() {
  SetPanelText(QStringLiteral("データ保存できませんでした"), STATE_PANEL);
}

void TQo_Status::ShowExportDone() {
  SetPanelText(QStringLiteral("データ書き出し完了"), STATE_PANEL);
}

}  // namespace doz
