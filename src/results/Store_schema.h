// The tables of a results store and how a store made by an earlier version
// of the program is brought forward. A store records its version in the
// table schema_version; opening it runs, in one transaction, every step past
// that version. A new version is one more entry in the list of steps.
//
// Version 1:
//   results (id TEXT PRIMARY KEY, serial, measured_at, station, criteria,
//            verdict 'pass'|'fail'|'error', file_name, file_sha256, error_text)
//   result_reasons (result_id, position, reason)
//   result_values (result_id, position, name, value, lower_limit, upper_limit)
// Version 2: indexes on results.measured_at and results.serial, which the
//   listing filters by.
#pragma once

#include "Sql_connection.h"

namespace doz::results {

// The version this program writes.
int LatestSchemaVersion();

// Creates the tables of an empty store or migrates an older one forward;
// a store of a newer version is left untouched (SchemaTooNew).
TStoreStatus MigrateSchema(TSqlConnection& connection, const std::string& description);

}  // namespace doz::results
