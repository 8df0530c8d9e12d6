// Makes a results store unreachable for as long as the object lives: another
// connection holds the SQLite file's write lock, or the test program's
// server is stopped (and started again at the end).
#pragma once

#include <memory>
#include <string>

#include "Raw_store.h"
#include "Store_location.h"

namespace doz::test {

class TOutage {
 public:
  TOutage(results::TStoreKind kind, const std::string& location);
  ~TOutage() { End(); }
  TOutage(const TOutage&) = delete;
  TOutage& operator=(const TOutage&) = delete;

  bool Began() const { return began_; }
  void End();

 private:
  results::TStoreKind kind_;
  std::unique_ptr<TRawStore> lock_;
  bool began_ = false;
};

}  // namespace doz::test
