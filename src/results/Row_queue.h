// The local queue of rows that could not reach their store: one file of
// encoded rows, appended durably (written and synced before Append returns)
// and emptied in order by Flush, which removes the flushed rows by an atomic
// replacement of the file. A lock file beside it (never removed, so every
// process locks the same one) orders appends and flushes between processes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "Result_row.h"
#include "Store_status.h"

namespace doz::results {

struct TQueueFlush {
  std::size_t Written = 0;  // rows the store took
  std::size_t Waiting = 0;  // rows still in the queue
  std::size_t Damaged = 0;  // lines that held no row (a crash cut them short), dropped
  TStoreStatus Status;      // why the flush stopped early, or the queue's own failure
};

class TRowQueue {
 public:
  // makeFolder: make the queue's folder when it is missing.
  TRowQueue(std::string path, bool makeFolder) : path_(std::move(path)), makeFolder_(makeFolder) {}

  const std::string& Path() const { return path_; }
  TStoreStatus Append(const TResultRow& row) const;
  // The rows waiting now; 0 when the file is absent or unreadable.
  std::size_t Waiting() const;
  // Gives the waiting rows to write one by one, oldest first, until it fails
  // for one; that one and all after it stay queued.
  TQueueFlush Flush(const std::function<TStoreStatus(const TResultRow&)>& write) const;

 private:
  TStoreStatus Failure(const std::string& what) const;
  TStoreStatus Rewrite(const std::string& kept) const;

  std::string path_;
  bool makeFolder_;
};

}  // namespace doz::results
