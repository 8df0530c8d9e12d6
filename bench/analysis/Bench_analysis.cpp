// doz-bench-analysis: ChooseCircuit (every circuit fitted, the simplest that
// explains the data kept) on the 556 points of band 1, for a known circuit
// of each kind with the unit's noise; the median of several runs each, and
// whether the circuit that made the data was chosen.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Circuit_fit.h"
#include "Synthetic_sweep.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kRuns = 11;
constexpr double kTargetMs = 200.0;

}  // namespace

int main() {
  using namespace doz::analysis;
  double slowest = 0;
  for (const char* text : doz::test::kKnownCircuits) {
    std::string error;
    const auto circuit = TCircuit::Parse(text, error);
    if (!circuit) {
      std::fprintf(stderr, "doz-bench-analysis: %s: %s\n", text, error.c_str());
      return 1;
    }
    const auto samples = SamplesOf(doz::test::SyntheticSweep(*circuit), 1);
    std::vector<double> ms;
    bool chosen = true;
    for (int run = 0; run < kRuns; ++run) {
      const auto start = TClock::now();
      const TChoiceResult result = ChooseCircuit(samples);
      ms.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
      const auto* choice = std::get_if<TModelChoice>(&result);
      chosen = chosen && choice && choice->Chosen.Circuit.Kind() == circuit->Kind();
    }
    std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
    const double median = ms[kRuns / 2];
    slowest = std::max(slowest, median);
    std::printf("auto fit, %-33s %zu points: median %.1f ms of %d runs, %s\n", text, samples.size(),
                median, kRuns, chosen ? "chose it" : "CHOSE ANOTHER CIRCUIT");
  }
  std::printf("auto fit on 556 points, slowest median: %.1f ms (target under %.0f ms)\n", slowest,
              kTargetMs);
  return 0;
}
