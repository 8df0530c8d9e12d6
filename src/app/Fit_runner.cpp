#include "Fit_runner.h"

#include <QtConcurrent/QtConcurrentRun>

namespace doz {

using namespace analysis;

TFitOutcome RunFit(const std::vector<TImpedanceSample>& samples,
                   const std::optional<TCircuitModel>& model, std::uint64_t key,
                   std::stop_token stop) {
  const auto start = std::chrono::steady_clock::now();
  TAnalysisRequest request;
  request.Model = model;
  request.Stop = std::move(stop);
  TFitOutcome outcome{key, Analyze(samples, request), {}};
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

TFitRunner::~TFitRunner() { stop_.request_stop(); }

void TFitRunner::Start(std::vector<TImpedanceSample> samples, std::optional<TCircuitModel> model,
                       std::uint64_t key) {
  stop_.request_stop();
  stop_ = std::stop_source();
  running_ = true;
  // The task holds its own copy of the samples: it may outlive the window.
  watcher_.setFuture(QtConcurrent::run(
      [samples = std::move(samples), model = std::move(model), key, stop = stop_.get_token()] {
        return RunFit(samples, model, key, stop);
      }));
}

}  // namespace doz
