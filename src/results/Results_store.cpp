#include "Results_store.h"

#include "Sql_connection.h"
#include "Store_location.h"
#include "Store_schema.h"

namespace doz::results {

TResultsStore::TResultsStore(std::string location, TStoreOptions options)
    : location_(std::move(location)), options_(std::move(options)) {
  // A server's queue folder is the program's own to make; a file's is the
  // batch folder, which is not made for a queue alone.
  const auto path = QueuePathOf(location_, options_.QueueFolder);
  if (path) queue_.emplace(*path, KindOf(location_) == TStoreKind::Postgres);
}

TResultsStore::~TResultsStore() = default;

std::string TResultsStore::Description() const { return MaskedLocation(location_); }

std::string TResultsStore::QueuePath() const { return queue_ ? queue_->Path() : ""; }

std::size_t TResultsStore::Waiting() const { return queue_ ? queue_->Waiting() : 0; }

std::optional<TWriteResult> TResultsStore::Refusal(const TResultRow& row) const {
  const auto fault = RowFault(row);
  if (!fault) return std::nullopt;
  return TWriteResult{TWriteOutcome::Refused, {TStoreError::InvalidRow, Description() + ": " + *fault}};
}

TStoreStatus TResultsStore::Checked(TStoreStatus status) {
  if (!status.Ok()) connection_.reset();
  return status;
}

TStoreStatus TResultsStore::Connected() {
  if (!queue_) {
    return {TStoreError::BadLocation,
            location_.empty() ? "no results store given"
                              : Description() + ": not a connection string the client can read"};
  }
  if (connection_) return {};
  TStoreStatus status = Connect(location_, options_, connection_);
  if (status.Ok()) status = MigrateSchema(*connection_, Description());
  return Checked(status);
}

TStoreStatus TResultsStore::Open() {
  TStoreStatus status = Connected();
  if (status.Ok()) status = Flush().Status;
  return status;
}

TQueueFlush TResultsStore::Flush() {
  lastFlush_ = {};
  lastFlush_.Status = Connected();
  if (!lastFlush_.Status.Ok()) {
    lastFlush_.Waiting = Waiting();
    return lastFlush_;
  }
  lastFlush_ = queue_->Flush(
      [this](const TResultRow& row) { return Checked(InsertRow(*connection_, row)); });
  return lastFlush_;
}

TStoreStatus TResultsStore::Store(const TResultRow& row) {
  TStoreStatus status = Connected();
  if (status.Ok()) status = Flush().Status;
  if (status.Ok()) status = Checked(InsertRow(*connection_, row));
  return status;
}

TWriteResult TResultsStore::Write(const TResultRow& row) {
  if (auto refused = Refusal(row)) return *refused;
  const bool wasConnected = connection_ != nullptr;
  TStoreStatus status = Store(row);
  // A connection that the server dropped since the last part (a restart) is
  // made again once before the row goes to the queue.
  if (status.Error == TStoreError::Unreachable && wasConnected) status = Store(row);
  if (status.Ok()) return {TWriteOutcome::Written, {}};
  if (!queue_) return {TWriteOutcome::Failed, status};
  const TStoreStatus queued = queue_->Append(row);
  if (queued.Ok()) return {TWriteOutcome::Queued, status};
  return {TWriteOutcome::Failed, {queued.Error, status.Message + "; " + queued.Message}};
}

TWriteResult TResultsStore::Enqueue(const TResultRow& row) {
  if (auto refused = Refusal(row)) return *refused;
  if (!queue_) return {TWriteOutcome::Failed, Connected()};
  const TStoreStatus queued = queue_->Append(row);
  return {queued.Ok() ? TWriteOutcome::Queued : TWriteOutcome::Failed, queued};
}

TStoreStatus TResultsStore::Rows(const TRowFilter& filter, std::vector<TResultRow>& rows) {
  const bool wasConnected = connection_ != nullptr;
  TStoreStatus status = Select(filter, rows);
  if (status.Error == TStoreError::Unreachable && wasConnected) status = Select(filter, rows);
  return status;
}

TStoreStatus TResultsStore::Select(const TRowFilter& filter, std::vector<TResultRow>& rows) {
  rows.clear();
  TStoreStatus status = Connected();
  if (status.Ok()) status = Checked(SelectRows(*connection_, filter, rows));
  return status;
}

}  // namespace doz::results
