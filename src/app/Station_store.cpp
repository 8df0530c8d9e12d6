#include "Station_store.h"

#include <QMetaObject>

#include "Results_store.h"

namespace doz {

using namespace results;

struct TStationStore::TSlot {
  std::unique_ptr<TResultsStore> store;
};

namespace {

TStationView ViewOf(TResultsStore* store, const std::string& criteria) {
  TStationView view;
  if (!store) {
    view.Read = {TStoreError::BadLocation, "no results store given"};
    return view;
  }
  std::vector<TResultRow> rows;
  view.Read = store->Rows({}, rows);
  for (TResultRow& row : rows)
    if (row.Criteria == criteria) view.Rows.push_back(std::move(row));
  view.Waiting = store->Waiting();
  return view;
}

}  // namespace

TStationStore::TStationStore(QObject* parent) : QObject(parent), slot_(std::make_shared<TSlot>()) {
  pool_.setMaxThreadCount(1);
}

TStationStore::~TStationStore() { pool_.waitForDone(); }

template <typename T>
void TStationStore::Call(std::function<T(TSlot&)> work, std::function<void(const T&)> done) {
  pool_.start([this, slot = slot_, work = std::move(work), done = std::move(done)] {
    T answer = work(*slot);
    // This object outlives the work (its destructor waits for it); the
    // answer is dropped if it goes before the answer is delivered.
    QMetaObject::invokeMethod(
        this, [done, answer = std::move(answer)] { done(answer); }, Qt::QueuedConnection);
  });
}

void TStationStore::SetLocation(const std::string& location) {
  pool_.start([slot = slot_, location] {
    slot->store = location.empty() ? nullptr : std::make_unique<TResultsStore>(location);
  });
}

void TStationStore::Record(const TResultRow& row, const std::string& criteria,
                           std::function<void(const TStationView&)> done) {
  Call<TStationView>(
      [row, criteria](TSlot& slot) {
        TStationView view;
        if (slot.store) {
          const station::TRecordResult record = station::RecordRow(*slot.store, row);
          view = ViewOf(slot.store.get(), criteria);
          view.Record = record;
        } else {
          view = ViewOf(nullptr, criteria);
          view.Record = {station::TRowFate::Lost, view.Read, 0};
        }
        return view;
      },
      std::move(done));
}

void TStationStore::Refresh(const std::string& criteria,
                            std::function<void(const TStationView&)> done) {
  Call<TStationView>(
      [criteria](TSlot& slot) {
        if (slot.store) slot.store->Flush();
        return ViewOf(slot.store.get(), criteria);
      },
      std::move(done));
}

void TStationStore::Known(const std::string& serial, std::function<void(bool)> done) {
  Call<bool>(
      [serial](TSlot& slot) {
        std::vector<TResultRow> rows;
        TRowFilter filter;
        filter.Serial = serial;
        return slot.store && slot.store->Rows(filter, rows).Ok() && !rows.empty();
      },
      std::move(done));
}

}  // namespace doz
