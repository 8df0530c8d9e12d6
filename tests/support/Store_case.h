// One store of each kind for a test: a SQLite file in a temporary folder, or
// a new database on the test program's own PostgreSQL server; and rows to
// write into it.
#pragma once

#include <string>

#include "Result_row.h"
#include "Sql_connection.h"
#include "Store_location.h"
#include "Temp_dir.h"

namespace doz::test {

// The store's location, or empty (with a reason) when a server is missing.
std::string NewStore(results::TStoreKind kind, const TTempDir& folder, std::string& why);
// Queues in the test's folder, short waits for a lock.
results::TStoreOptions TestOptions(const TTempDir& folder);
// A passed part with two fitted values, measured `second` seconds into 2025.
results::TResultRow PartRow(const std::string& serial, int second = 0);
std::string KindName(results::TStoreKind kind);

}  // namespace doz::test
