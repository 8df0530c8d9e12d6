// The rows of a store in and out, through the statements both back ends
// share. Values are always bound, never written into the statement.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Result_row.h"
#include "Sql_connection.h"

namespace doz::results {

struct TRowFilter {
  std::optional<TUtcTime> Since;  // measured at or after
  std::optional<std::string> Serial;
};

// Inserts the row, its reasons and its values in one transaction; a row
// whose id is stored already is left as it is (and counts as written).
TStoreStatus InsertRow(TSqlConnection& connection, const TResultRow& row);

// The rows that pass the filter, oldest first, with their reasons and
// values, read in one transaction.
TStoreStatus SelectRows(TSqlConnection& connection, const TRowFilter& filter,
                        std::vector<TResultRow>& rows);

}  // namespace doz::results
