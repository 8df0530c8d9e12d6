#include "Store_case.h"

#include "Postgres_server.h"

namespace doz::test {

using namespace results;

std::string NewStore(TStoreKind kind, const TTempDir& folder, std::string& why) {
  if (kind == TStoreKind::SqliteFile) return folder.File("results.sqlite");
  TPostgresServer& server = SharedPostgres();
  why = server.Why();
  return server.Running() ? server.NewDatabase() : "";
}

TStoreOptions TestOptions(const TTempDir& folder) {
  TStoreOptions options;
  options.BusyTimeoutMs = 100;
  options.QueueFolder = folder.File("queue");
  return options;
}

TResultRow PartRow(const std::string& serial, int second) {
  TResultRow row;
  row.Id = NewRowId();
  row.Serial = serial;
  row.MeasuredAt = *ParseUtc("2025-01-01T00:00:00.000Z") + std::chrono::seconds(second);
  row.Station = "line-1";
  row.Criteria = "coil-A";
  row.Values = {{"L", 2.5, 2.4, 2.6}, {"C", 4.0001e-10, 3.5e-10, std::nullopt}};
  row.FileName = serial + "_20250101-000000.DTA";
  row.FileSha256 = std::string(64, 'a');
  return row;
}

std::string KindName(TStoreKind kind) {
  return kind == TStoreKind::SqliteFile ? "Sqlite" : "Postgres";
}

}  // namespace doz::test
