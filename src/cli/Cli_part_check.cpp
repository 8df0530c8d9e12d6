#include "Cli_part_check.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "Cli_args.h"
#include "Cli_part_check_output.h"
#include "Cli_measure.h"
#include "Cli_measurement.h"
#include "Criteria_parser.h"
#include "Store_location.h"
#include "Sweep_failure.h"

namespace doz::cli {
namespace {

using namespace station;

const char* const kHelp =
    "usage: doz-cli inspect --port COMn|DEVICE --criteria FILE.dozcheck --serial SN\n"
    "                       [--db PATH|URL] [--save-dir DIR] [--station NAME] [--json]\n"
    "Inspects one part as the station window does: one sweep of the band the\n"
    "criteria give, judged against them; the measurement saved in the batch folder\n"
    "as SERIAL_YYYYMMDD-HHMMSS.DTA (never over another file: _2, _3, ... when the\n"
    "name is taken); one row in the results store. The row goes into the store's\n"
    "local queue first and from there into the store; when the store cannot be\n"
    "reached it waits in the queue for the next write or for doz-cli results.\n"
    "The status texts of the sweep go to standard error; the verdict, each check\n"
    "and where the file and the row went to standard output.\n"
    "  --port COMn|DEVICE  the unit, as doz-cli measure takes it\n"
    "  --criteria FILE     the criteria file (.dozcheck; see the manual page)\n"
    "  --serial SN         the part's serial number; not empty\n"
    "  --db PATH|URL       the results store: a SQLite file, or a PostgreSQL\n"
    "                      connection string postgresql://USER@HOST[:PORT]/DATABASE\n"
    "                      (its password in ~/.pgpass or PGPASSFILE); default:\n"
    "                      results.sqlite in the batch folder\n"
    "  --save-dir DIR      the batch folder, made when missing (default: the\n"
    "                      current folder)\n"
    "  --station NAME      the station's name in the row (default: the host name)\n"
    "  --json              one JSON object with the verdict, the reasons and the\n"
    "                      values\n"
    "  --open FILE.DTA, --short FILE.DTA  the part (and the golden) judged on\n"
    "                      values corrected for the test leads, as 'doz-cli\n"
    "                      analyze' takes them; the file keeps the unit's records\n"
    "Exit status: 0 pass, 1 fail, 2 a usage or criteria error (nothing measured),\n"
    "3 a measurement that did not complete (its row records the failure), 4 the\n"
    "part was judged but its file or its row could not be kept.\n";

struct TInspectArgs {
  TPortChoice port;
  analysis::TLeadCompensation leads;
  std::string serial;
  std::string saveDir;
  std::string db;
  std::string station;
  bool json = false;
};

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "doz-cli";
  return name;
}

// Usage problems as a reason; empty when the arguments are good.
std::string ReadArgs(const TCliArgs& parsed, const TMeasureEnv& env, TInspectArgs& a) {
  for (const char* required : {"--port", "--criteria", "--serial"})
    if (!parsed.Has(required)) return std::string("missing ") + required;
  a.serial = parsed.Value("--serial");
  if (a.serial.empty()) return "--serial is empty: every part needs its serial number";
  if (!results::IsStorableText(a.serial)) return "--serial is not UTF-8 text";
  a.port = ChoosePort(parsed.Value("--port"), env);
  a.saveDir = parsed.Has("--save-dir") ? parsed.Value("--save-dir") : ".";
  if (a.saveDir.empty()) return "--save-dir names no folder";
  a.db = parsed.Has("--db") ? parsed.Value("--db") : a.saveDir + "/results.sqlite";
  if (!results::KindOf(a.db)) return "--db names no store";
  a.station = parsed.Has("--station") ? parsed.Value("--station") : HostName();
  if (!results::IsStorableText(a.station)) return "--station is not UTF-8 text";
  a.json = parsed.Has("--json");
  return {};
}

// The criteria, or nothing after telling why on err.
std::optional<TCriteria> ReadCriteria(const std::string& path, std::ostream& err) {
  TCriteriaParse parsed = LoadCriteria(path);
  if (auto* criteria = std::get_if<TCriteria>(&parsed)) return std::move(*criteria);
  const TCriteriaError& e = std::get<TCriteriaError>(parsed);
  err << "doz-cli inspect: ";
  if (e.Fault == TCriteriaFault::CannotRead) {
    err << path << ": " << FileFailureText(e.Failure) << "\n";
  } else if (e.Fault == TCriteriaFault::GoldenUnreadable) {
    err << path << ": line " << e.Line << ": " << e.Subject << ": " << FileFailureText(e.Failure)
        << "\n";
  } else {
    err << path << ": " << CriteriaErrorText(e) << "\n";
  }
  return std::nullopt;
}

// The criteria for values corrected for the leads, when --open or --short
// is given; nothing, after saying why, when the compensation lacks points of
// the band swept or of the golden.
std::optional<TCriteria> CompensatedCriteria(const TCriteria& criteria,
                                             const analysis::TLeadCompensation& leads,
                                             std::ostream& err) {
  TCalcData band;
  ClearCalcData(band);
  for (int slot = BandFirstIndex(criteria.Band); slot <= BandLastIndex(criteria.Band); ++slot)
    band.R[slot] = 1.0, band.Freq[slot] = 1.0;
  auto compensated = Compensated(criteria, leads);
  if (!compensated || leads.Covers(band, criteria.Band) != analysis::TCompensationFault::None) {
    err << "doz-cli inspect: 補正データ（--open, --short）が帯域 " << criteria.Band
        << " または基準データの点を含みません\n";
    return std::nullopt;
  }
  return compensated;
}

void DieWhenAsked() {
  const char* value = std::getenv(kDieQueuedVariable);
  if (value && std::string(value) == "1") std::raise(SIGKILL);
}

int Report(const TInspection& inspection, bool json, std::ostream& out) {
  json ? PrintInspectionJson(inspection, out) : PrintInspectionText(inspection, out);
  const results::TVerdict verdict = inspection.Row.Verdict;
  if (verdict == results::TVerdict::MeasurementError) return EXIT_NOT_MEASURED;
  if (inspection.Record.Fate == TRowFate::Lost || inspection.FilePath.empty()) return EXIT_NOT_KEPT;
  return verdict == results::TVerdict::Pass ? EXIT_OK : EXIT_FAILED;
}

// The sweep, the judgement, the file and the row; the exit code.
int Inspect(const TInspectArgs& a, const TCriteria& criteria, std::ostream& out, std::ostream& err,
            const TMeasureEnv& env) {
  auto m = std::make_unique<TMeasurement>();
  TCliSweep sweep(*m, err, env);
  const TSweepOutcome outcome = sweep.Run({a.port.address, criteria.Band, false}, a.port.portsDir);
  const TPartFacts facts{a.serial, a.station, criteria.Name, results::UtcNow()};
  TInspection inspection;
  results::TResultsStore store(a.db);
  inspection.Store = store.Description();
  if (outcome != TSweepOutcome::Finished || sweep.ReceiveFailed()) {
    inspection.Row = FailedRow(facts, sweep.Failure().Text());
  } else {
    if (const int lost = a.leads.Apply(m->calc, m->ave, m->raw.Band); lost > 0)
      err << "doz-cli inspect: 補正で値のなくなった点 " << lost << " 個\n";
    inspection.Judgement = Judge(criteria, m->calc, m->raw.Band);
    const TPartSave save =
        SavePart(a.saveDir, a.serial, facts.MeasuredAt, m->serial, a.port.fileComNumber, m->raw);
    if (save.Fault != TSaveFault::None) err << "doz-cli inspect: " << SaveFaultText(save) << "\n";
    inspection.FilePath = save.Fault == TSaveFault::None ? save.Path : "";
    inspection.Row = JudgedRow(facts, inspection.Judgement, save);
  }
  inspection.Record = RecordRow(store, inspection.Row, DieWhenAsked);
  if (inspection.Record.Fate != TRowFate::Stored)
    err << "doz-cli inspect: " << inspection.Record.Status.Message << "\n";
  return Report(inspection, a.json, out);
}

}  // namespace

int RunInspectWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TMeasureEnv& env) {
  TCliArgs parsed;
  std::vector<TCliOption> known = {{"--port", true}, {"--criteria", true}, {"--serial", true},
                                   {"--db", true},   {"--save-dir", true}, {"--station", true},
                                   {"--json", false}};
  known.insert(known.end(), CompensationOptions().begin(), CompensationOptions().end());
  if (auto done = ParseVerbArgs(parsed, args, known, 0, "inspect", kHelp, out, err)) return *done;
  TInspectArgs a;
  if (const std::string reason = ReadArgs(parsed, env, a); !reason.empty()) {
    err << "doz-cli inspect: " << reason << " (try 'doz-cli inspect --help')\n";
    return EXIT_USAGE;
  }
  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_USAGE;
  a.leads = *leads;
  const auto criteria = ReadCriteria(parsed.Value("--criteria"), err);
  if (!criteria) return EXIT_USAGE;
  const auto compensated = CompensatedCriteria(*criteria, a.leads, err);
  if (!compensated) return EXIT_USAGE;
  return Inspect(a, *compensated, out, err, env);
}

int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const TInterruptGuard guard;
  return RunInspectWith(args, out, err, ShellMeasureEnv(err));
}

}  // namespace doz::cli
