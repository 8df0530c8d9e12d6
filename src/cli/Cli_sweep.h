// One sweep of the unit from the command line, as the verbs that measure
// (measure, inspect) run it: through the window's measurement session, with
// the window's status texts and messages as lines on standard error, the
// progress of the points, and Ctrl-C as the stop button.
#pragma once

#include <csignal>
#include <memory>
#include <ostream>
#include <string>

#include "Doz_setting.h"
#include "Measure_session.h"

namespace doz {
class TQo_Status;
}  // namespace doz

namespace doz::station {
class TSweepFailure;
}  // namespace doz::station

namespace doz::cli {

// Exit code of a sweep stopped by Ctrl-C.
constexpr int EXIT_INTERRUPTED = 130;

// What a measuring command takes from its surroundings.
struct TMeasureEnv {
  std::string appDir;     // holds ports/comN; empty: the program's own folder
  bool terminal = false;  // a progress bar instead of progress lines
  // Set by Ctrl-C: the sweep stops as with the stop button.
  const volatile std::sig_atomic_t* interrupted = nullptr;
};

// Ctrl-C and SIGTERM set Interrupted() for as long as the guard lives.
class TInterruptGuard {
 public:
  TInterruptGuard();
  ~TInterruptGuard();
  TInterruptGuard(const TInterruptGuard&) = delete;
  TInterruptGuard& operator=(const TInterruptGuard&) = delete;

  static const volatile std::sig_atomic_t* Interrupted();

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// The environment of a command run from a shell: the interrupt flag, and a
// bar when standard error is a terminal.
TMeasureEnv ShellMeasureEnv(std::ostream& err);

// What a sweep works on.
struct TMeasurement {
  TRawData raw;
  TCalcData calc;
  TCalcData ave;
  TGraphRange range;
  std::string serial;
  std::string version;
  std::uint8_t saved = 0;

  TMeasurement();
  TSessionData Data() { return {raw, calc, ave, range, serial, version, saved}; }
};

enum class TSweepOutcome {
  Finished,     // decoded and smoothed (the stream may still have failed: ReceiveFailed)
  Failed,       // no measurement: the start, the stream or the decoding failed
  Interrupted,  // Ctrl-C stopped it
};

class TCliSweep {
 public:
  TCliSweep(TMeasurement& m, std::ostream& err, const TMeasureEnv& env);
  ~TCliSweep();

  // port: the unit's line; portsDir: where COMn is looked up.
  TSweepOutcome Run(const TSweepRequest& request, const std::string& portsDir);
  // The stream failed: no data, a broken record or line, a wrong end mark.
  bool ReceiveFailed() const;
  // The texts that told why the sweep failed.
  const station::TSweepFailure& Failure() const;
  // The status texts after the sweep (the saves' texts).
  TQo_Status& Status();

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
  const TMeasureEnv& env_;
  TMeasurement& m_;
};

}  // namespace doz::cli
