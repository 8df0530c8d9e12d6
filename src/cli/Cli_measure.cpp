#include "Cli_measure.h"

#include <sys/stat.h>

#include <cctype>
#include <memory>

#include "App_dir.h"
#include "Cli_args.h"
#include "Cli_compare.h"
#include "Cli_measurement.h"
#include "Clock.h"
#include "Com_ports.h"
#include "Doz_file.h"
#include "Qo_status.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli measure --port COMn|DEVICE [--band N] [--unit-average] [-o FILE.DTA]\n"
    "                       [--export FILE.txt] [--force]\n"
    "                       [--compare REFERENCE.DTA [--tolerance PERCENT]\n"
    "                        [--phase-tolerance DEGREES]]\n"
    "Runs one sweep of the unit as the application's start button does and writes\n"
    "it as a measurement file. The status texts and messages of the application go\n"
    "to standard error, with the progress of the sweep: a bar on a terminal, else a\n"
    "line for every tenth of the points. The files written are named on standard\n"
    "output.\n"
    "  --port COMn|DEVICE  COM port n (ports/comN beside the program, else\n"
    "                      /dev/ttyS, ttyUSB, ttyACM, as the application finds it)\n"
    "                      or a device path, such as a /dev/serial/by-id name; the\n"
    "                      file records n, or the number whose device that path\n"
    "                      is, else 1\n"
    "  --band N            band 1 to 10 as in the band list (default 1, 10Hz-100kHz)\n"
    "  --unit-average      averaging inside the unit during the sweep\n"
    "  -o FILE.DTA         output file (default: the start time in the current\n"
    "                      folder, YYYYMMDD-hhmmss.DTA)\n"
    "  --export FILE.txt   also write the smoothed values as a text table\n"
    "  --force             overwrite existing files\n"
    "  --compare REF.DTA   then check the smoothed measurement against a reference\n"
    "                      as 'doz-cli compare' does, with its tolerances:\n"
    "  --tolerance PERCENT        allowed |Z| deviation (default 5)\n"
    "  --phase-tolerance DEGREES  allowed phase deviation (default 5)\n"
    "  --open FILE.DTA, --short FILE.DTA  the export and the comparison (and its\n"
    "                      reference) of values corrected for the test leads, as\n"
    "                      'doz-cli analyze' takes them; FILE.DTA keeps the\n"
    "                      unit's records as they came\n"
    "A sweep that fails after some points still writes them. Ctrl-C stops the\n"
    "sweep (the unit is told to stop and the port released) and writes nothing.\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 130 stopped by Ctrl-C; with\n"
    "--compare, once the sweep is written: 0 every point within, 1 any outside,\n"
    "2 no point in common with the reference.\n";

// The same file, or the same device under another name.
bool SameFile(const struct stat& a, const struct stat& b) {
  if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) return a.st_rdev == b.st_rdev;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

struct TMeasureArgs {
  TSweepRequest request;
  std::string portsDir;  // where COMn is looked up
  int fileComNumber = 1;
  std::string output;
  std::string exportPath;
  std::string reference;  // --compare
  analysis::TTolerance tolerance;
  analysis::TLeadCompensation leads;
};

std::string ReadBand(const TCliArgs& parsed, int& band) {
  if (!parsed.Has("--band")) return {};
  const std::string text = parsed.Value("--band");
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos ||
      !IsValidBand(std::stoi(text)))
    return "--band takes a band from 1 to 10";
  band = std::stoi(text);
  return {};
}

// Usage problems as a reason; empty when the arguments are good.
std::string ReadArgs(const TCliArgs& parsed, const TMeasureEnv& env, TMeasureArgs& a) {
  if (!parsed.Has("--port")) return "missing --port";
  if (std::string reason = ReadBand(parsed, a.request.band); !reason.empty()) return reason;
  const TPortChoice port = ChoosePort(parsed.Value("--port"), env);
  a.request.port = port.address;
  a.portsDir = port.portsDir;
  a.fileComNumber = port.fileComNumber;
  a.request.unitAverage = parsed.Has("--unit-average");
  a.output =
      parsed.Has("-o") ? parsed.Value("-o") : DefaultMeasureName(platform::NowDateTimeText());
  a.exportPath = parsed.Value("--export");
  a.reference = parsed.Value("--compare");
  std::string reason;
  if (const auto tolerance = TolerancesOf(parsed, reason)) a.tolerance = *tolerance;
  if (a.reference.empty() && (parsed.Has("--tolerance") || parsed.Has("--phase-tolerance")))
    return "--tolerance and --phase-tolerance go with --compare";
  return reason;
}

bool RefuseOverwrite(const TMeasureArgs& a, bool force, std::ostream& err) {
  if (force) return false;
  for (const std::string& path : {a.output, a.exportPath}) {
    if (path.empty() || !PathTaken(path)) continue;
    err << "doz-cli measure: " << path << " exists (use --force to overwrite)\n";
    return true;
  }
  return false;
}

