#include "Fit_runner.h"

#include <QtConcurrent/QtConcurrentRun>

namespace doz {

using namespace analysis;

TFitOutcome RunFit(const std::vector<TImpedanceSample>& samples, std::optional<TCircuitKind> kind,
                   std::uint64_t key) {
  const auto start = std::chrono::steady_clock::now();
  TFitOutcome outcome;
  outcome.Key = key;
  outcome.Automatic = !kind;
  outcome.Result = kind ? FitCircuit(samples, *kind) : ChosenFit(ChooseCircuit(samples));
  outcome.Elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  return outcome;
}

TFitRunner::TFitRunner(QObject* parent) : QObject(parent) {
  connect(&watcher_, &QFutureWatcher<TFitOutcome>::finished, this, [this] {
    running_ = false;
    if (OnFinished) OnFinished(watcher_.result());
  });
}

void TFitRunner::Start(std::vector<TImpedanceSample> samples, std::optional<TCircuitKind> kind,
                       std::uint64_t key) {
  running_ = true;
  // The task holds its own copy of the samples: it may outlive the window.
  watcher_.setFuture(QtConcurrent::run(
      [samples = std::move(samples), kind, key] { return RunFit(samples, kind, key); }));
}

}  // namespace doz
