// Analyses on Qt's thread pool: the automatic choice fits every preset, so
// the window never fits on its own thread; it hears of the outcome through
// OnFinished. A new fit stops the one it replaces.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

#include "Analysis_report.h"

namespace doz {

struct TFitOutcome {
  std::uint64_t Key = 0;  // what the caller keyed the samples with
  analysis::TAnalysisReport Report;
  std::chrono::microseconds Elapsed{0};
};

// The analysis itself, on the calling thread: of one circuit, or the
// automatic choice when `model` is empty.
TFitOutcome RunFit(const std::vector<analysis::TImpedanceSample>& samples,
                   const std::optional<analysis::TCircuitModel>& model, std::uint64_t key,
                   std::stop_token stop = {});

class TFitRunner : public QObject {
  Q_OBJECT

 public:
  // A fit still running when the runner goes is asked to stop; its outcome
  // is dropped.
  explicit TFitRunner(QObject* parent = nullptr);
  ~TFitRunner() override;

  // Starts RunFit on the pool. A fit still running is asked to stop: only
  // the newest one reports.
  void Start(std::vector<analysis::TImpedanceSample> samples,
             std::optional<analysis::TCircuitModel> model, std::uint64_t key);
  bool Running() const { return running_; }

  // On the thread that owns the runner, once per fit that is not replaced.
  std::function<void(const TFitOutcome&)> OnFinished;

 private:
  QFutureWatcher<TFitOutcome> watcher_;
  std::stop_source stop_;
  bool running_ = false;
};

}  // namespace doz
