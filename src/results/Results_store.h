// The results store of the inspection station: one row per part, kept in a
// SQLite file or on a PostgreSQL server, chosen by the location text (see
// Store_location.h). When the store cannot be reached or written, a row
// waits in a local queue file and reaches the store with the next open or
// write, or with doz-cli results. Nothing here throws; every call reports a
// typed status whose message never holds a password.
//
// One object serves one thread. Several objects, in one process or many,
// may write the same store at once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Result_row.h"
#include "Row_queue.h"
#include "Row_sql.h"
#include "Store_options.h"
#include "Store_status.h"

namespace doz::results {

class TSqlConnection;

enum class TWriteOutcome {
  Written,  // in the store (or there already, from an earlier try)
  Queued,   // in the local queue, durably; Status says why the store refused
  Refused,  // the row is not storable (InvalidRow): fix the caller
  Failed,   // neither the store nor the queue took it
};

struct TWriteResult {
  TWriteOutcome Outcome = TWriteOutcome::Failed;
  TStoreStatus Status;
};

class TResultsStore {
 public:
  explicit TResultsStore(std::string location, TStoreOptions options = {});
  ~TResultsStore();
  TResultsStore(const TResultsStore&) = delete;
  TResultsStore& operator=(const TResultsStore&) = delete;

  // Connects, creates or migrates the tables and flushes the queue. After a
  // failure the object stays usable: writes queue, and every later call
  // tries the store again.
  TStoreStatus Open();
  // The queue first (in order), then the row, in one transaction. After a
  // connection the server dropped (a restart), one new one is tried.
  TWriteResult Write(const TResultRow& row);
  // Only into the local queue, durably; Flush then takes it to the store. A
  // process that ends between the two leaves the row waiting, not lost.
  // Refused for a row that is not storable, Failed when the queue cannot
  // take it.
  TWriteResult Enqueue(const TResultRow& row);
  // Sends the queued rows to the store; LastFlush() gives the result too.
  TQueueFlush Flush();
  // The rows that pass the filter, oldest first (the queue stays as it is).
  TStoreStatus Rows(const TRowFilter& filter, std::vector<TResultRow>& rows);

  // Rows waiting in the queue now, for the window to show.
  std::size_t Waiting() const;
  const TQueueFlush& LastFlush() const { return lastFlush_; }
  // The location with any password masked: the only form to show or log.
  std::string Description() const;
  // Empty when the location names no store.
  std::string QueuePath() const;

 private:
  TStoreStatus Connected();
  // The queue, then the row.
  TStoreStatus Store(const TResultRow& row);
  TStoreStatus Select(const TRowFilter& filter, std::vector<TResultRow>& rows);
  // A row that cannot be stored as it is, refused.
  std::optional<TWriteResult> Refusal(const TResultRow& row) const;
  // Drops the connection after a failure, so that the next call reconnects.
  TStoreStatus Checked(TStoreStatus status);

  std::string location_;
  TStoreOptions options_;
  std::optional<TRowQueue> queue_;
  std::unique_ptr<TSqlConnection> connection_;
  TQueueFlush lastFlush_;
};

}  // namespace doz::results
