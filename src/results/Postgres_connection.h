// A PostgreSQL server as a results store, through libpq. The connection
// string is given to libpq whole (so ~/.pgpass, PGPASSFILE and the other
// PG* variables work as everywhere); every message it composes is scrubbed
// of the password before it leaves.
#pragma once

#include <memory>
#include <string>

#include "Sql_connection.h"

struct pg_conn;

namespace doz::results {

class TPostgresConnection : public TSqlConnection {
 public:
  ~TPostgresConnection() override;
  static TStoreStatus Open(const std::string& location, const TStoreOptions& options,
                           std::unique_ptr<TSqlConnection>& connection);

  TStoreStatus Exec(std::string_view sql, const std::vector<TSqlValue>& params,
                    std::int64_t* changed) override;
  TStoreStatus Query(std::string_view sql, const std::vector<TSqlValue>& params,
                     std::vector<TSqlRow>& rows) override;
  TStoreStatus BeginWrite() override { return Exec("BEGIN", {}, nullptr); }
  TStoreStatus BeginRead() override;
  TStoreStatus Commit() override { return Exec("COMMIT", {}, nullptr); }
  void Rollback() override;
  // A transaction-scoped advisory lock that every store of this kind takes.
  TStoreStatus LockSchema() override;

 private:
  explicit TPostgresConnection(const std::string& location);
  TStoreStatus Run(std::string_view sql, const std::vector<TSqlValue>& params,
                   std::vector<TSqlRow>* rows, std::int64_t* changed);
  TStoreStatus Failure(TStoreError error, const std::string& text) const;

  std::string location_;
  pg_conn* conn_ = nullptr;
};

}  // namespace doz::results
