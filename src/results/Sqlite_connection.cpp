#include "Sqlite_connection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>

namespace doz::results {
namespace {

constexpr int kWalPauseMs = 10;

TStoreError ErrorOf(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return TStoreError::Busy;
    case SQLITE_FULL:
      return TStoreError::Full;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return TStoreError::ReadOnly;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_PROTOCOL:
      return TStoreError::Unreachable;
    default:
      return TStoreError::Other;
  }
}

int Bind(sqlite3_stmt* statement, int index, const TSqlValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    return sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
  }
  if (const auto* number = std::get_if<double>(&value)) {
    return sqlite3_bind_double(statement, index, *number);
  }
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return sqlite3_bind_int64(statement, index, *number);
  }
  return sqlite3_bind_null(statement, index);
}

TSqlValue Column(sqlite3_stmt* statement, int index) {
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
      return std::int64_t{sqlite3_column_int64(statement, index)};
    case SQLITE_FLOAT:
      return sqlite3_column_double(statement, index);
    case SQLITE_NULL:
      return std::monostate{};
    default: {
      const auto* text = sqlite3_column_text(statement, index);
      const int size = sqlite3_column_bytes(statement, index);
      return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
    }
  }
}

}  // namespace

TSqliteConnection::~TSqliteConnection() { sqlite3_close_v2(db_); }

TStoreStatus TSqliteConnection::Open(const std::string& path, const TStoreOptions& options,
                                     std::unique_ptr<TSqlConnection>& connection) {
  if (!options.CreateFile && ::access(path.c_str(), F_OK) != 0) {
    return {TStoreError::Missing, path + ": no results store there"};
  }
  std::unique_ptr<TSqliteConnection> opened(new TSqliteConnection(path));
  const int flags =
      SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (options.CreateFile ? SQLITE_OPEN_CREATE : 0);
  const int code = sqlite3_open_v2(path.c_str(), &opened->db_, flags, nullptr);
  if (code != SQLITE_OK) return opened->Failure(code);
  TStoreStatus status = opened->Configure(options);
  if (status.Ok()) connection = std::move(opened);
  return status;
}

TStoreStatus TSqliteConnection::Configure(const TStoreOptions& options) {
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, options.BusyTimeoutMs);
  // Switching a new file to WAL takes a lock that SQLite does not wait for,
  // and other stations may be opening it at the same moment: try again, as
  // many times as fit in the wait allowed for a lock.
  std::vector<TSqlRow> mode;
  TStoreStatus status;
  for (int tries = std::max(1, options.BusyTimeoutMs / kWalPauseMs); tries > 0; --tries) {
    status = Query("PRAGMA journal_mode = WAL", {}, mode);
    if (status.Error != TStoreError::Busy) break;
    ::usleep(kWalPauseMs * 1000);
  }
  if (status.Ok()) status = Exec("PRAGMA synchronous = FULL", {}, nullptr);
  if (status.Ok()) status = Exec("PRAGMA foreign_keys = ON", {}, nullptr);
  return status;
}

TStoreStatus TSqliteConnection::Failure(int code) const {
  const char* text = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  return {ErrorOf(code), path_ + ": " + text};
}

TStoreStatus TSqliteConnection::Prepare(std::string_view sql, const std::vector<TSqlValue>& params,
                                        sqlite3_stmt*& statement) {
  statement = nullptr;
  int code = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
  for (std::size_t i = 0; code == SQLITE_OK && i < params.size(); ++i) {
    code = Bind(statement, static_cast<int>(i + 1), params[i]);
  }
  return code == SQLITE_OK ? TStoreStatus{} : Failure(code);
}

TStoreStatus TSqliteConnection::Exec(std::string_view sql, const std::vector<TSqlValue>& params,
                                     std::int64_t* changed) {
  std::vector<TSqlRow> rows;
  TStoreStatus status = Query(sql, params, rows);
  if (status.Ok() && changed) *changed = sqlite3_changes64(db_);
  return status;
}

TStoreStatus TSqliteConnection::Query(std::string_view sql, const std::vector<TSqlValue>& params,
                                      std::vector<TSqlRow>& rows) {
  rows.clear();
  sqlite3_stmt* statement = nullptr;
  TStoreStatus status = Prepare(sql, params, statement);
  int code = SQLITE_ROW;
  while (status.Ok() && (code = sqlite3_step(statement)) == SQLITE_ROW) {
    TSqlRow& row = rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) row.push_back(Column(statement, i));
  }
  if (status.Ok() && code != SQLITE_DONE) status = Failure(code);
  sqlite3_finalize(statement);
  return status;
}

void TSqliteConnection::Rollback() {
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace doz::results