// Writes the finished sweep as the save and export commands do: the unit's
// records as they came, the export of the values corrected for the leads.
bool WriteFiles(TMeasurement& m, const TMeasureArgs& a, TQo_Status& status, std::ostream& out,
                std::ostream& err) {
  TSettingData setting;
  setting.CommPortNum = a.fileComNumber;
  const TDoZ_File file;
  if (!file.WriteDataFile(a.output, m.serial, &setting, &m.raw)) {
    status.ShowSaveError();
    return false;
  }
  out << a.output << "\n";
  if (!a.leads.Empty()) {
    if (a.leads.Covers(m.calc, m.raw.Band) != analysis::TCompensationFault::None) {
      err << a.output << ": 補正データ（--open, --short）がこの測定の点を含みません\n";
      return false;
    }
    if (const int lost = a.leads.Apply(m.calc, m.ave, m.raw.Band); lost > 0)
      err << a.output << ": 補正で値のなくなった点 " << lost << " 個\n";
  }
  if (a.exportPath.empty()) return true;
  if (!file.ExportText(a.exportPath, m.serial, &m.ave, &m.raw)) {
    status.ShowSaveError();
    return false;
  }
  status.ShowExportDone();
  out << a.exportPath << "\n";
  return true;
}

// The sweep from the start to the written files; an exit code.
int Sweep(const TMeasureArgs& a, std::ostream& out, std::ostream& err, const TMeasureEnv& env,
          TMeasurement& m) {
  TCliSweep sweep(m, err, env);
  switch (sweep.Run(a.request, a.portsDir)) {
    case TSweepOutcome::Interrupted:
      return EXIT_INTERRUPTED;
    case TSweepOutcome::Failed:
      return EXIT_FAILED;
    case TSweepOutcome::Finished:
      break;
  }
  if (!WriteFiles(m, a, sweep.Status(), out, err)) return EXIT_FAILED;
  return sweep.ReceiveFailed() ? EXIT_FAILED : EXIT_OK;
}

}  // namespace

TPortChoice ChoosePort(const std::string& port, const TMeasureEnv& env) {
  const std::string appDir = env.appDir.empty() ? platform::ApplicationDir() : env.appDir;
  if (const auto n = ComNumberOf(port)) return {{*n, {}}, appDir, *n};
  return {{0, port}, {}, ComNumberOfDevice(appDir, port)};
}

std::optional<int> ComNumberOf(const std::string& port) {
  if (port.size() < 4 || port.size() > 6) return std::nullopt;
  for (int i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(port[i])) != "COM"[i]) return std::nullopt;
  const std::string digits = port.substr(3);
  if (digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0')
    return std::nullopt;
  const int n = std::stoi(digits);
  if (n > COM_MAX) return std::nullopt;
  return n;
}

int ComNumberOfDevice(const std::string& appDir, const std::string& device) {
  struct stat target {};
  if (stat(device.c_str(), &target) != 0) return 1;
  for (int n = 1; n <= COM_MAX; ++n) {
    const std::string candidate = ComPortDevice(appDir, n);
    struct stat st {};
    if (!candidate.empty() && stat(candidate.c_str(), &st) == 0 && SameFile(st, target)) return n;
  }
  return 1;
}

std::string DefaultMeasureName(const std::string& dateTime) {
  std::string name;
  for (const char c : dateTime) {
    if (c == ' ') name += '-';
    if (std::isdigit(static_cast<unsigned char>(c))) name += c;
  }
  return name + ".DTA";
}

int RunMeasureWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TMeasureEnv& env) {
  TCliArgs parsed;
  std::vector<TCliOption> known = {{"--port", true},   {"--band", true},    {"--unit-average", false},
                                   {"-o", true},       {"--export", true},  {"--force", false},
                                   {"--compare", true}};
  known.insert(known.end(), ToleranceOptions().begin(), ToleranceOptions().end());
  known.insert(known.end(), CompensationOptions().begin(), CompensationOptions().end());
  if (auto done = ParseVerbArgs(parsed, args, known, 0, "measure", kHelp, out, err)) return *done;
  TMeasureArgs a;
  if (const std::string reason = ReadArgs(parsed, env, a); !reason.empty()) {
    err << "doz-cli measure: " << reason << " (try 'doz-cli measure --help')\n";
    return EXIT_USAGE;
  }
  if (RefuseOverwrite(a, parsed.Has("--force"), err)) return EXIT_FAILED;
  // The compensation and the reference are read first: a sweep is not spent
  // on what cannot be made of it.
  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_FAILED;
  a.leads = *leads;
  std::unique_ptr<TCliMeasurement> reference;
  if (!a.reference.empty() && !(reference = LoadMeasurement(a.reference, err, a.leads)))
    return EXIT_USAGE;

  const auto m = std::make_unique<TMeasurement>();
  const int swept = Sweep(a, out, err, env, *m);
  if (swept != EXIT_OK || !reference) return swept;
  return CompareAndReport(m->ave, reference->ave, {a.tolerance, false, {}}, "measure", out, err);
}

int RunMeasure(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const TInterruptGuard guard;
  return RunMeasureWith(args, out, err, ShellMeasureEnv(err));
}

}  // namespace doz::cli
