// The station window's results store on a thread of its own: a store that
// cannot be reached spends its time-outs there, never on the window's
// thread. Calls run one after another in the order they are made, each on
// the same store object, and answer on the window's thread.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Part_record.h"
#include "Result_row.h"

namespace doz {

struct TStationView {
  station::TRecordResult Record;          // of Record() alone
  std::vector<results::TResultRow> Rows;  // the store's rows of the criteria, oldest first
  results::TStoreStatus Read;             // how reading them went
  std::size_t Waiting = 0;                // rows in the local queue
};

class TStationStore : public QObject {
  Q_OBJECT

 public:
  explicit TStationStore(QObject* parent = nullptr);
  // Waits for the calls made so far (each bounded by the store's time-outs).
  ~TStationStore() override;

  // Every later call works on this store (a file path or a connection string).
  void SetLocation(const std::string& location);
  // The row into the store (through its queue), then the criteria's rows.
  void Record(const results::TResultRow& row, const std::string& criteria,
              std::function<void(const TStationView&)> done);
  // The criteria's rows, the queue flushed first.
  void Refresh(const std::string& criteria, std::function<void(const TStationView&)> done);
  // Whether the store holds a row of the serial number (false when it
  // cannot be read).
  void Known(const std::string& serial, std::function<void(bool)> done);

 private:
  struct TSlot;
  // Runs work on the store's thread and hands its answer to done here.
  template <typename T>
  void Call(std::function<T(TSlot&)> work, std::function<void(const T&)> done);

  QThreadPool pool_;
  std::shared_ptr<TSlot> slot_;
};

}  // namespace doz
