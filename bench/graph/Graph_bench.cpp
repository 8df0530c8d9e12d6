// Cost of the graph on the largest window (paint box 1140 x 904): a full
// redraw with a 556-point measurement and five 556-point references, and
// one new segment of a running sweep.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "Curve_stats.h"
#include "Graph_rig.h"
#include "Sample_curves.h"

namespace doz {
namespace {

struct TBenchGraph : test::TGraphRig {
  TBenchGraph() : TGraphRig(1, 1140, 904) {
    test::FillSpeaker(meas, 1, test::TSpeaker{});
    for (int k = 0; k < REF_MAX; ++k)
      test::FillSpeaker(refs[k], 1,
                        test::TSpeaker{1400.0 + 100 * k, 8000.0 + 700 * k, 40.0 + 4 * k});
    const TCurveStats stats = MeasuredCurveStats(meas, 1);
    range.MaxR = stats.maxR;
    range.MinR = stats.minR;
    range.MaxTheta = stats.maxAbsPhase;
    range.MinTheta = -range.MaxTheta;
    owner.show();
  }
};

// Lives in main, inside the application's lifetime.
TBenchGraph* gBench = nullptr;

TBenchGraph& Bench() { return *gBench; }

void BM_FullRedraw(benchmark::State& state) {
  TBenchGraph& b = Bench();
  for (auto _ : state) {
    b.graph->Clear();
    b.graph->DrawAll();
  }
  state.SetLabel("target: median under 4 ms");
}
BENCHMARK(BM_FullRedraw)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_OneSegment(benchmark::State& state) {
  TBenchGraph& b = Bench();
  b.graph->Clear();
  int k = 1;
  for (auto _ : state) {
    b.graph->DrawMeasurementSegment(k);
    k = k == 555 ? 1 : k + 1;
  }
  state.SetLabel("target: median under 0.3 ms");
}
BENCHMARK(BM_OneSegment)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace doz

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  doz::TBenchGraph bench;
  doz::gBench = &bench;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
