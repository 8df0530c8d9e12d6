// doz-bench-app: how quickly the program shows its window, and what a full
// redraw of the largest window costs.
//
// Start-up: the real doz binary is started offscreen several times with
// DOZ_FIRST_PAINT_EXIT set, which makes it print the monotonic clock at its
// first finished paint and quit; the figure is the median time from the
// spawn to that paint. Redraw: a window of 1280 x 1024 holding a band-1
// measurement and five references, timed over FormResize and the repaint it
// causes. Idling: the CPU a shown window takes while nothing happens.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "File_answer_prompter.h"
#include "Sample_files.h"
#include "Temp_dir.h"

extern char** environ;

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kStarts = 7;
constexpr int kRedraws = 40;
constexpr double kStartTargetMs = 400.0;
constexpr double kRedrawTargetMs = 16.0;
constexpr double kIdleTargetMs = 50.0;
constexpr int kIdleMs = 2000;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::vector<std::string> ChildEnvironment(const std::string& runtimeDir) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
      env.push_back(entry);
  }
  env.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
  env.push_back("QT_QPA_PLATFORM=offscreen");
  env.push_back("DOZ_PROMPTS=stderr");
  env.push_back("DOZ_FIRST_PAINT_EXIT=1");
  return env;
}

// Milliseconds from the spawn to the first paint, or a negative value.
double OneStart(const std::string& runtimeDir) {
  std::vector<std::string> env = ChildEnvironment(runtimeDir);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return -1.0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* argv[] = {const_cast<char*>(DOZ_APP_PATH), nullptr};
  pid_t pid = -1;
  const TClock::time_point spawned = TClock::now();
  const int failed = posix_spawn(&pid, DOZ_APP_PATH, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string printed;
  char buffer[64];
  ssize_t n = 0;
  while (!failed && (n = read(out[0], buffer, sizeof buffer)) > 0) printed.append(buffer, n);
  close(out[0]);
  int status = 0;
  if (!failed) waitpid(pid, &status, 0);
  if (failed || printed.empty() || !WIFEXITED(status)) return -1.0;
  const TClock::time_point painted{std::chrono::nanoseconds(std::stoll(printed))};
  return std::chrono::duration<double, std::milli>(painted - spawned).count();
}

bool StartUp() {
  const doz::test::TTempDir runtime;
  std::vector<double> times;
  for (int i = 0; i < kStarts; ++i) {
    const double ms = OneStart(runtime.Path());
    if (ms < 0.0) {
      std::fprintf(stderr, "doz-bench-app: doz did not report its first paint\n");
      return false;
    }
    times.push_back(ms);
  }
  std::printf("start-up to the first painted window: median %.1f ms over %d starts (target under %.0f ms)\n",
              Median(times), kStarts, kStartTargetMs);
  return true;
}

bool Redraw() {
  const doz::test::TTempDir dir;
  doz::test::TFileAnswerPrompter prompter;
  prompter.Answer(doz::test::WriteSpeakerFiles(dir.Path(), "measured", 1, {1}));
  prompter.Answer(doz::test::WriteSpeakerFiles(dir.Path(), "reference", 1, {10, 11, 12, 13, 14}));
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return false;
  window->resize(1280, 1024);
  window->MenuFile_OpenClick();
  window->MenuRef_OpenClick();
  QApplication::processEvents();
  if (window->MeasData.Present != 1 || window->RefCount != doz::REF_MAX ||
      window->size() != QSize(1280, 1024)) {
    std::fprintf(stderr, "doz-bench-app: the sample data did not load\n");
    return false;
  }
  std::vector<double> times;
  for (int i = 0; i < kRedraws; ++i) {
    const TClock::time_point start = TClock::now();
    window->FormResize();
    QApplication::processEvents();
    times.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
  }
  std::printf("full redraw after a resize at 1280 x 1024, measurement and %d references: median %.2f ms over %d (target under %.0f ms)\n",
              doz::REF_MAX, Median(times), kRedraws, kRedrawTargetMs);
  return true;
}

double CpuMs() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
         (r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e-3;
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Idle() {
  const doz::test::TTempDir dir;
  doz::test::TFileAnswerPrompter prompter;
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return false;
  window->mOnIdle();  // the first pass shows the window
  RunEventLoop(300);  // its first paint and the status bar's relayout
  const double before = CpuMs();
  RunEventLoop(kIdleMs);
  std::printf("a shown window idling: %.1f ms CPU in %d s (target under %.0f ms)\n", CpuMs() - before,
              kIdleMs / 1000, kIdleTargetMs);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const bool started = StartUp();
  const bool redrawn = Redraw();
  const bool idled = Idle();
  return started && redrawn && idled ? 0 : 1;
}
