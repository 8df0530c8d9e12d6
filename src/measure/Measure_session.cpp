#include "Measure_session.h"

namespace doz {

TMeasureSession::TMeasureSession(TSessionData data, TSessionReport& report,
                                 const platform::TClockSource& clock)
    : data_(data), report_(report), clock_(clock), timer1_(clock) {}

bool TMeasureSession::StartMeasure(const TSweepRequest& request) {
  report_.Status(TStatusText::EmptyState);
  report_.Status(TStatusText::EmptyReadout);
  if (!BeginMeasure(request)) {
    report_.Status(TStatusText::StartError);
    return false;
  }
  report_.Status(TStatusText::Measuring);
  return true;
}

bool TMeasureSession::BeginMeasure(const TSweepRequest& request) {
  if (!protocol_.Line()) return false;
  if (!protocol_.OpenCOM(request.port)) {
    report_.Status(TStatusText::PortOpenError);
    report_.Message(TMessageText::ComPortOpenError);
    return false;
  }
  if (!protocol_.CheckUnit()) {
    protocol_.CloseCOM();
    report_.Status(TStatusText::UnitNotFound);
    report_.Message(TMessageText::UnitNotFoundError);
    return false;
  }
  if (!GetUnitInfo()) {
    protocol_.CloseCOM();
    return false;
  }
  report_.Status(TStatusText::UnitInfo);
  InitGraphRange(data_.GraphRange, request.band);
  sweep_.Begin(request.band, clock_.DateTimeText(), data_.MeasData, data_.MeasCalc, data_.MeasAve);
  report_.MeasurementReset();
  if (!StartCommands(request.unitAverage, request.band)) return false;
  receiving_ = true;
  finishPending_ = false;
  StartWatchdog(kWatchdogMs);
  report_.Status(TStatusText::Receiving);
  return true;
}

bool TMeasureSession::GetUnitInfo() {
  switch (protocol_.GetUnitInfo(data_.UnitVersion, data_.UnitSerial)) {
    case TUnitCheck::Ok:
      return true;
    case TUnitCheck::NotOpen:
      return false;
    case TUnitCheck::ResponseError:
      report_.Status(TStatusText::ResponseError);
      return false;
    case TUnitCheck::ModelNotFound:
      report_.Status(TStatusText::ModelNotFound);
      return false;
    case TUnitCheck::NotCalibrated:
      report_.Status(TStatusText::NotCalibrated);
      return false;
  }
  return false;
}

bool TMeasureSession::StartCommands(bool unitAverage, int band) {
  switch (protocol_.StartSweep(unitAverage, band)) {
    case TStartResult::Ok:
      return true;
    case TStartResult::CommandSendError:
      report_.Status(TStatusText::CommandSendError);
      return false;
    case TStartResult::Refused:
      return false;
    case TStartResult::CountMismatch:
      report_.Message(TMessageText::VersionMismatchError);
      return false;
  }
  return false;
}

void TMeasureSession::ReceiveData() {
  if (!receiving_) return;
  if (timer1_.Expired()) Timer1Timer();
  if (noData_) {
    noData_ = false;
    ReceiveErrorEnding(TSweepEnding::NoData);
    return;
  }
  const TLineTransfer got = sweep_.Read(*protocol_.Line());
  if (got.count > 0) StartWatchdog(kWatchdogMs);
  TakePoint(got.Broken());
}

// A record that came in before the line broke is still taken; then a broken
// line ends the sweep at once rather than after a minute of silence.
void TMeasureSession::TakePoint(bool lineBroken) {
  switch (sweep_.Take(data_.MeasData)) {
    case TStepResult::EndOk:
      EndMarkCheck(true);
      return;
    case TStepResult::EndBad:
      EndMarkCheck(false);
      return;
    case TStepResult::FramingError:
      ReceiveErrorEnding(TSweepEnding::FramingError);
      return;
    case TStepResult::Point:
      AcceptPoint();
      break;
    case TStepResult::Waiting:
      break;
  }
  if (lineBroken && receiving_) ReceiveErrorEnding(TSweepEnding::LineBroken);
}

// The point's values; the first point never widens the scale, a later one
// outside the resistance limits widens them.
void TMeasureSession::AcceptPoint() {
  const int slot = sweep_.CurrentSlot();
  if (!MakeCalcPoint(&data_.MeasData, &data_.MeasCalc, slot, &data_.MeasAve)) {
    ReceiveErrorEnding(TSweepEnding::DecodeError);
    return;
  }
  const int n = sweep_.PointCount;
  bool widened = false;
  if (n > 0) {
    TGraphRange& range = data_.GraphRange;
    const double r = data_.MeasCalc.R[slot];
    if (r > range.MaxR) {
      range.MaxR = r;
      widened = true;
    } else if (r < range.MinR) {
      range.MinR = r;
      widened = true;
    }
  }
  report_.PointAccepted(slot, n, widened);
  sweep_.Accept();
}

void TMeasureSession::ReceiveErrorEnding(TSweepEnding ending) {
  StopWatchdog();
  ReleaseCOM();
  receiving_ = false;
  report_.Status(TStatusText::ReceiveError);
  report_.SweepEnded(ending);
  if (sweep_.PointCount > 0) finishPending_ = true;
}

void TMeasureSession::EndMarkCheck(bool endOk) {
  StopWatchdog();
  receiving_ = false;
  report_.Status(endOk ? TStatusText::Calculating : TStatusText::ReceiveError);
  finishPending_ = true;
  ReleaseCOM();
  report_.SweepEnded(endOk ? TSweepEnding::Complete : TSweepEnding::BadEndMark);
}

void TMeasureSession::FinishMeasure() {
  finishPending_ = false;
  if (!MakeCalcData(&data_.MeasData, &data_.MeasCalc, &data_.MeasAve)) {
    report_.Status(TStatusText::CalcError);
    data_.MeasData.Present = 0;
    return;
  }
  data_.MeasData.Present = 1;
  data_.DataSaved = 0;
  report_.MeasurementFinished();
  report_.Status(TStatusText::MeasureFinished);
}

void TMeasureSession::StopMeasure() {
  if (!protocol_.Line() || !protocol_.fSession()) return;
  StopWatchdog();
  if (sweep_.PointCount > 0) {
    data_.MeasData.Present = 1;
    // The received points stay drawable by every later redraw; the slots no
    // point reached hold no value. They are a new, unsaved measurement: a
    // later open, start or quit asks before throwing them away.
    data_.MeasCalc.Valid = 1;
    data_.MeasAve.Valid = 1;
    data_.DataSaved = 0;
  }
  protocol_.StopMeasure();
  const bool wasReceiving = receiving_;
  receiving_ = false;
  report_.Status(TStatusText::MeasureStopped);
  if (wasReceiving) report_.SweepEnded(TSweepEnding::Stopped);
}

void TMeasureSession::ReleaseCOM() {
  if (protocol_.Line()) protocol_.ReleaseCOM();
}

void TMeasureSession::PortChanged() {
  if (!receiving_) protocol_.CloseCOM();
}

void TMeasureSession::Timer1Timer() {
  timer1_.Stop();
  noData_ = true;
}

void TMeasureSession::StartWatchdog(int ms) {
  timer1_.Start(ms);
  noData_ = false;
}

void TMeasureSession::StopWatchdog() { timer1_.Stop(); }

}  // namespace doz
