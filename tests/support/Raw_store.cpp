#include "Raw_store.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace doz::test {

TRawStore::TRawStore(const std::string& location) {
  if (location.rfind("postgres", 0) == 0) {
    pg_ = PQconnectdb(location.c_str());
  } else {
    sqlite3_open(location.c_str(), &sqlite_);
  }
}

TRawStore::~TRawStore() {
  if (sqlite_) sqlite3_close(sqlite_);
  if (pg_) PQfinish(pg_);
}

bool TRawStore::Exec(const std::string& sql) {
  if (sqlite_) {
    char* message = nullptr;
    const bool ok = sqlite3_exec(sqlite_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
    error_ = message ? message : "";
    sqlite3_free(message);
    return ok;
  }
  PGresult* result = PQexec(pg_, sql.c_str());
  const bool ok =
      PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
  error_ = PQerrorMessage(pg_);
  PQclear(result);
  return ok;
}

std::optional<std::string> TRawStore::Value(const std::string& sql) {
  std::optional<std::string> value;
  if (sqlite_) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(sqlite_, sql.c_str(), -1, &statement, nullptr);
    if (statement && sqlite3_step(statement) == SQLITE_ROW &&
        sqlite3_column_type(statement, 0) != SQLITE_NULL) {
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return value;
  }
  PGresult* result = PQexec(pg_, sql.c_str());
  if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0 &&
      !PQgetisnull(result, 0, 0)) {
    value = PQgetvalue(result, 0, 0);
  }
  PQclear(result);
  return value;
}

}  // namespace doz::test
