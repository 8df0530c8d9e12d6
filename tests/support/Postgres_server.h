// A PostgreSQL server of the test program's own: a cluster made with
// initdb in a temporary folder, listening only on a Unix socket there, with
// password authentication. Run as the user "postgres" when the tests run as
// root (the server refuses root). Stopped and its folder removed with the
// object, whether the tests passed or not.
#pragma once

#include <string>
#include <vector>

namespace doz::test {

class TPostgresServer {
 public:
  TPostgresServer();
  ~TPostgresServer();
  TPostgresServer(const TPostgresServer&) = delete;
  TPostgresServer& operator=(const TPostgresServer&) = delete;

  bool Running() const { return running_; }
  // Why there is no server (for the skip message).
  const std::string& Why() const { return why_; }
  // A new empty database; its connection string, password included.
  std::string NewDatabase();
  std::string Url(const std::string& database) const;
  static constexpr const char* kPassword = "Kp7-station-Wv2";

  bool Stop();
  bool Start();

 private:
  bool Run(const std::vector<std::string>& args);
  bool MakeCluster();

  std::string bin_;
  std::string folder_;
  bool asPostgres_ = false;
  bool running_ = false;
  int databases_ = 0;
  std::string why_;
};

// The one server of this test program, started at first use.
TPostgresServer& SharedPostgres();

}  // namespace doz::test
