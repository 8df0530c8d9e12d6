#include "Postgres_connection.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "Store_location.h"

namespace doz::results {
namespace {

// The key of the advisory lock that orders schema changes between stations.
constexpr std::int64_t kSchemaLockKey = 0x446F2D5A52657375;  // "Do-ZResu"

// Type oids of the numeric columns (catalog/pg_type.h).
constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701;

struct TResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using TResult = std::unique_ptr<PGresult, TResultDeleter>;

// "?" placeholders numbered as libpq wants them. The statements are the
// store's own fixed text, with no "?" in a literal.
std::string Numbered(std::string_view sql) {
  std::string out;
  int next = 0;
  for (const char c : sql) {
    if (c == '?') {
      out += '$' + std::to_string(++next);
    } else {
      out += c;
    }
  }
  return out;
}

std::string ParamText(const TSqlValue& value) {
  if (const auto* number = std::get_if<double>(&value)) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *number).ptr;
    return std::string(text, end);
  }
  return TextOf(value);
}

TSqlValue ColumnValue(const PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return std::monostate{};
  const char* text = PQgetvalue(result, row, column);
  const char* end = text + std::strlen(text);
  const Oid type = PQftype(result, column);
  if (type == kInt8 || type == kInt2 || type == kInt4) {
    std::int64_t number = 0;
    std::from_chars(text, end, number);
    return number;
  }
  if (type == kFloat8 || type == kFloat4) {
    double number = 0;
    std::from_chars(text, end, number);
    return number;
  }
  return std::string(text, end);
}

TStoreError ErrorOfState(std::string_view state) {
  if (state.substr(0, 2) == "08" || state.substr(0, 4) == "57P0") return TStoreError::Unreachable;
  if (state == "53300" || state.substr(0, 2) == "40" || state == "55P03") return TStoreError::Busy;
  if (state.substr(0, 2) == "53") return TStoreError::Full;
  if (state == "25006" || state == "42501") return TStoreError::ReadOnly;
  return TStoreError::Other;
}

// libpq's message on one line: its line breaks and indents become spaces.
std::string OneLine(const char* text) {
  std::string out;
  for (const char* c = text ? text : ""; *c; ++c) {
    const bool blank = *c == '\n' || *c == '\t';
    if (!blank) out += *c;
    if (blank && !out.empty() && out.back() != ' ') out += ' ';
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

void Silent(void*, const char*) {}

}  // namespace

TPostgresConnection::TPostgresConnection(const std::string& location) : location_(location) {}

TPostgresConnection::~TPostgresConnection() { PQfinish(conn_); }

TStoreStatus TPostgresConnection::Open(const std::string& location, const TStoreOptions& options,
                                       std::unique_ptr<TSqlConnection>& connection) {
  std::unique_ptr<TPostgresConnection> opened(new TPostgresConnection(location));
  // Settings before dbname are defaults that the connection string overrides.
  const std::string timeout = std::to_string(options.ConnectTimeoutSeconds);
  const char* const keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* const values[] = {timeout.c_str(), "doz", location.c_str(), nullptr};
  opened->conn_ = PQconnectdbParams(keywords, values, 1);
  if (!opened->conn_) return opened->Failure(TStoreError::Unreachable, "out of memory");
  if (PQstatus(opened->conn_) != CONNECTION_OK) {
    return opened->Failure(TStoreError::Unreachable, OneLine(PQerrorMessage(opened->conn_)));
  }
  // "relation already exists, skipping" and the like are not for the user.
  PQsetNoticeProcessor(opened->conn_, Silent, nullptr);
  if (PQsetClientEncoding(opened->conn_, "UTF8") != 0) {
    return opened->Failure(TStoreError::Other, "the server does not take UTF-8");
  }
  // Doubles as text that reads back exactly, on servers before 12 too.
  TStoreStatus status = opened->Exec("SET extra_float_digits = 3", {}, nullptr);
  if (status.Ok()) connection = std::move(opened);
  return status;
}

TStoreStatus TPostgresConnection::Failure(TStoreError error, const std::string& text) const {
  return {error, MaskedLocation(location_) + ": " + Scrubbed(text, location_)};
}

TStoreStatus TPostgresConnection::Exec(std::string_view sql, const std::vector<TSqlValue>& params,
                                       std::int64_t* changed) {
  return Run(sql, params, nullptr, changed);
}

TStoreStatus TPostgresConnection::Query(std::string_view sql, const std::vector<TSqlValue>& params,
                                        std::vector<TSqlRow>& rows) {
  rows.clear();
  return Run(sql, params, &rows, nullptr);
}

TStoreStatus TPostgresConnection::Run(std::string_view sql, const std::vector<TSqlValue>& params,
                                      std::vector<TSqlRow>* rows, std::int64_t* changed) {
  std::vector<std::string> texts;
  std::vector<const char*> values;
  for (const TSqlValue& p : params) texts.push_back(ParamText(p));
  for (std::size_t i = 0; i < params.size(); ++i) {
    values.push_back(IsNull(params[i]) ? nullptr : texts[i].c_str());
  }
  const TResult result(PQexecParams(conn_, Numbered(sql).c_str(), static_cast<int>(values.size()),
                                    nullptr, values.data(), nullptr, nullptr, 0));
  const ExecStatusType state = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (state != PGRES_COMMAND_OK && state != PGRES_TUPLES_OK) {
    const char* code = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    const TStoreError error = PQstatus(conn_) == CONNECTION_BAD ? TStoreError::Unreachable
                                                                : ErrorOfState(code ? code : "");
    return Failure(error, OneLine(PQerrorMessage(conn_)));
  }
  if (changed) *changed = std::atoll(PQcmdTuples(result.get()));
  for (int r = 0; rows && r < PQntuples(result.get()); ++r) {
    TSqlRow& row = rows->emplace_back();
    for (int c = 0; c < PQnfields(result.get()); ++c)
      row.push_back(ColumnValue(result.get(), r, c));
  }
  return {};
}

TStoreStatus TPostgresConnection::BeginRead() {
  return Exec("BEGIN ISOLATION LEVEL REPEATABLE READ", {}, nullptr);
}

void TPostgresConnection::Rollback() {
  if (PQtransactionStatus(conn_) != PQTRANS_IDLE) PQclear(PQexec(conn_, "ROLLBACK"));
}

TStoreStatus TPostgresConnection::LockSchema() {
  return Exec("SELECT pg_advisory_xact_lock(?::bigint)", {kSchemaLockKey}, nullptr);
}

}  // namespace doz::results
