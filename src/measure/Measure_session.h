// One measurement of the unit, from the start to a finished measurement: the
// steps of a sweep in their order with every failure, one acquisition step at
// a time, the no-data watchdog, stop and release. Its owner (the main window,
// or doz-cli) hands it the data it works on and a report to tell; time comes
// from a clock that tests replace.
#pragma once

#include <string>

#include "Clock.h"
#include "Doz_setting.h"
#include "Serial_line.h"
#include "Session_report.h"
#include "Sweep_receiver.h"
#include "Unit_protocol.h"
#include "Watchdog.h"

namespace doz {

// The owner's data a measurement works on.
struct TSessionData {
  TRawData& MeasData;
  TCalcData& MeasCalc;
  TCalcData& MeasAve;
  TGraphRange& GraphRange;
  std::string& UnitSerial;
  std::string& UnitVersion;
  std::uint8_t& DataSaved;
};

// What a start asks for: where the unit is, the band, averaging in the unit.
struct TSweepRequest {
  TLineAddress port;
  int band = 1;
  bool unitAverage = false;
};

class TMeasureSession {
 public:
  static constexpr int kWatchdogMs = 60000;

  TMeasureSession(TSessionData data, TSessionReport& report,
                  const platform::TClockSource& clock = platform::SystemClock());

  // The line the unit is on; null: no port driver (a start then fails).
  void SetLine(TSerialLine* line) { protocol_.SetLine(line); }

  // A start the user has agreed to: the state and read-out panels cleared,
  // the begin, then "測定中です" or the start failure. True when a sweep runs.
  bool StartMeasure(const TSweepRequest& request);
  // Port, finding and checking the unit, the emptied measurement, the start
  // commands; every failure with its texts.
  bool BeginMeasure(const TSweepRequest& request);
  // The unit's identity, version, serial number and calibration, with the
  // status text of a failure.
  bool GetUnitInfo();
  // One acquisition step: waits at most 100 ms, takes at most one point.
  void ReceiveData();
  // Decodes, smooths and shows the sweep that ended with points.
  void FinishMeasure();
  // The user's stop: "ME" with its retries; the points so far stay.
  void StopMeasure();
  // Ends the session without waiting for the unit.
  void ReleaseCOM();
  // Another port has been chosen: a port a refused start left open is
  // closed, so that the next start opens the chosen one. Nothing while a
  // sweep runs.
  void PortChanged();
  // The watchdog has fired: the next step ends the sweep.
  void Timer1Timer();
  void StartWatchdog(int ms);
  void StopWatchdog();

  bool fReceiving() const { return receiving_; }
  bool fNoData() const { return noData_; }
  bool fFinishPending() const { return finishPending_; }
  const TWatchdog& Timer1() const { return timer1_; }
  const TSweepReceiver& Sweep() const { return sweep_; }
  TUnitProtocol& Protocol() { return protocol_; }
  const TUnitProtocol& Protocol() const { return protocol_; }

 private:
  bool StartCommands(bool unitAverage, int band);
  void TakePoint(bool lineBroken);
  void AcceptPoint();
  void ReceiveErrorEnding(TSweepEnding ending);
  void EndMarkCheck(bool endOk);

  TSessionData data_;
  TSessionReport& report_;
  const platform::TClockSource& clock_;
  TUnitProtocol protocol_;
  TSweepReceiver sweep_;
  TWatchdog timer1_;
  bool receiving_ = false;
  bool noData_ = false;
  bool finishPending_ = false;
};

}  // namespace doz
