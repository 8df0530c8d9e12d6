#include "Cli_sweep.h"

#include <unistd.h>

#include <iostream>

#include "Cli_panels.h"
#include "Cli_progress.h"
#include "Cli_prompter.h"
#include "Cli_stderr.h"
#include "Cli_sweep_report.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Serialport.h"

namespace doz::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

}  // namespace

TInterruptGuard::TInterruptGuard() {
  gInterrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigaction(SIGINT, &action, &oldInt_);
  sigaction(SIGTERM, &action, &oldTerm_);
}

TInterruptGuard::~TInterruptGuard() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
}

const volatile std::sig_atomic_t* TInterruptGuard::Interrupted() { return &gInterrupted; }

TMeasureEnv ShellMeasureEnv(std::ostream& err) {
  TMeasureEnv env;
  env.terminal = &err == &std::cerr && isatty(StderrDescriptor());
  env.interrupted = TInterruptGuard::Interrupted();
  return env;
}

TMeasurement::TMeasurement() {
  ClearRawData(raw);
  ClearCalcData(calc);
  ClearCalcData(ave);
}

// The window's services on standard error, and the session they serve.
struct TCliSweep::TParts {
  TParts(TMeasurement& m, std::ostream& err, bool terminal)
      : progress(err, terminal),
        line([this, &err](const std::string& text) {
          progress.EndLine();
          err << text << "\n" << std::flush;
        }),
        panels(line),
        prompter(line),
        status(panels, "Do-Z", 2),
        message("Do-Z", "Do-Z v1.1", prompter),
        report(status, message, progress, m.serial, m.version, m.raw),
        session(m.Data(), report) {}

  TProgress progress;
  TLineSink line;
  TCliPanels panels;
  TCliPrompter prompter;
  TQo_Status status;
  TQo_Message message;
  TCliSweepReport report;
  TSerialPort port;
  TMeasureSession session;
};

TCliSweep::TCliSweep(TMeasurement& m, std::ostream& err, const TMeasureEnv& env)
    : parts_(std::make_unique<TParts>(m, err, env.terminal)), env_(env), m_(m) {}

TCliSweep::~TCliSweep() = default;

TSweepOutcome TCliSweep::Run(const TSweepRequest& request, const std::string& portsDir) {
  TParts& p = *parts_;
  const auto interrupted = [this] { return env_.interrupted && *env_.interrupted; };
  p.port.SetPortsDirectory(portsDir);
  p.session.SetLine(&p.port);
  if (!p.session.StartMeasure(request))
    return interrupted() ? TSweepOutcome::Interrupted : TSweepOutcome::Failed;
  p.progress.Start(p.session.Sweep().PointTotal);
  while (p.session.fReceiving()) {
    if (interrupted()) {
      p.session.StopMeasure();
      return TSweepOutcome::Interrupted;
    }
    p.session.ReceiveData();
  }
  p.progress.EndLine();
  if (interrupted()) return TSweepOutcome::Interrupted;
  if (!p.session.fFinishPending()) return TSweepOutcome::Failed;
  p.session.FinishMeasure();
  return m_.raw.Present == 1 ? TSweepOutcome::Finished : TSweepOutcome::Failed;
}

bool TCliSweep::ReceiveFailed() const { return parts_->report.ReceiveFailed(); }

const station::TSweepFailure& TCliSweep::Failure() const { return parts_->report.Failure(); }

TQo_Status& TCliSweep::Status() { return parts_->status; }

}  // namespace doz::cli
