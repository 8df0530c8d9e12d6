// The few things the store asks of a database, so that the schema, the
// migrations and the row statements are written once for both back ends.
// Every value reaches the database as a bound parameter: statements are
// fixed text with "?" where a value goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Store_options.h"
#include "Store_status.h"

namespace doz::results {

// NULL, text, a double or an integer.
using TSqlValue = std::variant<std::monostate, std::string, double, std::int64_t>;
using TSqlRow = std::vector<TSqlValue>;

class TSqlConnection {
 public:
  virtual ~TSqlConnection() = default;

  // Runs one statement with its parameters; changed counts the rows it
  // inserted, updated or deleted.
  virtual TStoreStatus Exec(std::string_view sql, const std::vector<TSqlValue>& params,
                            std::int64_t* changed = nullptr) = 0;
  virtual TStoreStatus Query(std::string_view sql, const std::vector<TSqlValue>& params,
                             std::vector<TSqlRow>& rows) = 0;
  // A transaction that will write, taking the writer's lock at once.
  virtual TStoreStatus BeginWrite() = 0;
  // A transaction that sees one state of the store throughout.
  virtual TStoreStatus BeginRead() = 0;
  virtual TStoreStatus Commit() = 0;
  virtual void Rollback() = 0;
  // Inside a write transaction: keeps any other writer from changing the
  // schema until it ends.
  virtual TStoreStatus LockSchema() = 0;
};

// Connects to the location's store. The status names the store by its
// masked description.
TStoreStatus Connect(const std::string& location, const TStoreOptions& options,
                     std::unique_ptr<TSqlConnection>& connection);

// Typed reads of a result value: text empty, number 0 and limit nothing for NULL.
std::string TextOf(const TSqlValue& value);
double NumberOf(const TSqlValue& value);
bool IsNull(const TSqlValue& value);

}  // namespace doz::results
