// How a call to the results store went: a kind the caller can act on and a
// one-line message for people. Every message names the store by its masked
// description, so no password ever reaches a log or a window.
#pragma once

#include <string>

namespace doz::results {

enum class TStoreError {
  None,
  BadLocation,   // neither a file path nor a postgresql:// connection string
  Missing,       // no store file there, and creating one was not asked for
  Unreachable,   // the server or the file cannot be reached or opened
  Busy,          // locked by another writer beyond the wait allowed
  Full,          // no space left
  ReadOnly,      // the store refuses writes
  SchemaTooNew,  // made by a newer program: left alone
  InvalidRow,    // the row itself is wrong; storing it again will not help
  Queue,         // the local queue file cannot be read or written
  Other,         // any other refusal of the database
};

struct TStoreStatus {
  TStoreError Error = TStoreError::None;
  std::string Message;

  bool Ok() const { return Error == TStoreError::None; }
};

}  // namespace doz::results
