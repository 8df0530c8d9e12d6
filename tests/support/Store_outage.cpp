#include "Store_outage.h"

#include "Postgres_server.h"

namespace doz::test {

TOutage::TOutage(results::TStoreKind kind, const std::string& location) : kind_(kind) {
  if (kind == results::TStoreKind::Postgres) {
    began_ = SharedPostgres().Stop();
    return;
  }
  lock_ = std::make_unique<TRawStore>(location);
  began_ = lock_->Exec("BEGIN EXCLUSIVE");
}

void TOutage::End() {
  if (kind_ == results::TStoreKind::Postgres) SharedPostgres().Start();
  lock_.reset();
}

}  // namespace doz::test
