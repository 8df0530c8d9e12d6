// Commands that run a dialog: printing and its set-up, the COM port, the
// curve colours and the version window.
#include <QPrinter>
#include <new>

#include "Doz_main.h"
#include "Doz_print.h"
#include "Doz_printinfo.h"
#include "Graph_rtf.h"
#include "Printer_setup.h"
#include "Prompter.h"
#include "Qo_message.h"
#include "Setcolor.h"
#include "Setting.h"
#include "Version.h"

namespace doz {

QPrinter& TFormMain::ThePrinter() {
  if (!Printer) Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *Printer;
}

// The printer, paper and orientation the next print uses.
void TFormMain::MenuFile_PrintSetupClick() {
  FormPrinterSetup->Prepare(TPrinterChoice::Of(ThePrinter()));
  if (prompter_->RunModal(*FormPrinterSetup) == QDialog::Accepted)
    FormPrinterSetup->Choice().ApplyTo(ThePrinter());
  activateWindow();
}

void TFormMain::MenuFile_PrintClick() {
  if (!MeasData.Present) {
    QoMessage->NoDataError();
    return;
  }
  FormPrnInfo->Prepare(SettingRec.pstr);
  const int answer = prompter_->RunModal(*FormPrnInfo);
  activateWindow();
  if (answer != QDialog::Accepted) return;
  SettingRec.pstr = FormPrnInfo->Texts();
  if (!prompter_->PrintDialog(this, ThePrinter())) return;
  std::unique_ptr<TDoZ_Print> print;
  try {
    if (beforeCreate_) beforeCreate_("TDoZ_Print");
    print = std::make_unique<TDoZ_Print>(*Graph, ThePrinter(), SettingRec, Graph->Labels());
  } catch (const std::exception&) {
    QoMessage->FatalMemoryError("TDoZ_Print");
    close();
    return;
  }
  // A job that cannot be printed must not look as if it had been.
  if (Compensating()) print->SetNote(QStringLiteral("補正あり"));
  if (!print->Print(SettingRec.fronly, AnyReferenceLoaded())) QoMessage->PrintError();
}

void TFormMain::MenuSet_COMClick() {
  FormSetting->Prepare(SettingRec.CommPortNum, appDir_);
  const int answer = prompter_->RunModal(*FormSetting);
  activateWindow();
  if (answer != QDialog::Accepted || FormSetting->Port() == SettingRec.CommPortNum) return;
  SettingRec.CommPortNum = FormSetting->Port();
  // An open port is reused by the next start whatever its number: one left
  // open by a refused start must not keep the unit the user moved away from.
  Session.PortChanged();
}

void TFormMain::MenuSet_ColorClick() {
  FormSetColor->Prepare(SettingRec);
  if (prompter_->RunModal(*FormSetColor) != QDialog::Accepted) return;
  FormSetColor->Colors().ApplyTo(SettingRec);
  mSetLabelColors();
  RedrawCurrent();
}

void TFormMain::MenuHelp_VersionClick() {
  prompter_->RunModal(*FormVersion);
  activateWindow();
}

}  // namespace doz
