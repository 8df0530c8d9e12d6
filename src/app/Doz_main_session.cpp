// The measurement session as the window runs it: the start and stop button,
// one acquisition step per idle pass, and what the session reports turned
// into status texts, boxes, the caption and the drawing. The steps of a sweep
// themselves are TMeasureSession's.
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Idle_pump.h"
#include "Point_text.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Status_bar.h"

namespace doz {
namespace {

const QString kStartCaption = QStringLiteral("測定開始");
const QString kStopCaption = QStringLiteral("測定停止");

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

TSweepRequest TFormMain::SweepRequest() const {
  return {TLineAddress{SettingRec.CommPortNum, {}}, ComboBox2->currentIndex() + 1,
          Menu_Set_aveM->isChecked()};
}

void TFormMain::mStartMeasure() {
  if (HasUnsavedMeasurement() && !QoMessage->ConfirmDiscardAndStart()) return;
  mDisableControls();
  MStartBtn->setText(kStopCaption);
  if (Session.StartMeasure(SweepRequest())) {
    mSelectCurveSets();  // the sweep's points go to the sets shown
    Graph->Clear();
    Graph->DrawScales();
    SweepPulse->start();
  } else {
    mEnableControls();
    MStartBtn->setText(kStartCaption);
  }
}

bool TFormMain::mBeginMeasure() { return Session.BeginMeasure(SweepRequest()); }
void TFormMain::mReceiveData() { Session.ReceiveData(); }
void TFormMain::mFinishMeasure() { Session.FinishMeasure(); }
void TFormMain::mStopMeasure() { Session.StopMeasure(); }
void TFormMain::Timer1Timer() { Session.Timer1Timer(); }
void TFormMain::mStartWatchdog(int ms) { Session.StartWatchdog(ms); }
void TFormMain::mStopWatchdog() { Session.StopWatchdog(); }

// A start clears the state panel first, so what it holds when the start
// fails is the reason; it stays beside the start error.
void TFormMain::Status(TStatusText text) {
  emit SessionStatus(text);
  if (text == TStatusText::StartError)
    return QoStatus->ShowStartError(StatusBar1->PanelText(StatusPanel(text)));
  QoStatus->ShowSessionStatus(text, UnitSerial, UnitVersion);
}

void TFormMain::Message(TMessageText text) { QoMessage->Show(text); }

void TFormMain::MeasurementReset() {
  FileName.clear();
  ShowCaption(FileName);
  emit AnalysedDataChanged();
}

// The first point draws nothing; a point that widened the limits redraws the
// sweep so far, any other draws its one segment.
void TFormMain::PointAccepted(int slot, int n, bool widened) {
  if (measCorrected_) CorrectPoint(slot, n, widened);
  QoStatus->SetPanelText(ReadoutOf(slot), 2);
  if (widened) {
    Graph->Clear();
    Graph->DrawMeasurementUpTo(n);
  } else if (n > 0) {
    Graph->DrawMeasurementSegment(slot);
  }
  idlePump_->RunAgain();  // a backlog is taken at the speed of drawing
}

// A sweep stopped keeps the points it received as the measurement.
void TFormMain::SweepEnded(TSweepEnding ending) {
  emit SweepOver(ending);
  lastEnding_ = ending;
  if (ending != TSweepEnding::Complete && !Session.fFinishPending())
    compensationSweep_ = TCompensationSweep::None;
  SweepPulse->stop();
  MStartBtn->setText(kStartCaption);
  mEnableControls();
  idlePump_->RunAgain();
  emit AnalysedDataChanged();
}

void TFormMain::MeasurementFinished() {
  if (compensationSweep_ != TCompensationSweep::None) KeepCompensationSweep();
  AnyReferenceLoaded() ? mShowAll() : mShowMeasured();
  const int points = Session.Sweep().PointCount;
  QoStatus->SetPanelText(QString::fromStdString(BandReadoutText(MeasData, points)), 2);
}

}  // namespace doz
