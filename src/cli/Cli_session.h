// One sweep without a window: the main window's measurement session, step
// for step and text for text, on the unit protocol and the sweep receiver.
// Status texts and message boxes go wherever the services given write them.
#pragma once

#include <chrono>
#include <string>

#include "Doz_setting.h"
#include "Serialport.h"
#include "Sweep_receiver.h"
#include "Unit_protocol.h"

namespace doz {
class TQo_Message;
class TQo_Status;
}  // namespace doz

namespace doz::cli {

// Where the unit is: COM number n (looked up in portsDir as the window does)
// when comNumber > 0, else the device path.
struct TPortChoice {
  int comNumber = 0;
  std::string device;
  std::string portsDir;
};

class TCliSession {
 public:
  static constexpr int kWatchdogMs = 60000;

  TCliSession(TQo_Status& status, TQo_Message& message, int watchdogMs = kWatchdogMs);

  // Opens the port, finds and checks the unit and starts the sweep; a
  // failure ends with the start-failure text.
  bool Start(const TPortChoice& port, int band, bool unitAverage);
  // One acquisition step: reads up to one record's bytes, takes at most one
  // point; waits at most the 100 ms of the start commands.
  void Step();
  // "ME" as the stop button sends it; the points so far stay.
  void Stop();
  // Decodes and smooths the sweep once it has ended with points.
  bool Finish();

  bool Receiving() const { return fReceiving; }
  bool FinishPending() const { return fFinishPending; }
  // The stream failed (no data, framing, decoding, end mark other than "OK").
  bool ReceiveFailed() const { return receiveFailed_; }
  int PointCount() const { return Sweep.PointCount; }
  int PointTotal() const { return Sweep.PointTotal; }

  TRawData MeasData;
  TCalcData MeasCalc;
  TCalcData MeasAve;
  std::string UnitSerial;
  std::string UnitVersion;

 private:
  using TClock = std::chrono::steady_clock;

  bool BeginMeasure(const TPortChoice& port, int band, bool unitAverage);
  bool OpenPort(const TPortChoice& port);
  bool CheckUnitInfo();
  bool StartCommands(bool unitAverage, int band);
  void ReceiveErrorEnding();
  void EndMarkCheck(bool endOk);

  TQo_Status& status_;
  TQo_Message& message_;
  TClock::duration watchdog_;
  TClock::time_point lastBytes_;
  TSerialPort port_;
  TUnitProtocol Protocol;
  TSweepReceiver Sweep;
  bool fReceiving = false;
  bool fFinishPending = false;
  bool receiveFailed_ = false;
};

}  // namespace doz::cli
