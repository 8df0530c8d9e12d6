#include "Sql_connection.h"

#include "Postgres_connection.h"
#include "Sqlite_connection.h"
#include "Store_location.h"

namespace doz::results {

TStoreStatus Connect(const std::string& location, const TStoreOptions& options,
                     std::unique_ptr<TSqlConnection>& connection) {
  connection.reset();
  const auto kind = KindOf(location);
  if (!kind) return {TStoreError::BadLocation, "no results store given"};
  if (*kind == TStoreKind::SqliteFile)
    return TSqliteConnection::Open(location, options, connection);
  return TPostgresConnection::Open(location, options, connection);
}

std::string TextOf(const TSqlValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  return "";
}

double NumberOf(const TSqlValue& value) {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  if (const auto* number = std::get_if<std::int64_t>(&value)) return static_cast<double>(*number);
  return 0.0;
}

bool IsNull(const TSqlValue& value) { return std::holds_alternative<std::monostate>(value); }

}  // namespace doz::results
