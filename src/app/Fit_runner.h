// Circuit fits on Qt's thread pool. One circuit takes the library up to
// 150 ms and the automatic choice fits all six, so the window never fits on
// its own thread; it hears of the outcome through OnFinished.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "Circuit_fit.h"

namespace doz {

struct TFitOutcome {
  std::uint64_t Key = 0;   // what the caller keyed the samples with
  bool Automatic = false;  // the choice among all circuits
  analysis::TFitResult Result = analysis::TFitRefusal::NoPoints;
  std::chrono::microseconds Elapsed{0};
};

// The fit itself, on the calling thread: one circuit, or every circuit and
// the one ChooseCircuit keeps when `kind` is empty.
TFitOutcome RunFit(const std::vector<analysis::TImpedanceSample>& samples,
                   std::optional<analysis::TCircuitKind> kind, std::uint64_t key);

class TFitRunner : public QObject {
  Q_OBJECT

 public:
  // A fit still running when the runner goes finishes on its own; its
  // outcome is dropped.
  explicit TFitRunner(QObject* parent = nullptr);

  // Starts RunFit on the pool. A fit still running is abandoned: only the
  // newest one reports.
  void Start(std::vector<analysis::TImpedanceSample> samples,
             std::optional<analysis::TCircuitKind> kind, std::uint64_t key);
  bool Running() const { return running_; }

  // On the thread that owns the runner, once per fit that is not abandoned.
  std::function<void(const TFitOutcome&)> OnFinished;

 private:
  QFutureWatcher<TFitOutcome> watcher_;
  bool running_ = false;
};

}  // namespace doz
