// A plain connection to a results store beside the library under test, to
// make what the library must cope with (a store of an older version, a
// writer's lock held) and to look at what it wrote.
#pragma once

#include <optional>
#include <string>

struct sqlite3;
struct pg_conn;

namespace doz::test {

class TRawStore {
 public:
  // A SQLite file path or a postgresql:// connection string.
  explicit TRawStore(const std::string& location);
  ~TRawStore();
  TRawStore(const TRawStore&) = delete;
  TRawStore& operator=(const TRawStore&) = delete;

  // Runs statements (several, separated by ";"); false with Error() set.
  bool Exec(const std::string& sql);
  // The first column of the first row as text; nothing for no row or NULL.
  std::optional<std::string> Value(const std::string& sql);
  const std::string& Error() const { return error_; }

 private:
  sqlite3* sqlite_ = nullptr;
  pg_conn* pg_ = nullptr;
  std::string error_;
};

}  // namespace doz::test
