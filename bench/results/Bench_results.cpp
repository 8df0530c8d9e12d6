// doz-bench-results: rows per second written into a results store, one row
// (one transaction) per part as a station writes them: a SQLite file in a
// temporary folder, and a PostgreSQL server of its own when the server
// programs are installed (that server runs without fsync, so its figure is
// the client's and the protocol's, not a disk's).
#include <chrono>
#include <cstdio>
#include <string>

#include "Postgres_server.h"
#include "Results_store.h"
#include "Store_case.h"
#include "Temp_dir.h"

namespace {

using namespace doz::results;
using TClock = std::chrono::steady_clock;

constexpr int kRows = 300;

// Rows per second over kRows writes; negative when a write did not reach
// the store.
double RowsPerSecond(const std::string& location, const doz::test::TTempDir& folder) {
  TResultsStore store(location, doz::test::TestOptions(folder));
  if (!store.Open().Ok()) return -1;
  const auto start = TClock::now();
  for (int i = 0; i < kRows; ++i) {
    TResultRow row = doz::test::PartRow("B-" + std::to_string(i), i);
    row.Reasons = {"L within 2.4..2.6"};
    if (store.Write(row).Outcome != TWriteOutcome::Written) return -1;
  }
  return kRows / std::chrono::duration<double>(TClock::now() - start).count();
}

void Report(const char* store, double rate) {
  if (rate < 0) {
    std::printf("%s: a write failed\n", store);
  } else {
    std::printf("%s: %.0f rows/s (%d rows, one transaction each)\n", store, rate, kRows);
  }
}

}  // namespace

int main() {
  doz::test::TTempDir folder;
  const double sqlite = RowsPerSecond(folder.File("results.sqlite"), folder);
  Report("results store, SQLite file (WAL, full sync)", sqlite);
  doz::test::TPostgresServer& server = doz::test::SharedPostgres();
  if (!server.Running()) {
    std::printf("results store, PostgreSQL: skipped (%s)\n", server.Why().c_str());
    return sqlite < 0;
  }
  const double postgres = RowsPerSecond(server.NewDatabase(), folder);
  Report("results store, PostgreSQL on a Unix socket (test server, fsync off)", postgres);
  return sqlite < 0 || postgres < 0;
}
