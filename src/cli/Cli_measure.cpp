#include "Cli_measure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <iostream>
#include <memory>

#include "App_dir.h"
#include "Cli_args.h"
#include "Cli_panels.h"
#include "Cli_progress.h"
#include "Cli_prompter.h"
#include "Cli_session.h"
#include "Clock.h"
#include "Com_ports.h"
#include "Doz_file.h"
#include "Qo_message.h"
#include "Qo_status.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli measure --port COMn|DEVICE [--band N] [--unit-average] [-o FILE.DTA]\n"
    "                       [--export FILE.txt] [--force]\n"
    "Runs one sweep of the unit as the application's start button does and writes\n"
    "it as a measurement file. The status texts and messages of the application go\n"
    "to standard error, with the progress of the sweep: a bar on a terminal, else a\n"
    "line for every tenth of the points. The files written are named on standard\n"
    "output.\n"
    "  --port COMn|DEVICE  COM port n (ports/comN in the program's folder, else\n"
    "                      /dev/ttyS, ttyUSB, ttyACM, as the application finds it)\n"
    "                      or a device path, a /dev/serial/by-id name too; the\n"
    "                      file records n, or the number whose device that path\n"
    "                      leads to (see doz-cli ports), else 1\n"
    "  --band N            band 1 to 10 as in the band list (default 1, 10Hz-100kHz)\n"
    "  --unit-average      averaging inside the unit during the sweep\n"
    "  -o FILE.DTA         output file (default: the start time in the current\n"
    "                      folder, YYYYMMDD-hhmmss.DTA)\n"
    "  --export FILE.txt   also write the smoothed values as a text table\n"
    "  --force             overwrite existing files\n"
    "A sweep that fails after some points still writes them. Ctrl-C stops the\n"
    "sweep (the unit is told to stop and the port released) and writes nothing.\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 130 stopped by Ctrl-C.\n";

constexpr int kComMax = 256;

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

// Ctrl-C and SIGTERM stop the sweep for the duration of the command.
class TInterruptGuard {
 public:
  TInterruptGuard() {
    gInterrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~TInterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// The same file, or the same device under another name.
bool SameFile(const struct stat& a, const struct stat& b) {
  if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) return a.st_rdev == b.st_rdev;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

struct TMeasureArgs {
  TPortChoice port;
  int fileComNumber = 1;
  int band = 1;
  bool unitAverage = false;
  std::string output;
  std::string exportPath;
};

// Usage problems as a reason; empty when the arguments are good.
std::string ReadArgs(const TCliArgs& parsed, const TMeasureEnv& env, TMeasureArgs& a) {
  if (!parsed.Has("--port")) return "missing --port";
  if (parsed.Has("--band")) {
    const std::string band = parsed.Value("--band");
    if (band.empty() || band.size() > 2 ||
        band.find_first_not_of("0123456789") != std::string::npos || !IsValidBand(std::stoi(band)))
      return "--band takes a band from 1 to 10";
    a.band = std::stoi(band);
  }
  const std::string appDir = env.appDir.empty() ? platform::ApplicationDir() : env.appDir;
  const std::string port = parsed.Value("--port");
  if (const auto n = ComNumberOf(port)) {
    a.port = {*n, {}, appDir};
    a.fileComNumber = *n;
  } else {
    a.port = {0, port, {}};
    a.fileComNumber = ComNumberOfDevice(appDir, port);
  }
  a.unitAverage = parsed.Has("--unit-average");
  a.output =
      parsed.Has("-o") ? parsed.Value("-o") : DefaultMeasureName(platform::NowDateTimeText());
  a.exportPath = parsed.Value("--export");
  return {};
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

// Writes the finished sweep as the save and export commands do.
bool WriteFiles(const TCliSession& session, const TMeasureArgs& a, TQo_Status& status,
                std::ostream& out) {
  TSettingData setting;
  setting.CommPortNum = a.fileComNumber;
  const TDoZ_File file;
  if (!file.WriteDataFile(a.output, session.UnitSerial, &setting, &session.MeasData)) {
    status.ShowSaveError();
    return false;
  }
  out << a.output << "\n";
  if (a.exportPath.empty()) return true;
  if (!file.ExportText(a.exportPath, session.UnitSerial, &session.MeasAve, &session.MeasData)) {
    status.ShowSaveError();
    return false;
  }
  status.ShowExportDone();
  out << a.exportPath << "\n";
  return true;
}

// Steps until the sweep ends; false when it was interrupted (and stopped).
bool Acquire(TCliSession& session, TProgress& progress, const TMeasureEnv& env) {
  progress.Start(session.PointTotal());
  while (session.Receiving()) {
    if (env.interrupted && *env.interrupted) {
      session.Stop();
      return false;
    }
    const int before = session.PointCount();
    session.Step();
    if (session.PointCount() != before) progress.Update(session.PointCount());
  }
  progress.EndLine();
  return true;
}

}  // namespace

std::optional<int> ComNumberOf(const std::string& port) {
  if (port.size() < 4 || port.size() > 6) return std::nullopt;
  for (int i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(port[i])) != "COM"[i]) return std::nullopt;
  const std::string digits = port.substr(3);
  if (digits.find_first_not_of("0123456789") != std::string::npos || digits[0] == '0')
    return std::nullopt;
  const int n = std::stoi(digits);
  if (n > kComMax) return std::nullopt;
  return n;
}

int ComNumberOfDevice(const std::string& appDir, const std::string& device) {
  struct stat target {};
  if (stat(device.c_str(), &target) != 0) return 1;
  for (int n = 1; n <= kComMax; ++n) {
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
  const std::vector<TCliOption> known = {{"--port", true},          {"--band", true},
                                         {"--unit-average", false}, {"-o", true},
                                         {"--export", true},        {"--force", false}};
  if (auto done = ParseVerbArgs(parsed, args, known, 0, "measure", kHelp, out, err)) return *done;
  TMeasureArgs a;
  if (const std::string reason = ReadArgs(parsed, env, a); !reason.empty()) {
    err << "doz-cli measure: " << reason << " (try 'doz-cli measure --help')\n";
    return EXIT_USAGE;
  }
  if (RefuseOverwrite(a, parsed.Has("--force"), err)) return EXIT_FAILED;

  TProgress progress(err, env.terminal);
  const TLineSink line = [&](const std::string& text) {
    progress.EndLine();
    err << text << "\n" << std::flush;
  };
  TCliPanels panels(line);
  TCliPrompter prompter(line);
  TQo_Status status(panels, "Do-Z", 2);
  TQo_Message message("Do-Z", "Do-Z v1.1", prompter);
  const auto session = std::make_unique<TCliSession>(status, message, env.watchdogMs);
  const bool started = session->Start(a.port, a.band, a.unitAverage);
  if (started && !Acquire(*session, progress, env)) return EXIT_INTERRUPTED;
  if (env.interrupted && *env.interrupted) return EXIT_INTERRUPTED;
  if (!started || !session->FinishPending() || !session->Finish()) return EXIT_FAILED;
  if (!WriteFiles(*session, a, status, out)) return EXIT_FAILED;
  return session->ReceiveFailed() ? EXIT_FAILED : EXIT_OK;
}

int RunMeasure(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const TInterruptGuard guard;
  TMeasureEnv env;
  env.terminal = &err == &std::cerr && isatty(STDERR_FILENO);
  env.interrupted = &gInterrupted;
  return RunMeasureWith(args, out, err, env);
}

}  // namespace doz::cli
