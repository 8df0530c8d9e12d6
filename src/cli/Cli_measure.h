// doz-cli measure --port COMn|DEVICE [--band N] [--unit-average] [-o FILE.DTA]
// [--export FILE.txt] [--force] [--compare REF.DTA ...]: one sweep of the
// unit through the window's measurement session, written as a measurement
// file and, when asked, checked against a reference.
#pragma once

#include <csignal>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// Exit code of a sweep stopped by Ctrl-C.
constexpr int EXIT_INTERRUPTED = 130;

// What the command takes from its surroundings.
struct TMeasureEnv {
  std::string appDir;  // holds ports/comN; empty: the program's own folder
  bool terminal = false;  // a progress bar instead of progress lines
  // Set by Ctrl-C: the sweep stops as with the stop button.
  const volatile std::sig_atomic_t* interrupted = nullptr;
};

// args: the arguments after the verb. Stops on SIGINT and SIGTERM; a progress
// bar when standard error is a terminal.
int RunMeasure(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunMeasureWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TMeasureEnv& env);

// "COMn" (any case) with n in 1..256 gives n.
std::optional<int> ComNumberOf(const std::string& port);
// The COM number whose device is this one (a ports/comN link to it included);
// 1 when none is.
int ComNumberOfDevice(const std::string& appDir, const std::string& device);
// "2024/05/06 07:08:09" gives "20240506-070809.DTA".
std::string DefaultMeasureName(const std::string& dateTime);

}  // namespace doz::cli
