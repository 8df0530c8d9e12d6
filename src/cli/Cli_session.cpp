#include "Cli_session.h"

#include <thread>

#include "Clock.h"
#include "Point_text.h"
#include "Qo_message.h"
#include "Qo_status.h"

namespace doz::cli {
namespace {

constexpr auto kStepWait = std::chrono::milliseconds(100);

}  // namespace

TCliSession::TCliSession(TQo_Status& status, TQo_Message& message, int watchdogMs)
    : status_(status), message_(message), watchdog_(std::chrono::milliseconds(watchdogMs)) {
  Protocol.SetPort(&port_);
  ClearRawData(MeasData);
  ClearCalcData(MeasCalc);
  ClearCalcData(MeasAve);
}

bool TCliSession::Start(const TPortChoice& port, int band, bool unitAverage) {
  status_.ClearPanel(1);
  status_.ClearPanel(2);
  if (!BeginMeasure(port, band, unitAverage)) {
    status_.ShowStartError();
    return false;
  }
  status_.ShowMeasuring();
  return true;
}

bool TCliSession::OpenPort(const TPortChoice& port) {
  if (port.comNumber <= 0) return Protocol.OpenDevice(port.device);
  port_.SetPortsDirectory(port.portsDir);
  return Protocol.OpenCOM(port.comNumber);
}

bool TCliSession::CheckUnitInfo() {
  const TUnitCheck check = Protocol.GetUnitInfo(UnitVersion, UnitSerial);
  if (check == TUnitCheck::ResponseError) status_.ShowResponseError();
  if (check == TUnitCheck::ModelNotFound) status_.ShowModelNotFound();
  if (check == TUnitCheck::NotCalibrated) status_.ShowNotCalibrated();
  return check == TUnitCheck::Ok;
}

bool TCliSession::StartCommands(bool unitAverage, int band) {
  const TStartResult result = Protocol.StartSweep(unitAverage, band);
  if (result == TStartResult::CommandSendError) status_.ShowCommandSendError();
  if (result == TStartResult::CountMismatch) message_.VersionMismatchError();
  return result == TStartResult::Ok;
}

// The window's begin, in its order: port, finding, checking, the reset
// measurement, the start commands.
bool TCliSession::BeginMeasure(const TPortChoice& port, int band, bool unitAverage) {
  if (!OpenPort(port)) {
    status_.ShowPortOpenError();
    message_.ComPortOpenError();
    return false;
  }
  if (!Protocol.CheckUnit()) {
    Protocol.CloseCOM();
    status_.ShowUnitNotFound();
    message_.UnitNotFoundError();
    return false;
  }
  if (!CheckUnitInfo()) {
    Protocol.CloseCOM();
    Protocol.fSession = false;
    return false;
  }
  Protocol.fSession = true;
  status_.ShowUnitInfo("Do-Z", QString::fromStdString(UnitSerial),
                       QString::fromStdString(UnitVersion));
  Sweep.Begin(band, platform::NowDateTimeText(), MeasData, MeasCalc, MeasAve);
  if (!StartCommands(unitAverage, band)) return false;
  fReceiving = true;
  lastBytes_ = TClock::now();
  status_.ShowReceiving();
  return true;
}

void TCliSession::Step() {
  if (!fReceiving) return;
  if (TClock::now() - lastBytes_ >= watchdog_) {
    ReceiveErrorEnding();
    return;
  }
  const TClock::time_point began = TClock::now();
  if (Sweep.Read(port_) > 0) {
    lastBytes_ = TClock::now();
  } else {
    // A port whose device has gone answers at once: keep the pace of a step
    // that waited for its bytes instead of spinning until the watchdog.
    std::this_thread::sleep_until(began + kStepWait);
  }
  const TStepResult step = Sweep.Take(MeasData);
  if (step == TStepResult::Waiting) return;
  if (step == TStepResult::EndOk || step == TStepResult::EndBad) {
    EndMarkCheck(step == TStepResult::EndOk);
    return;
  }
  if (step == TStepResult::FramingError ||
      !MakeCalcPoint(&MeasData, &MeasCalc, Sweep.CurrentSlot(), &MeasAve)) {
    ReceiveErrorEnding();
    return;
  }
  Sweep.Accept();
}

void TCliSession::ReceiveErrorEnding() {
  Protocol.ReleaseCOM();
  fReceiving = false;
  receiveFailed_ = true;
  status_.ShowReceiveError();
  if (Sweep.PointCount > 0) fFinishPending = true;
}

void TCliSession::EndMarkCheck(bool endOk) {
  fReceiving = false;
  if (endOk) {
    status_.ShowCalculating();
  } else {
    receiveFailed_ = true;
    status_.ShowReceiveError();
  }
  fFinishPending = true;
  Protocol.ReleaseCOM();
}

void TCliSession::Stop() {
  if (!Protocol.fSession) return;
  if (Sweep.PointCount > 0) MeasData.Present = 1;
  Protocol.StopMeasure();
  fReceiving = false;
  status_.ShowMeasureStopped();
}

bool TCliSession::Finish() {
  fFinishPending = false;
  if (!MakeCalcData(&MeasData, &MeasCalc, &MeasAve)) {
    status_.ShowCalcError();
    MeasData.Present = 0;
    return false;
  }
  MeasData.Present = 1;
  const int band = MeasData.Band;
  status_.SetPanelText(
      QString::fromStdString(
          "周波数：" + FormatFrequencyText(MeasData.Data[BandFirstIndex(band)].data()) + "..." +
          FormatFrequencyText(MeasData.Data[BandLastIndex(band)].data())),
      2);
  status_.ShowMeasureFinished();
  return true;
}

}  // namespace doz::cli
