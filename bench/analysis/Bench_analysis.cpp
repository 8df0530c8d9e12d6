// doz-bench-analysis: fits on the 556 points of band 1 with the unit's
// noise: each preset alone on its own circuit, the automatic choice over
// every preset, and a circuit string of eight values; the median of several
// runs each, and whether the fit found the circuit that made the data. With
// doz-cli at hand, also files per second for 1,000 files in one call.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Analysis_report.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"

namespace {

using namespace doz::analysis;
using TClock = std::chrono::steady_clock;

constexpr int kRuns = 11;
constexpr double kPresetTargetMs = 1.0;
constexpr double kAutoTargetMs = 50.0;
constexpr double kStringTargetMs = 200.0;
constexpr int kFiles = 1000;
constexpr const char* kEightValues =
    "R1-L1-p(R2,L2-C2)-p(R3,L3,C3):R1=50,L1=2m,R2=5k,L2=0.1,C2=100n,R3=2k,L3=20m,C3=50n";

template <typename TCall>
double MedianMs(TCall call) {
  std::vector<double> ms;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = TClock::now();
    call();
    ms.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
  }
  std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
  return ms[kRuns / 2];
}

double WorstError(const TFitResult& result, const TCircuit& truth) {
  const auto* fit = std::get_if<TCircuitFit>(&result);
  if (!fit) return INFINITY;
  double worst = 0;
  for (std::size_t i = 0; i < truth.Values().size(); ++i)
    worst = std::max(worst, std::fabs(fit->Circuit.Values()[i] / truth.Values()[i] - 1.0));
  return worst;
}

void Fits() {
  double slowestPreset = 0, slowestAuto = 0;
  for (const char* text : doz::test::kKnownCircuits) {
    const TCircuit truth = doz::test::Circuit(text);
    const auto samples = SamplesOf(doz::test::SyntheticSweep(truth), 1);
    const TFitInput input = FitInputOf(samples);
    TFitResult alone = TFitRefusal::NoPoints;
    const double presetMs = MedianMs([&] { alone = FitCircuit(input, truth.Model()); });
    TChoiceResult choice = TFitRefusal::NoPoints;
    const double autoMs = MedianMs([&] { choice = ChooseCircuit(input); });
    const auto* chosen = std::get_if<TModelChoice>(&choice);
    slowestPreset = std::max(slowestPreset, presetMs);
    slowestAuto = std::max(slowestAuto, autoMs);
    std::printf("%-14s fit %.2f ms (worst value %.2f %% off), auto %.1f ms, %s\n",
                truth.Name().c_str(), presetMs, 100 * WorstError(alone, truth), autoMs,
                chosen && chosen->Chosen.Circuit.Name() == truth.Name() ? "chose it"
                                                                        : "CHOSE ANOTHER CIRCUIT");
  }
  std::printf("one preset's fit on 556 points, slowest median: %.2f ms (target %.0f ms)\n",
              slowestPreset, kPresetTargetMs);
  std::printf("auto over every preset, slowest median: %.1f ms (target %.0f ms)\n", slowestAuto,
              kAutoTargetMs);
  const TCircuit eight = doz::test::Circuit(kEightValues);
  const auto samples = SamplesOf(doz::test::SyntheticSweep(eight), 1);
  TFitResult fit = TFitRefusal::NoPoints;
  const double ms = MedianMs([&] { fit = FitCircuit(samples, eight.Model()); });
  std::printf("8-value circuit string %s: median %.1f ms (target %.0f ms), worst value %.2f %% off\n",
              eight.Model().Text().c_str(), ms, kStringTargetMs, 100 * WorstError(fit, eight));
}

#ifdef DOZ_CLI_EXE
// doz-cli analyze --json over 1,000 band-1 files in one call, output dropped.
void Files() {
  const doz::test::TTempDir dir;
  std::vector<std::string> args = {DOZ_CLI_EXE, "analyze", "--json"};
  const TCircuit coil = doz::test::Circuit("coil:R=6800,L=2.5,C=400p");
  for (int i = 0; i < kFiles; ++i) {
    args.push_back(dir.File("m" + std::to_string(i) + ".DTA"));
    if (!doz::test::WriteSyntheticFile(args.back(), coil, 1, {.Seed = std::uint64_t(i + 1)})) {
      std::printf("files: cannot write %s\n", args.back().c_str());
      return;
    }
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(stdout);  // else the child writes what is buffered once more
  const auto start = TClock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const double s = std::chrono::duration<double>(TClock::now() - start).count();
  std::printf("doz-cli analyze --json, %d band-1 files in one call: %.0f files/s (%.2f s)%s\n",
              kFiles, kFiles / s, s,
              WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : ", FAILED");
}
#endif

}  // namespace

int main() {
  Fits();
#ifdef DOZ_CLI_EXE
  Files();
#endif
  return 0;
}
