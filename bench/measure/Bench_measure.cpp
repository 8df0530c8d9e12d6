// doz-bench-measure: band-1 sweeps through the real main window, offscreen,
// driven by the real event loop and its idle pump from the start click to
// "測定終了しました". Against the paced simulated unit: how close the sweep
// comes to the protocol's minimum, the application's CPU share and its peak
// memory. Against the unpaced one: how many points a second are taken and
// drawn.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "Doz_main.h"
#include "Doz_setting.h"
#include "Protocol_bytes.h"
#include "Status_bar.h"
#include "Stderr_prompter.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kBand = 1;
constexpr double kRatioTarget = 1.03;
constexpr double kCpuShareTarget = 0.05;
constexpr double kPeakTargetMb = 120.0;
constexpr double kRateTarget = 1000.0;
constexpr int kTimeoutMs = 60000;
constexpr int kWatchMs = 10;  // how often the status is looked at: little CPU, little delay

const QString kFinished = QStringLiteral("測定終了しました");

double CpuSeconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
         double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e-6;
}

double PeakMegabytes() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return double(r.ru_maxrss) / 1024.0;
}

struct TSweepFigures {
  bool finished = false;
  double seconds = 0;    // start click to the finished text
  double receiving = 0;  // first step to the finished text
  double cpu = 0;
};

// One band-1 sweep of a window whose COM1 is the simulated unit.
TSweepFigures Sweep(bool paced) {
  doz::test::TTempDir dir;
  doz::test::TUnitsimProcess sim(paced ? std::vector<std::string>{}
                                       : std::vector<std::string>{"--fast"});
  TSweepFigures f;
  if (!sim.Started()) return f;
  std::filesystem::create_directories(dir.File("ports"));
  std::filesystem::create_symlink(sim.DevicePath(), dir.File("ports/com1"));
  doz::TStderrPrompter prompter;
  doz::TMainOptions options;
  options.appDir = dir.Path();
  options.prompter = &prompter;
  doz::TFormMain window(std::move(options));
  QEventLoop loop;
  QTimer watch;
  // The first idle pass loads the settings and shows the window.
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (!window.fFirstIdle) loop.quit();
  });
  watch.start(kWatchMs);
  loop.exec();
  watch.disconnect();
  window.ComboBox2->setCurrentIndex(kBand - 1);

  TClock::time_point start, receiving, end;
  double cpuStart = 0;
  QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
    if (window.StatusBar1->PanelText(1) != kFinished) return;
    end = TClock::now();
    loop.quit();
  });
  QTimer::singleShot(0, &loop, [&] {
    cpuStart = CpuSeconds();
    start = TClock::now();
    window.MStartBtnClick();
    receiving = TClock::now();
  });
  QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  f.cpu = CpuSeconds() - cpuStart;
  f.finished = window.StatusBar1->PanelText(1) == kFinished && window.MeasData.Present == 1;
  f.seconds = std::chrono::duration<double>(end - start).count();
  f.receiving = std::chrono::duration<double>(end - receiving).count();
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const TSweepFigures paced = Sweep(true);
  if (!paced.finished) {
    std::fprintf(stderr, "doz-bench-measure: the paced sweep did not finish\n");
    return 1;
  }
  const std::size_t bytes = doz::bench::ProtocolBytes(kBand);
  const double minimum = doz::bench::WireSeconds(bytes) + doz::bench::kIdentityWait;
  std::printf(
      "band-%d sweep, click to \"測定終了しました\": %.3f s / protocol minimum %.3f s "
      "(%zu bytes at 9600 baud + 0.1 s) = ratio %.4f (target at most %.2f)\n",
      kBand, paced.seconds, minimum, bytes, paced.seconds / minimum, kRatioTarget);
  std::printf(
      "application CPU during the sweep: %.3f s = %.2f %% of its time (target under %.0f %%)\n",
      paced.cpu, 100.0 * paced.cpu / paced.seconds, 100.0 * kCpuShareTarget);
  const TSweepFigures fast = Sweep(false);
  if (!fast.finished) {
    std::fprintf(stderr, "doz-bench-measure: the unpaced sweep did not finish\n");
    return 1;
  }
  const int points = doz::BandDataNum(kBand);
  std::printf(
      "unpaced unit: %d points taken and drawn in %.3f s = %.0f points/s (target at least %.0f)\n",
      points, fast.receiving, points / fast.receiving, kRateTarget);
  std::printf("peak resident memory: %.1f MB (target under %.0f MB)\n", PeakMegabytes(),
              kPeakTargetMb);
  return 0;
}
