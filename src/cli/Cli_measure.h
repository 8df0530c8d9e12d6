// doz-cli measure --port COMn|DEVICE [--band N] [--unit-average] [-o FILE.DTA]
// [--export FILE.txt] [--force] [--compare REF.DTA ...]: one sweep of the
// unit through the window's measurement session, written as a measurement
// file and, when asked, checked against a reference.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Cli_sweep.h"

namespace doz::cli {

// args: the arguments after the verb. Stops on SIGINT and SIGTERM; a progress
// bar when standard error is a terminal.
int RunMeasure(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunMeasureWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TMeasureEnv& env);

// Where --port leads: the line, the folder COMn is looked up in, and the
// COM number the measurement file records.
struct TPortChoice {
  TLineAddress address;
  std::string portsDir;
  int fileComNumber = 1;
};
TPortChoice ChoosePort(const std::string& port, const TMeasureEnv& env);

// "COMn" (any case) with n in 1..256 gives n.
std::optional<int> ComNumberOf(const std::string& port);
// The COM number whose device is this one (a ports/comN link to it included);
// 1 when none is.
int ComNumberOfDevice(const std::string& appDir, const std::string& device);
// "2024/05/06 07:08:09" gives "20240506-070809.DTA".
std::string DefaultMeasureName(const std::string& dateTime);

}  // namespace doz::cli
