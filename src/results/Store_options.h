// What a results store may be told beyond its location.
#pragma once

#include <string>

namespace doz::results {

struct TStoreOptions {
  // How long a SQLite writer waits for another's lock before the row goes
  // to the queue; a cancelling deadline, not a pace.
  int BusyTimeoutMs = 1000;
  // A server's connection time-out when the connection string sets none.
  int ConnectTimeoutSeconds = 5;
  // Make a missing SQLite file (a reader such as doz-cli results says no).
  bool CreateFile = true;
  // The folder of the queues of server stores; empty: the user's state folder.
  std::string QueueFolder;
};

}  // namespace doz::results
