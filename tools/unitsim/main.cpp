// doz-unitsim: the measuring unit, simulated on a pseudo-terminal.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Doz_version.h"
#include "Command_trace.h"
#include "Line_pacer.h"
#include "Pty_server.h"
#include "Simulated_unit.h"
#include "Unitsim_options.h"

namespace {

constexpr std::uint32_t kLineRate = 9600;

volatile sig_atomic_t gStop = 0;

void OnStopSignal(int) { gStop = 1; }

// SIGTERM and SIGINT are held back except while the server waits, so a stop
// request can never slip in between its check and the wait.
sigset_t HoldStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
  sigset_t stops, previous;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  sigprocmask(SIG_BLOCK, &stops, &previous);
  sigdelset(&previous, SIGTERM);
  sigdelset(&previous, SIGINT);
  return previous;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace doz::unitsim;
  TUnitsimOptions options;
  std::string error;
  if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
    std::fprintf(stderr, "doz-unitsim: %s\n", error.c_str());
    return 2;
  }
  if (options.Help) {
    std::fputs(TUnitsimOptions::HelpText().c_str(), stdout);
    return 0;
  }
  if (options.ShowVersion) {
    std::printf("doz-unitsim %s\n", doz::kDozVersion);
    return 0;
  }
  const sigset_t waitMask = HoldStopSignals();
  TSimulatedUnit unit(options);
  TCommandTrace trace;
  if (!options.Trace.empty()) {
    if (!trace.Open(options.Trace)) {
      std::fprintf(stderr, "doz-unitsim: cannot write the trace %s\n", options.Trace.c_str());
      return 1;
    }
    unit.OnCommand = [&trace](const std::string& command) { trace.Write(command); };
  }
  const auto burst = options.Fast ? std::chrono::milliseconds::zero() : std::chrono::milliseconds(options.BurstMs);
  TLinePacer pacer(options.Fast ? 0 : kLineRate, burst);
  TPtyServer server(unit, pacer);
  if (!server.Open(options.Link, error)) {
    std::fprintf(stderr, "doz-unitsim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", server.DevicePath().c_str());
  std::fflush(stdout);
  server.Run(gStop, waitMask);
  return 0;
}
