#include "Cli_results.h"

#include "Cli_args.h"
#include "Cli_results_output.h"
#include "Result_stats.h"
#include "Results_store.h"

namespace doz::cli {
namespace {

using namespace results;

const char* const kHelp =
    "usage: doz-cli results --db PATH|URL [--since DATE] [--serial SN] [--json|--csv]\n"
    "                       [--stats]\n"
    "Lists the rows of an inspection station's results store, oldest first. Rows\n"
    "that wait in the store's local queue (written while it could not be reached)\n"
    "go into the store first. PATH is a SQLite file; URL a PostgreSQL connection\n"
    "string, postgresql://USER@HOST[:PORT]/DATABASE (put its password in\n"
    "~/.pgpass, or the file PGPASSFILE names, not on the command line).\n"
    "Exit status: 0 done, 1 the store cannot be read or rows still wait in its\n"
    "queue (the rows it holds are listed all the same), 2 a usage error.\n"
    "  --db PATH|URL   the results store\n"
    "  --since DATE    rows measured at or after DATE: YYYY-MM-DD, YYYY-MM-DDTHH:MM\n"
    "                  or YYYY-MM-DDTHH:MM:SS, local time; UTC with a final Z\n"
    "  --serial SN     the rows of one serial number\n"
    "  --json          one JSON object on standard output\n"
    "  --csv           CSV: a head line, then a line a row with a column per\n"
    "                  fitted value\n"
    "  --stats         the count, the passes and the yield, and per fitted value\n"
    "                  its mean, standard deviation, min, max and Cpk against the\n"
    "                  limits stored with it (text, or with --json)\n";

struct TResultsRequest {
  std::string location;
  TRowFilter filter;
  bool json = false;
  bool csv = false;
  bool stats = false;
};

// The request of the parsed arguments; nothing, and a reason, for a wrong one.
std::optional<TResultsRequest> RequestOf(const TCliArgs& parsed, std::string& reason) {
  TResultsRequest request{
      parsed.Value("--db"), {}, parsed.Has("--json"), parsed.Has("--csv"), parsed.Has("--stats")};
  if (request.location.empty())
    reason = parsed.Has("--db") ? "--db names no store" : "--db is required";
  if (request.json && request.csv) reason = "--json and --csv exclude each other";
  if (request.csv && request.stats) reason = "--stats gives text or --json, not --csv";
  if (parsed.Has("--since")) {
    request.filter.Since = ParseDateArgument(parsed.Value("--since"));
    if (!request.filter.Since)
      reason = "--since needs a date such as 2025-03-01 or 2025-03-01T08:00";
  }
  if (parsed.Has("--serial")) request.filter.Serial = parsed.Value("--serial");
  if (!reason.empty()) return std::nullopt;
  return request;
}

void Print(const TResultsRequest& request, const std::vector<TResultRow>& rows, std::ostream& out) {
  if (request.stats) {
    const TBatchStats stats = BatchStats(rows);
    request.json ? PrintStatsJson(stats, out) : PrintStatsText(stats, out);
  } else if (request.json) {
    PrintRowsJson(rows, out);
  } else if (request.csv) {
    PrintRowsCsv(rows, out);
  } else {
    PrintRowsText(rows, out);
  }
}

// What the queue still holds after the flush, on err. True when nothing waits.
bool ReportQueue(TResultsStore& store, std::ostream& err) {
  const TQueueFlush& flush = store.LastFlush();
  if (flush.Damaged > 0) {
    err << "doz-cli results: " << flush.Damaged << " damaged line(s) dropped from the queue "
        << store.QueuePath() << "\n";
  }
  const std::size_t waiting = store.Waiting();
  if (waiting == 0) return true;
  err << "doz-cli results: " << waiting << " row(s) still wait in the queue " << store.QueuePath()
      << "\n";
  return false;
}

}  // namespace

int RunResults(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  const std::vector<TCliOption> known = {{"--db", true},    {"--since", true}, {"--serial", true},
                                         {"--json", false}, {"--csv", false},  {"--stats", false}};
  if (auto done = ParseVerbArgs(parsed, args, known, 0, "results", kHelp, out, err)) return *done;
  std::string reason;
  const auto request = RequestOf(parsed, reason);
  if (!request) {
    err << "doz-cli results: " << reason << " (try 'doz-cli results --help')\n";
    return EXIT_USAGE;
  }
  TStoreOptions options;
  options.CreateFile = false;  // a mistyped path must not leave an empty store behind
  TResultsStore store(request->location, options);
  const TStoreStatus opened = store.Open();
  if (!opened.Ok()) err << "doz-cli results: " << opened.Message << "\n";
  // A store that took part of the queue and then refused a row can still be
  // read; one that cannot be reached is not tried twice.
  std::vector<TResultRow> rows;
  TStoreStatus read = opened;
  if (opened.Ok() || !store.LastFlush().Status.Ok()) {
    read = store.Rows(request->filter, rows);
    if (!read.Ok()) err << "doz-cli results: " << read.Message << "\n";
  }
  const bool complete = ReportQueue(store, err);
  if (!read.Ok()) return EXIT_FAILED;
  Print(*request, rows, out);
  return opened.Ok() && complete ? EXIT_OK : EXIT_FAILED;
}

}  // namespace doz::cli
