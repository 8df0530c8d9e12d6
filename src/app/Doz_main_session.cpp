// The measurement session: start and stop, one acquisition step per idle
// pass, the no-data watchdog, and finishing a sweep.
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "Clock.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Idle_pump.h"
#include "Point_text.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Serialport.h"

namespace doz {
namespace {

const QString kStartCaption = QStringLiteral("測定開始");
const QString kStopCaption = QStringLiteral("測定停止");
constexpr int kWatchdogMs = 60000;

}  // namespace

void TFormMain::MStartBtnClick() {
  MStartBtn->setEnabled(false);
  if (MStartBtn->text() == kStartCaption) {
    mStartMeasure();
  } else {
    mStopMeasure();
    mEnableControls();
    MStartBtn->setText(kStartCaption);
  }
  MStartBtn->setEnabled(true);
}

void TFormMain::MenuMeasure_StartClick() {
  MStartBtn->setEnabled(false);
  mStartMeasure();
  MStartBtn->setEnabled(true);
}

void TFormMain::mStartMeasure() {
  if (HasUnsavedMeasurement() && !QoMessage->ConfirmDiscardAndStart()) return;
  mDisableControls();
  MStartBtn->setText(kStopCaption);
  QoStatus->ClearPanel(1);
  QoStatus->ClearPanel(2);
  if (mBeginMeasure()) {
    Graph->Clear();
    Graph->DrawScales();
    QoStatus->ShowMeasuring();
  } else {
    QoStatus->ShowStartError();
    mEnableControls();
    MStartBtn->setText(kStartCaption);
  }
}

bool TFormMain::mBeginMeasure() {
  if (!SerialPort) return false;
  if (!mOpenCOM(SettingRec.CommPortNum)) {
    QoStatus->ShowPortOpenError();
    QoMessage->ComPortOpenError();
    return false;
  }
  if (!mCheckUnit()) {
    mCloseCOM();
    QoStatus->ShowUnitNotFound();
    QoMessage->UnitNotFoundError();
    return false;
  }
  if (!mGetUnitInfo()) {
    mCloseCOM();
    Protocol.fSession = false;
    return false;
  }
  Protocol.fSession = true;
  QoStatus->ShowUnitInfo("Do-Z", QString::fromStdString(UnitSerial),
                         QString::fromStdString(UnitVersion));
  const int band = ComboBox2->currentIndex() + 1;
  InitGraphRange(GraphRange, band);
  Sweep.Begin(band, platform::NowDateTimeText(), MeasData, MeasCalc, MeasAve);
  FileName.clear();
  ShowCaption(FileName);
  switch (Protocol.StartSweep(Menu_Set_aveM->isChecked(), band)) {
    case TStartResult::Ok:
      break;
    case TStartResult::CommandSendError:
      QoStatus->ShowCommandSendError();
      return false;
    case TStartResult::Refused:
      return false;
    case TStartResult::CountMismatch:
      QoMessage->VersionMismatchError();
      return false;
  }
  fReceiving = 1;
  SweepPulse->start();
  mStartWatchdog(kWatchdogMs);
  QoStatus->ShowReceiving();
  return true;
}

void TFormMain::mReceiveData() {
  if (fNoData) {
    fNoData = 0;
    ReceiveErrorEnding();
    return;
  }
  if (Sweep.Read(*SerialPort) > 0) mStartWatchdog(kWatchdogMs);
  switch (Sweep.Take(MeasData)) {
    case TStepResult::Waiting:
      return;
    case TStepResult::EndOk:
      EndMarkCheck(true);
      return;
    case TStepResult::EndBad:
      EndMarkCheck(false);
      return;
    case TStepResult::FramingError:
      mStopWatchdog();
      ReceiveErrorEnding();
      return;
    case TStepResult::Point:
      break;
  }
  const int slot = Sweep.CurrentSlot();
  ShowPointReadout(MeasData.Data[slot].data());
  if (!MakeCalcPoint(&MeasData, &MeasCalc, slot, &MeasAve)) {
    mStopWatchdog();
    ReceiveErrorEnding();
    return;
  }
  DrawAcceptedPoint();
  Sweep.Accept();
  idlePump_->RunAgain();  // a backlog is taken at the speed of drawing
}

void TFormMain::ShowPointReadout(const char* record) {
  QoStatus->SetPanelText(QString::fromStdString(PointReadoutText(record)), 2);
}

// The first point draws nothing; a point outside the resistance limits widens
// them and redraws the sweep so far.
void TFormMain::DrawAcceptedPoint() {
  if (Sweep.PointCount == 0) return;
  const double r = MeasCalc.R[Sweep.CurrentSlot()];
  if (r > GraphRange.MaxR) {
    GraphRange.MaxR = r;
  } else if (r < GraphRange.MinR) {
    GraphRange.MinR = r;
  } else {
    Graph->DrawMeasurementSegment(Sweep.CurrentSlot());
    return;
  }
  Graph->Clear();
  Graph->DrawMeasurementUpTo(Sweep.PointCount);
}

void TFormMain::EndMarkCheck(bool endOk) {
  mStopWatchdog();
  fReceiving = 0;
  SweepPulse->stop();
  if (endOk) {
    QoStatus->ShowCalculating();
  } else {
    QoStatus->ShowReceiveError();
  }
  fFinishPending = 1;
  mReleaseCOM();
  MStartBtn->setText(kStartCaption);
  mEnableControls();
  idlePump_->RunAgain();
}

void TFormMain::ReceiveErrorEnding() {
  mReleaseCOM();
  fReceiving = 0;
  SweepPulse->stop();
  QoStatus->ShowReceiveError();
  MStartBtn->setText(kStartCaption);
  mEnableControls();
  if (Sweep.PointCount > 0) {
    fFinishPending = 1;
    idlePump_->RunAgain();
  }
}

void TFormMain::mFinishMeasure() {
  if (!MakeCalcData(&MeasData, &MeasCalc, &MeasAve)) {
    QoStatus->ShowCalcError();
    MeasData.Present = 0;
    return;
  }
  MeasData.Present = 1;
  DataSaved = 0;
  AnyReferenceLoaded() ? mShowAll() : mShowMeasured();
  const int band = MeasData.Band;
  QoStatus->SetPanelText(
      QStringLiteral("周波数：") + mFormatFrequency(MeasData.Data[BandFirstIndex(band)].data()) +
          "..." + mFormatFrequency(MeasData.Data[BandLastIndex(band)].data()),
      2);
  QoStatus->ShowMeasureFinished();
}

void TFormMain::mStopMeasure() {
  if (!SerialPort || !Protocol.fSession) return;
  mStopWatchdog();
  if (Sweep.PointCount > 0) {
    MeasData.Present = 1;
    // The received points stay drawable by every later redraw; the slots no
    // point reached hold no value. They are a new, unsaved measurement: a
    // later open, start or quit asks before throwing them away.
    MeasCalc.Valid = 1;
    MeasAve.Valid = 1;
    DataSaved = 0;
  }
  Protocol.StopMeasure();
  fReceiving = 0;
  SweepPulse->stop();
  QoStatus->ShowMeasureStopped();
}

void TFormMain::Timer1Timer() {
  Timer1->stop();
  fNoData = 1;
}

void TFormMain::mStartWatchdog(int ms) {
  Timer1->stop();
  Timer1->setInterval(ms);
  fNoData = 0;
  Timer1->start();
}

void TFormMain::mStopWatchdog() { Timer1->stop(); }

}  // namespace doz
