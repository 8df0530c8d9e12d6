// A SQLite file as a results store: write-ahead logging, so that readers
// never stop a writer; full syncs, so that a committed row survives a power
// cut; and a bounded wait for another writer's lock.
#pragma once

#include <memory>
#include <string>

#include "Sql_connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace doz::results {

class TSqliteConnection : public TSqlConnection {
 public:
  ~TSqliteConnection() override;
  static TStoreStatus Open(const std::string& path, const TStoreOptions& options,
                           std::unique_ptr<TSqlConnection>& connection);

  TStoreStatus Exec(std::string_view sql, const std::vector<TSqlValue>& params,
                    std::int64_t* changed) override;
  TStoreStatus Query(std::string_view sql, const std::vector<TSqlValue>& params,
                     std::vector<TSqlRow>& rows) override;
  TStoreStatus BeginWrite() override { return Exec("BEGIN IMMEDIATE", {}, nullptr); }
  TStoreStatus BeginRead() override { return Exec("BEGIN", {}, nullptr); }
  TStoreStatus Commit() override { return Exec("COMMIT", {}, nullptr); }
  void Rollback() override;
  // BEGIN IMMEDIATE holds the one writer's lock already.
  TStoreStatus LockSchema() override { return {}; }

 private:
  explicit TSqliteConnection(std::string path) : path_(std::move(path)) {}
  TStoreStatus Configure(const TStoreOptions& options);
  // Prepares and binds; the statement is finalised by the caller.
  TStoreStatus Prepare(std::string_view sql, const std::vector<TSqlValue>& params,
                       sqlite3_stmt*& statement);
  TStoreStatus Failure(int code) const;

  std::string path_;
  sqlite3* db_ = nullptr;
};

}  // namespace doz::results
