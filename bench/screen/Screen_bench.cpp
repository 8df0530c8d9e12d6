// doz-bench-screen: band-1 sweeps of the real doz on a private X server,
// from the paced simulated unit, started from the keyboard: what the window
// costs in CPU while it draws every point, and how close the sweep comes to
// the protocol's minimum, timed by the unit's own record of the commands.
// The unit releases its bytes in the 2 ms bursts of a USB adapter, and then
// one at a time, each at its own wire time, as a motherboard's UART hands
// them over. A virtual machine's CPU figures wander from run to run: the
// median of a few sweeps, each in a freshly started doz, is reported with its
// range.
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Protocol_bytes.h"
#include "Screen_rig.h"
#include "Xvfb_display.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kBand = 1;
constexpr double kCpuTarget = 0.02;
constexpr double kRatioTarget = 1.03;
constexpr int kTimeoutS = 60;
constexpr int kSweeps = 5;
// After the release the window still decodes, smooths and redraws.
constexpr auto kFinishGrace = std::chrono::milliseconds(500);

// Time every thread of a process has run, in seconds, from the scheduler's
// own nanosecond counts (finer than the clock ticks of /proc/PID/stat).
double CpuSeconds(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double seconds = 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream stat(task.path() / "schedstat");
    long long ns = 0;
    if (stat >> ns) seconds += double(ns) * 1e-9;
  }
  return seconds;
}

double FirstCommandTime(const std::string& trace) {
  std::istringstream lines(trace);
  double at = 0;
  return lines >> at ? at : 0;
}

double Seconds(TClock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

struct TSweepFigures {
  double sweep = 0;  // first command heard to the release heard
  double cpu = 0;    // doz's run time from the keys to the finished graph
  double wall = 0;
  double endCpu = 0;  // doz's run time from the keys to the end mark
  double endWall = 0;
};

double FinishedShare(const TSweepFigures& f) { return f.cpu / f.wall; }
double EndShare(const TSweepFigures& f) { return f.endCpu / f.endWall; }

// One sweep in a freshly started doz; false when it did not run. The end
// mark is taken as the release the window sends on reading it.
bool MeasureSweep(const std::string& display, const std::vector<std::string>& unitArgs,
                  TSweepFigures& figures) {
  doz::test::TScreenRig rig(display, unitArgs);
  if (!rig.Ready()) {
    std::fprintf(stderr, "doz-bench-screen: the window did not come up\n");
    return false;
  }
  const double cpuBefore = CpuSeconds(rig.DozPid());
  const TClock::time_point keys = TClock::now();
  rig.StartSweep();
  while (rig.ReleaseTime() == 0.0 && TClock::now() - keys < std::chrono::seconds(kTimeoutS))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (rig.ReleaseTime() == 0.0) {
    std::fprintf(stderr, "doz-bench-screen: the sweep did not end:\n%s", rig.Trace().c_str());
    return false;
  }
  figures.endCpu = CpuSeconds(rig.DozPid()) - cpuBefore;
  figures.endWall = Seconds(TClock::now()) - Seconds(keys);
  std::this_thread::sleep_until(keys + std::chrono::duration_cast<TClock::duration>(
                                           std::chrono::duration<double>(rig.ReleaseTime() - Seconds(keys))) +
                                kFinishGrace);
  figures.cpu = CpuSeconds(rig.DozPid()) - cpuBefore;
  figures.wall = Seconds(TClock::now()) - Seconds(keys);
  figures.sweep = rig.ReleaseTime() - FirstCommandTime(rig.Trace());
  return true;
}

template <typename TKey>
void SortBy(std::vector<TSweepFigures>& runs, TKey key) {
  std::sort(runs.begin(), runs.end(),
            [&](const TSweepFigures& a, const TSweepFigures& b) { return key(a) < key(b); });
}

// kSweeps sweeps of the unit with these options; empty when one failed.
std::vector<TSweepFigures> MeasureSweeps(const std::string& display,
                                         const std::vector<std::string>& unitArgs) {
  std::vector<TSweepFigures> runs(kSweeps);
  for (TSweepFigures& run : runs)
    if (!MeasureSweep(display, unitArgs, run)) return {};
  return runs;
}

void PrintCpuShare(const char* what, std::vector<TSweepFigures> runs,
                   double (*share)(const TSweepFigures&), bool toEnd) {
  SortBy(runs, share);
  const TSweepFigures& median = runs[kSweeps / 2];
  std::printf("doz CPU, %s, from the start keys to %s, median of %d sweeps: %.3f s over %.3f s = "
              "%.2f %% of one core (range %.2f to %.2f %%; target at most %.0f %%)\n",
              what, toEnd ? "the end mark" : "the finished graph", kSweeps,
              toEnd ? median.endCpu : median.cpu, toEnd ? median.endWall : median.wall,
              100.0 * share(median), 100.0 * share(runs.front()), 100.0 * share(runs.back()),
              100.0 * kCpuTarget);
}

}  // namespace

int main(int argc, char** argv) {
  doz::test::TXvfbDisplay display;
  if (display.Name().empty() || !doz::test::OnPath("xdotool")) {
    std::fprintf(stderr, "doz-bench-screen: needs Xvfb and xdotool (scripts/setup-deps)\n");
    return 1;
  }
  qputenv("DISPLAY", display.Name().c_str());
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  std::vector<TSweepFigures> runs = MeasureSweeps(display.Name(), {});
  if (runs.empty()) return 1;
  const std::vector<TSweepFigures> bytewise = MeasureSweeps(display.Name(), {"--burst", "0"});
  if (bytewise.empty()) return 1;

  // From the first command heard to the release heard: every byte but the
  // first command's and the release's reply.
  const std::size_t bytes = doz::bench::ProtocolBytes(kBand) - 2 - 3;
  const double minimum = doz::bench::WireSeconds(bytes) + doz::bench::kIdentityWait;
  SortBy(runs, [](const TSweepFigures& f) { return f.sweep; });
  const TSweepFigures& slowest = runs.back();
  std::printf("band-1 sweep on a real X server (Xvfb), first command to release, slowest of %d: "
              "%.3f s / protocol minimum %.3f s = ratio %.4f (target at most %.2f)\n",
              kSweeps, slowest.sweep, minimum, slowest.sweep / minimum, kRatioTarget);
  PrintCpuShare("bytes in 2 ms bursts", runs, FinishedShare, false);
  PrintCpuShare("bytes one at a time", bytewise, EndShare, true);
  return 0;
}
