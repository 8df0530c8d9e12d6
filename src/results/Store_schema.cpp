#include "Store_schema.h"

#include <array>
#include <initializer_list>
#include <string_view>

namespace doz::results {
namespace {

// One step per version: the statements that take a store there from the
// version before. Types and syntax that SQLite and PostgreSQL read alike.
using TStep = std::initializer_list<std::string_view>;

const std::array<TStep, 2> kSteps = {
    TStep{
        "CREATE TABLE results ("
        " id TEXT PRIMARY KEY,"
        " serial TEXT NOT NULL,"
        " measured_at TEXT NOT NULL,"
        " station TEXT NOT NULL,"
        " criteria TEXT NOT NULL,"
        " verdict TEXT NOT NULL CHECK (verdict IN ('pass', 'fail', 'error')),"
        " file_name TEXT NOT NULL,"
        " file_sha256 TEXT NOT NULL,"
        " error_text TEXT NOT NULL)",
        "CREATE TABLE result_reasons ("
        " result_id TEXT NOT NULL REFERENCES results (id),"
        " position INTEGER NOT NULL,"
        " reason TEXT NOT NULL,"
        " PRIMARY KEY (result_id, position))",
        "CREATE TABLE result_values ("
        " result_id TEXT NOT NULL REFERENCES results (id),"
        " position INTEGER NOT NULL,"
        " name TEXT NOT NULL,"
        " value DOUBLE PRECISION NOT NULL,"
        " lower_limit DOUBLE PRECISION,"
        " upper_limit DOUBLE PRECISION,"
        " PRIMARY KEY (result_id, position))",
    },
    TStep{
        "CREATE INDEX results_measured_at ON results (measured_at)",
        "CREATE INDEX results_serial ON results (serial)",
    },
};

TStoreStatus CurrentVersion(TSqlConnection& connection, int& version) {
  TStoreStatus status =
      connection.Exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", {});
  std::vector<TSqlRow> rows;
  if (status.Ok()) status = connection.Query("SELECT MAX(version) FROM schema_version", {}, rows);
  version = status.Ok() && !rows.empty() && !IsNull(rows[0][0])
                ? static_cast<int>(NumberOf(rows[0][0]))
                : 0;
  return status;
}

TStoreStatus StepForward(TSqlConnection& connection, int version) {
  for (const std::string_view statement : kSteps[version - 1]) {
    TStoreStatus status = connection.Exec(statement, {});
    if (!status.Ok()) return status;
  }
  TStoreStatus status = connection.Exec("DELETE FROM schema_version", {});
  if (status.Ok()) {
    status =
        connection.Exec("INSERT INTO schema_version (version) VALUES (?)", {std::int64_t{version}});
  }
  return status;
}

TStoreStatus Migrate(TSqlConnection& connection, const std::string& description) {
  TStoreStatus status = connection.LockSchema();
  int version = 0;
  if (status.Ok()) status = CurrentVersion(connection, version);
  if (status.Ok() && version > LatestSchemaVersion()) {
    return {TStoreError::SchemaTooNew, description + ": the store has schema version " +
                                           std::to_string(version) + ", this program knows up to " +
                                           std::to_string(LatestSchemaVersion())};
  }
  while (status.Ok() && version < LatestSchemaVersion())
    status = StepForward(connection, ++version);
  return status;
}

}  // namespace

int LatestSchemaVersion() { return static_cast<int>(kSteps.size()); }

TStoreStatus MigrateSchema(TSqlConnection& connection, const std::string& description) {
  TStoreStatus status = connection.BeginWrite();
  if (status.Ok()) status = Migrate(connection, description);
  if (status.Ok()) status = connection.Commit();
  if (!status.Ok()) connection.Rollback();
  return status;
}

}  // namespace doz::results
